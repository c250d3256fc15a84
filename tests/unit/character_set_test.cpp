#include "text/character_set.h"

#include <gtest/gtest.h>

#include <string>

#include "text/user_error.h"

namespace pindot {
namespace {

TEST(CharacterSet, RangesAndSetsAppendEveryCharacterInCodeOrderWithoutControlCodes) {
  EXPECT_EQ(ParseCharacterRange(" 0x4E00 - 0X4e0f ").last, 0x4E0Fu);
  EXPECT_EQ(ParseCharacterRange("010-0x10ffff").first, 10u);  // a leading zero is still decimal
  const std::pair<const char*, const char*> bad[] = {
      {"65", "expected A-B"},
      {"0-1114112", "beyond the last code point 0x10ffff"},
      {"abc-1", "\"abc\" is not a decimal number"},
      {"0x20-0x1g", "\"0x1g\" is not a hexadecimal number"}};
  for (const auto& [text, reason] : bad) {
    try {
      ParseCharacterRange(text);
      ADD_FAILURE() << text;
    } catch (const UserError& error) {
      EXPECT_NE(std::string(error.what()).find(reason), std::string::npos) << error.what();
    }
  }
  // Surrogate code points stay single units; beyond U+FFFF each character is a pair.
  std::u16string text = u"x";
  AppendCharacterRange(text, {0xD7FF, 0xD800});
  AppendCharacterRange(text, {0xFFFF, 0x10001});
  EXPECT_EQ(text, (std::u16string{u'x', 0xD7FF, 0xD800, 0xFFFF, 0xD800, 0xDC00, 0xD800, 0xDC01}));
  // CP1252: 95 printable ASCII, then the 123 defined bytes 0x80 (euro), 0x82, ... 0xFF; then
  // ISO-8859-1, whose 0x80..0x9F are C1 controls: 95 + 96.
  std::u16string western;
  AppendCharacterSet(western, "CP1252");
  AppendCharacterSet(western, "ISO-8859-1");
  EXPECT_EQ(western.size(), 95u + 123u + 95u + 96u);
  EXPECT_EQ(western.substr(0, 2) + western.substr(93, 4) + western[217], u" !}~\u20ac\u201a\u00ff");
  // GB2312: ASCII, then 7,445 characters from A1A1 (U+3000) to F7FE (U+9F44).
  AppendCharacterSet(text, "GB2312");
  EXPECT_EQ(text.size(), 8u + 95u + 7445u);
  EXPECT_EQ(text.substr(101, 3) + text.back(), u"}~\u3000\u9f44");
  // Shift_JIS interleaves single and double bytes: 889F U+4E9C < A1 U+FF61 < E040 U+6F3E.
  std::u16string sjis;
  AppendCharacterSet(sjis, "SHIFT_JIS");
  const size_t kanji = sjis.find(u'\u4e9c'), kana = sjis.find(u'\uff61'),
               e040 = sjis.find(u'\u6f3e');
  EXPECT_TRUE(kanji < kana && kana < e040 && e040 != std::u16string::npos);
  EXPECT_THROW(AppendCharacterSet(sjis, "UTF-32LE"), UserError);  // nothing in one or two bytes
}

}  // namespace
}  // namespace pindot
