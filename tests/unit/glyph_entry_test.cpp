#include "glyph/glyph_entry.h"

#include <gtest/gtest.h>

#include "text/code_page.h"

namespace pindot {
namespace {

struct CodeCase {
  const char* name;
  char16_t unit;
  unsigned codePage;
  const char16_t* unicodeText;
  const char16_t* ansiText;
  int32_t ansiValue;
};

class CharacterCodesTest : public ::testing::TestWithParam<CodeCase> {};

TEST_P(CharacterCodesTest, FormatsBothCodesAndParsesThemBack) {
  const CodeCase& c = GetParam();
  CodePage codePage(c.codePage);
  GlyphEntry entry = MakeGlyphEntry(c.unit, u"0x01", /*sortByUnicode=*/true, codePage);
  EXPECT_EQ(entry.unicodeText, c.unicodeText);
  EXPECT_EQ(entry.ansiText, c.ansiText);
  EXPECT_EQ(entry.unicodeValue, static_cast<int32_t>(c.unit));
  EXPECT_EQ(entry.ansiValue, c.ansiValue);
  EXPECT_EQ(entry.character, std::u16string(1, c.unit));
  EXPECT_EQ(entry.dataText, u"0x01");
}

INSTANTIATE_TEST_SUITE_P(
    Units, CharacterCodesTest,
    ::testing::Values(CodeCase{"LetterUnder936", u'a', 936, u"0x0061", u"0x0061", 0x61},
                      CodeCase{"LetterUnder1252", u'a', 1252, u"0x0061", u"0x0061", 0x61},
                      // D6 D0 in code page 936: the lead byte lands in the low half.
                      CodeCase{"HanUnder936", u'\u4e2d', 936, u"0x4e2d", u"0xd0d6", 0xd0d6},
                      CodeCase{"HanLackedBy1252", u'\u4e2d', 1252, u"0x4e2d", u"0x0020", 0x20},
                      CodeCase{"LowerCaseHex", u'\u00ff', 1252, u"0x00ff", u"0x00ff", 0xff},
                      CodeCase{"CarriageReturn", u'\r', 936, u"0x000d", u"0x000d", 0x0d},
                      CodeCase{"HighSurrogateAlone", u'\xd83d', 936, u"0xd83d", u"0x0020", 0x20},
                      CodeCase{"LowSurrogateAlone", u'\xde00', 1252, u"0xde00", u"0x0020", 0x20},
                      // 0x80 0x00 would be wrong: a one-byte character keeps a zero high byte.
                      CodeCase{"EuroSignUnder1252", u'\u20ac', 1252, u"0x20ac", u"0x0080", 0x80},
                      CodeCase{"KatakanaUnder932", u'\u30a2', 932, u"0x30a2", u"0x4183", 0x4183}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ParseCodeText, ReadsHexLikeWcstol) {
  EXPECT_EQ(ParseCodeText(u"0x4e2d"), 0x4e2d);
  EXPECT_EQ(ParseCodeText(u"0X00FF"), 0xff);
  EXPECT_EQ(ParseCodeText(u"  0xd0d6"), 0xd0d6);
  EXPECT_EQ(ParseCodeText(u"1f"), 0x1f);
  EXPECT_EQ(ParseCodeText(u"0x12zz"), 0x12);
  EXPECT_EQ(ParseCodeText(u"0xg"), 0);  // "0" read, stops at "x"
  EXPECT_EQ(ParseCodeText(u""), 0);
}

TEST(KeyCompare, FirstOperandsKeyChoiceDecides) {
  CodePage codePage(936);
  // Two characters the code page lacks: equal ANSI keys, different Unicode keys.
  GlyphEntry alpha = MakeGlyphEntry(u'\u0100', u"", true, codePage);
  GlyphEntry beta = MakeGlyphEntry(u'\u0102', u"", false, codePage);
  ASSERT_EQ(alpha.ansiValue, beta.ansiValue);

  EXPECT_FALSE(KeyEquals(alpha, beta));  // alpha compares Unicode codes
  EXPECT_TRUE(KeyLess(alpha, beta));
  EXPECT_TRUE(KeyEquals(beta, alpha));  // beta compares ANSI codes
  EXPECT_FALSE(KeyLess(beta, alpha));
  EXPECT_EQ(KeyOf(alpha), 0x100);
  EXPECT_EQ(KeyOf(beta), 0x20);
}

}  // namespace
}  // namespace pindot
