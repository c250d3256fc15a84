#include "text/character_set.h"

#include <gtest/gtest.h>

#include <string>

#include "base/user_error.h"

namespace pindot {
namespace {

// Ranges are parsed, and bad ones reported, in the pindot runs above.
TEST(CharacterSet, RangesAppendEveryCodePoint) {
  // Surrogate code points stay single units; beyond U+FFFF each character is a pair.
  std::u16string text;
  AppendCharacterRange(text, {0xD7FF, 0xD800});
  AppendCharacterRange(text, {0xFFFF, 0x10001});
  EXPECT_EQ(text, (std::u16string{0xD7FF, 0xD800, 0xFFFF, 0xD800, 0xDC00, 0xD800, 0xDC01}));
}

TEST(CharacterSet, SetsAppendEveryCharacterInCodeOrderWithoutControlCodes) {
  // ASCII, then CP1252's 123 bytes from 0x80 (euro) to 0xFF; ISO-8859-1 without its C1 controls.
  std::u16string western;
  AppendCharacterSet(western, "CP1252");
  AppendCharacterSet(western, "ISO-8859-1");
  EXPECT_EQ(western.size(), 95u + 123u + 95u + 96u);
  EXPECT_EQ(western.substr(0, 2) + western.substr(93, 4) + western[217], u" !}~\u20ac\u201a\u00ff");
  // GB2312 after a few units: ASCII, then 7,445 characters from A1A1 (U+3000) to F7FE (U+9F44).
  std::u16string text = u"1234567";
  AppendCharacterSet(text, "GB2312");
  EXPECT_EQ(text.size(), 7u + 95u + 7445u);
  EXPECT_EQ(text.substr(100, 3) + text.back(), u"}~\u3000\u9f44");
  // Shift_JIS interleaves single and double bytes: 889F U+4E9C < A1 U+FF61 < E040 U+6F3E.
  std::u16string sjis;
  AppendCharacterSet(sjis, "SHIFT_JIS");
  const size_t a = sjis.find(u'\u4e9c'), b = sjis.find(u'\uff61'), c = sjis.find(u'\u6f3e');
  EXPECT_LT(a, b);
  EXPECT_LT(b, c);
  EXPECT_NE(c, std::u16string::npos);
  EXPECT_THROW(AppendCharacterSet(sjis, "UTF-32LE"), UserError);  // nothing in one or two bytes
}

}  // namespace
}  // namespace pindot
