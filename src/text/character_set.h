// Whole sets of characters for the sample text: code point ranges and iconv character sets.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pindot {

// An inclusive range of code points, as "--range A-B" gives it.
struct CharacterRange {
  char32_t first = 0;
  char32_t last = 0;
};

// "A-B" with A and B each hexadecimal after "0x" (or "0X") or decimal, 0..0x10FFFF, A <= B.
// Blanks around the numbers are allowed. Throws UserError for an empty, malformed, reversed or
// out-of-range text.
CharacterRange ParseCharacterRange(std::string_view text);

// Appends every code point of the range: those up to U+FFFF as one unit (surrogate code points
// too, since every unit is drawn on its own), the others as a surrogate pair.
void AppendCharacterRange(std::u16string& out, const CharacterRange& range);

// Appends every character that the iconv character set `name` encodes in one or two bytes, in the
// order of their byte sequences (a single byte before the pairs that start with a greater byte),
// leaving out control codes (U+0000..U+001F, U+007F..U+009F) and byte sequences that decode to more
// than one character. GB2312, BIG5, SHIFT_JIS and EUC-KR (under any of iconv's names for them) are
// read the way Windows reads those bytes: the codes come from the set, the character of each from
// code page 936, 950, 932 or 949, and a code is left out unless that code page writes its character
// with the same bytes. Throws UserError when `name` is empty or iconv does not know it, or when it
// encodes no character in one or two bytes.
void AppendCharacterSet(std::u16string& out, const std::string& name);

// Takes out of `sample` every occurrence of each character of `characters` and of each character
// in one of `ranges`: a surrogate pair is the one character it makes, any other unit itself.
void RemoveCharacters(std::u16string& sample, std::u16string_view characters,
                      const std::vector<CharacterRange>& ranges);

}  // namespace pindot
