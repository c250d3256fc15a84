#include "glyph/glyph_entry.h"

#include "text/code_page.h"

namespace pindot {

int32_t AnsiCode(char16_t unit, const CodePage& codePage) {
  const std::string_view bytes = codePage.EncodeUnit(unit);
  // Only the first two bytes count; a conversion that gives nothing leaves 0.
  int32_t code = 0;
  if (!bytes.empty()) code = static_cast<unsigned char>(bytes[0]);
  if (bytes.size() > 1) code |= static_cast<int32_t>(static_cast<unsigned char>(bytes[1])) << 8;
  return code;
}

GlyphEntry MakeGlyphEntry(char16_t unit, uint32_t glyph, bool sortByUnicode,
                          const CodePage& codePage) {
  GlyphEntry entry;
  entry.character = unit;
  entry.keyIsUnicode = sortByUnicode;
  entry.unicodeValue = unit;
  entry.ansiValue = AnsiCode(unit, codePage);
  entry.glyph = glyph;
  return entry;
}

bool KeyLess(const GlyphEntry& a, const GlyphEntry& b) {
  return a.keyIsUnicode ? a.unicodeValue < b.unicodeValue : a.ansiValue < b.ansiValue;
}

bool KeyEquals(const GlyphEntry& a, const GlyphEntry& b) {
  return a.keyIsUnicode ? a.unicodeValue == b.unicodeValue : a.ansiValue == b.ansiValue;
}

}  // namespace pindot
