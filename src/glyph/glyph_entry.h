// The record of one generated character, its two code numbers and how entries compare by key.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace pindot {

class CodePage;

struct GlyphEntry {
  std::u16string unicodeText;  // "0x%04x" of the unit
  std::u16string ansiText;     // "0x%04x" of the first two code-page bytes, little-endian
  std::u16string dataText;     // "0x%02x" items joined by ", "
  std::u16string character;    // the unit as a one-character string
  bool keyIsUnicode = true;
  int32_t unicodeValue = 0;  // always parsed back from unicodeText
  int32_t ansiValue = 0;     // always parsed back from ansiText
};

// Base-16 in the manner of wcstol: leading blanks, an optional 0x, digits up to the first
// non-digit.
int32_t ParseCodeText(std::u16string_view text);

// Fills every field of an entry for one unit whose glyph bytes are already known. The ANSI code is
// first byte + 256 x second byte of the unit in the code page: U+4E2D is D6 D0 in code page 936 and
// so 0xd0d6; a unit the code page lacks becomes the space, 0x0020.
GlyphEntry MakeGlyphEntry(char16_t unit, std::u16string dataText, bool sortByUnicode,
                          const CodePage& codePage);

// The key choice of `a` decides which numbers are compared; that of `b` is not looked at.
bool KeyLess(const GlyphEntry& a, const GlyphEntry& b);
bool KeyEquals(const GlyphEntry& a, const GlyphEntry& b);

}  // namespace pindot
