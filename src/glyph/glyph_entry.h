// The record of one generated character, its two code numbers and how entries compare by key.
#pragma once

#include <cstdint>

namespace pindot {

class CodePage;

// The bytes of the glyph are kept once per drawn unit by the generator; an entry names its glyph.
struct GlyphEntry {
  char16_t character = 0;  // the unit
  bool keyIsUnicode = true;
  int32_t unicodeValue = 0;  // the unit itself
  int32_t ansiValue = 0;     // first byte + 256 x second byte of the unit in the code page
  uint32_t glyph = 0;        // which of the generator's drawn glyphs
};

// The ANSI code: U+4E2D is D6 D0 in code page 936 and so 0xd0d6 (the first byte is the low half);
// a unit the code page lacks becomes the space, 0x0020.
int32_t AnsiCode(char16_t unit, const CodePage& codePage);

// Fills every field of an entry for one unit whose glyph is already drawn.
GlyphEntry MakeGlyphEntry(char16_t unit, uint32_t glyph, bool sortByUnicode,
                          const CodePage& codePage);

// The key choice of `a` decides which numbers are compared; that of `b` is not looked at.
bool KeyLess(const GlyphEntry& a, const GlyphEntry& b);
bool KeyEquals(const GlyphEntry& a, const GlyphEntry& b);

}  // namespace pindot
