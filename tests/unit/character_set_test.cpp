#include "text/character_set.h"

#include <gtest/gtest.h>

#include <string>

#include "text/user_error.h"

namespace pindot {
namespace {

TEST(CharacterRange, ParsesDecimalAndHexadecimalEnds) {
  struct Case {
    const char* text;
    char32_t first;
    char32_t last;
  };
  const Case cases[] = {
      {"0x20-0x7e", 0x20, 0x7E}, {"32-126", 32, 126}, {"0X4E00-0x4E0F", 0x4E00, 0x4E0F},
      {" 65 - 0x42 ", 65, 0x42}, {"0-0", 0, 0},       {"0x10ffff-0x10FFFF", 0x10FFFF, 0x10FFFF},
      {"010-011", 10, 11},  // a leading zero is still decimal
  };
  for (const Case& c : cases) {
    CharacterRange range = ParseCharacterRange(c.text);
    EXPECT_EQ(range.first, c.first) << c.text;
    EXPECT_EQ(range.last, c.last) << c.text;
  }
}

TEST(CharacterRange, RejectsEmptyMalformedReversedAndOutOfRangeTexts) {
  struct Case {
    const char* text;
    const char* reason;  // part of the message
  };
  const Case cases[] = {
      {"", "empty"},
      {"   ", "empty"},
      {"65", "expected A-B"},
      {"-66", "expected A-B"},
      {"65-", "expected A-B"},
      {"0x-0x41", "expected A-B"},
      {"66-65", "reversed: 0x42 is above 0x41"},
      {"0x7e-0x20", "reversed"},
      {"0x110000-0x110001", "beyond the last code point 0x10ffff"},
      {"0-1114112", "beyond the last code point"},
      {"99999999999999999999999-1", "beyond the last code point"},
      {"abc-1", "\"abc\" is not a decimal number"},
      {"0x20-0x1g", "\"0x1g\" is not a hexadecimal number"},
      {"1.5-2", "not a decimal number"},
      {"1-2-3", "not a decimal number"},
  };
  for (const Case& c : cases) {
    try {
      ParseCharacterRange(c.text);
      ADD_FAILURE() << "no error for \"" << c.text << "\"";
    } catch (const UserError& error) {
      std::string message = error.what();
      EXPECT_NE(message.find(std::string("\"") + c.text + "\""), std::string::npos) << message;
      EXPECT_NE(message.find(c.reason), std::string::npos) << message;
    }
  }
}

TEST(CharacterRange, AppendsEveryCodePointAsUtf16Units) {
  std::u16string text = u"x";
  AppendCharacterRange(text, {0x41, 0x43});
  EXPECT_EQ(text, u"xABC");

  // Beyond U+FFFF each character is a surrogate pair: U+1F600 = D83D DE00.
  text.clear();
  AppendCharacterRange(text, {0x1F600, 0x1F601});
  EXPECT_EQ(text, (std::u16string{0xD83D, 0xDE00, 0xD83D, 0xDE01}));

  // Surrogate code points are units of their own, as every unit is drawn on its own.
  text.clear();
  AppendCharacterRange(text, {0xD7FF, 0xD800});
  EXPECT_EQ(text, (std::u16string{0xD7FF, 0xD800}));

  text.clear();
  AppendCharacterRange(text, {0xFFFF, 0x10000});
  EXPECT_EQ(text, (std::u16string{0xFFFF, 0xD800, 0xDC00}));

  text.clear();
  AppendCharacterRange(text, {0x10FFFF, 0x10FFFF});
  EXPECT_EQ(text, (std::u16string{0xDBFF, 0xDFFF}));
}

TEST(CharacterSet, AsciiIsThePrintableRangeWithoutControlCodes) {
  std::u16string text;
  AppendCharacterSet(text, "ASCII");
  std::u16string expected;
  for (char16_t unit = 0x20; unit <= 0x7E; ++unit) expected.push_back(unit);
  EXPECT_EQ(text, expected);
}

TEST(CharacterSet, SingleByteSetKeepsByteOrderAndLeavesOutC1AndUndefinedBytes) {
  std::u16string text;
  AppendCharacterSet(text, "CP1252");
  // 0x7E '~', then 0x80 the euro sign, 0x82 the low quote (0x81 is undefined), ..., 0xFF.
  size_t tilde = text.find(u'~');
  ASSERT_NE(tilde, std::u16string::npos);
  EXPECT_EQ(text.substr(tilde, 3), u"~\u20ac\u201a");
  EXPECT_EQ(text.back(), u'\u00ff');
  for (char16_t unit : text) {
    EXPECT_FALSE(unit < 0x20 || (unit >= 0x7F && unit <= 0x9F)) << std::hex << unit;
  }
  // 95 printable ASCII + the 123 defined bytes 0x80..0xFF (0x81, 0x8D, 0x8F, 0x90, 0x9D are not).
  EXPECT_EQ(text.size(), 95u + 123u);
}

TEST(CharacterSet, DoubleByteSetHasEveryCharacterInCodeOrder) {
  std::u16string text = u"x";
  AppendCharacterSet(text, "GB2312");
  // ASCII, then the 7,445 characters of GB2312 from A1A1 (U+3000) to F7FE (U+9F44).
  ASSERT_EQ(text.size(), 1u + 95u + 7445u);
  EXPECT_EQ(text.substr(0, 3), u"x !");
  EXPECT_EQ(text[96], u'\u3000');
  EXPECT_EQ(text.back(), u'\u9f44');
  // B0A1 "啊" opens the level-1 characters, D6D0 "中" is among them, both after the symbols.
  size_t first = text.find(u'啊');
  size_t middle = text.find(u'中');
  ASSERT_NE(first, std::u16string::npos);
  ASSERT_NE(middle, std::u16string::npos);
  EXPECT_LT(first, middle);
  EXPECT_EQ(text.find(u'中', middle + 1), std::u16string::npos);
}

TEST(CharacterSet, SingleAndDoubleBytesInterleaveByTheirBytes) {
  std::u16string text;
  AppendCharacterSet(text, "SHIFT_JIS");
  // 8140 (U+3000) < 889F (U+4E9C) < A1 (U+FF61, a single-byte katakana) < E040 (U+6F3E).
  size_t space = text.find(u'\u3000');
  size_t kanji = text.find(u'\u4e9c');
  size_t katakana = text.find(u'\uff61');
  size_t later = text.find(u'\u6f3e');
  ASSERT_NE(later, std::u16string::npos);
  EXPECT_LT(space, kanji);
  EXPECT_LT(kanji, katakana);
  EXPECT_LT(katakana, later);
}

TEST(CharacterSet, UnknownOrUselessSetsAreErrors) {
  std::u16string text = u"kept";
  try {
    AppendCharacterSet(text, "NO-SUCH-CHARSET");
    ADD_FAILURE() << "no error";
  } catch (const UserError& error) {
    EXPECT_NE(std::string(error.what()).find("unknown character set \"NO-SUCH-CHARSET\""),
              std::string::npos)
        << error.what();
  }
  // Four bytes per character: nothing in one or two.
  EXPECT_THROW(AppendCharacterSet(text, "UTF-32LE"), UserError);
  EXPECT_EQ(text, u"kept");
}

}  // namespace
}  // namespace pindot
