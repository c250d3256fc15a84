#include "output/c_source_text.h"

#include "text/number_text.h"

namespace pindot {

std::string UpperCaseName(std::string_view name) {
  std::string upper(name);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

std::string HeaderStart(std::string_view name, std::string_view what, std::string_view includes) {
  const std::string guard = "PINDOT_" + UpperCaseName(name) + "_H";
  std::string text = "/* " + std::string(what) + " */\n";
  text += "#ifndef " + guard + "\n#define " + guard + "\n\n";
  text += "#include <stddef.h>\n#include <stdint.h>\n";
  text += includes;
  text += "\n#ifdef __cplusplus\nextern \"C\" {\n#endif\n";
  return text;
}

std::string HeaderEnd(std::string_view name) {
  return "\n#ifdef __cplusplus\n}\n#endif\n\n#endif /* PINDOT_" + UpperCaseName(name) + "_H */\n";
}

void AppendByteList(std::string& text, const uint8_t* bytes, size_t count, size_t perLine) {
  for (size_t i = 0; i < count; ++i) {
    text += i % perLine == 0 ? "  0x" : " 0x";
    AppendHex(text, bytes[i], 2);
    text += ',';
    if (i % perLine == perLine - 1 || i + 1 == count) text += '\n';
  }
}

const char kProgramMemoryLines[] =
    "#if defined(__AVR__)\n"
    "#include <avr/pgmspace.h>\n"
    "#elif defined(ESP8266) || defined(ESP32)\n"
    "#include <pgmspace.h>\n"
    "#endif\n"
    "#ifndef PROGMEM\n"
    "#define PROGMEM\n"
    "#endif\n";

}  // namespace pindot
