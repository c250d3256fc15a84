#include "cli/export_command.h"

#include "output/exporter.h"
#include "output/font_data_text.h"
#include "text/number_text.h"
#include "text/utf.h"

namespace pindot {
namespace {

// "U+0057 "W"", the character itself left out when it would not print (controls, surrogates).
std::string DescribeCharacter(const std::u16string& character) {
  const char16_t unit = character.empty() ? 0 : character[0];
  std::string text = CodePointName(unit);
  const bool printable = unit >= 0x20 && unit != 0x7F && !(unit >= 0x80 && unit < 0xA0) &&
                         !(unit >= 0xD800 && unit < 0xE000);
  if (printable) text += " \"" + ToUtf8(character) + "\"";
  return text;
}

}  // namespace

void CheckExportPath(const std::string& path) {
  DeriveExportPaths(path);
}

bool ExportFromCommandLine(const Generator& generator, std::u16string_view fontDataText,
                           const std::string& path, std::ostream& err) {
  const GeneratorSettings& settings = generator.Settings();
  for (const OversizedGlyph& glyph : FindOversizedGlyphs(generator)) {
    const TableKind kind = glyph.inThinTable ? TableKind::kThin : TableKind::kWide;
    err << "pindot: warning: " << DescribeCharacter(glyph.character) << " does not fit the "
        << (glyph.inThinTable ? "thin" : "wide") << " table's "
        << DeclaredTableWidth(kind, settings.width) << " x " << settings.height
        << " cell; its bytes are exported as they are\n";
  }
  const ExportReport report = ExportGeneratedFiles(generator, fontDataText, path);
  for (const ExportFailure& failure : report.failures) {
    err << "pindot: cannot write \"" << failure.path << "\": " << failure.reason << '\n';
  }
  return report.failures.empty();
}

}  // namespace pindot
