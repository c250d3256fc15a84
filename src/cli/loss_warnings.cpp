#include "cli/loss_warnings.h"

#include <string>

#include "text/number_text.h"
#include "text/utf.h"

namespace pindot {

namespace {

std::string DescribeCharacter(char16_t unit) {
  std::string text = CodePointName(unit);
  const bool printable = unit >= 0x20 && unit != 0x7F && !(unit >= 0x80 && unit < 0xA0) &&
                         !(unit >= 0xD800 && unit < 0xE000);
  if (printable) text += " \"" + ToUtf8(std::u16string_view(&unit, 1)) + "\"";
  return text;
}

std::string Plural(size_t count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace

std::string ListCharacters(const std::vector<char16_t>& units, bool verbose) {
  const size_t listed = verbose ? units.size() : std::min(units.size(), kCharactersListed);
  std::string text;
  for (size_t i = 0; i < listed; ++i) {
    if (i > 0) text += ", ";
    text += DescribeCharacter(units[i]);
  }
  if (listed < units.size()) {
    text += " and " + std::to_string(units.size() - listed) + " more (--verbose lists all)";
  }
  return text;
}

void WarnAboutMissingGlyphs(const FontCanvas& canvas, std::u16string_view sample, bool verbose,
                            std::ostream& err) {
  // Named once each, in the order they first appear.
  std::vector<bool> seen(0x10000, false);
  std::vector<char16_t> missing;
  for (char16_t unit : sample) {
    if (seen[unit]) continue;
    seen[unit] = true;
    if (!canvas.HasGlyph(unit)) missing.push_back(unit);
  }
  if (missing.empty()) return;
  err << "pindot: warning: \"" << ToUtf8(canvas.ResolvedFamily()) << "\" has no glyph for "
      << Plural(missing.size(), "character", "characters")
      << " of the sample text, drawn as its glyph 0: " << ListCharacters(missing, verbose) << '\n';
}

void WarnAboutCutGlyphs(const Generator& generator, bool verbose, std::ostream& err) {
  for (TableKind kind : {TableKind::kThin, TableKind::kWide}) {
    const bool thin = kind == TableKind::kThin;
    std::vector<char16_t> units;
    for (const GlyphEntry* entry : generator.CutEntries(kind)) units.push_back(entry->character);
    if (units.empty()) continue;
    const TableCell cell = CellOf(kind, generator.Settings());
    err << "pindot: warning: " << Plural(units.size(), "glyph does", "glyphs do") << " not fit the "
        << (thin ? "thin" : "wide") << " table's " << cell.width << " x " << cell.height
        << " cell and " << (units.size() == 1 ? "is" : "are")
        << " cut to it: " << ListCharacters(units, verbose) << '\n';
  }
}

}  // namespace pindot
