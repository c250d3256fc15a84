// What the writers of u8g2, Adafruit GFX and raw tables share: a header and a source as text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace pindot {

// A header and the source that includes it, ASCII text with LF line ends.
struct SourcePair {
  std::string header;
  std::string source;
};

// The header's opening: a comment line, the include guard made from `name` ("font16" ->
// PINDOT_FONT16_H), <stddef.h>, <stdint.h> and `includes`, and the C++ linkage block; HeaderEnd
// closes both.
std::string HeaderStart(std::string_view name, std::string_view what,
                        std::string_view includes = {});
std::string HeaderEnd(std::string_view name);

// `name` in upper case, for macros: "song16" -> "SONG16".
std::string UpperCaseName(std::string_view name);

// Bytes as "0x1f, " items, `perLine` to a line, each line indented by two blanks.
void AppendByteList(std::string& text, const uint8_t* bytes, size_t count, size_t perLine = 16);

// Placing constant data where an AVR reads it with pgm_read_byte (PROGMEM, program memory), and
// plain data elsewhere: the lines a source needs before it uses PROGMEM.
extern const char kProgramMemoryLines[];

}  // namespace pindot
