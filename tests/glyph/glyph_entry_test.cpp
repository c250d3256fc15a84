#include "glyph/glyph_entry.h"

#include <gtest/gtest.h>

#include "text/code_page.h"

namespace pindot {
namespace {

TEST(GlyphEntry, CodesAreFormattedAndParsedBack) {
  struct Case {
    char16_t unit;
    unsigned codePage;
    std::u16string unicodeText, ansiText;
  } const cases[] = {
      {u'a', 936, u"0x0061", u"0x0061"},
      {u'a', 1252, u"0x0061", u"0x0061"},
      {u'\u4e2d', 936, u"0x4e2d", u"0xd0d6"},   // D6 D0: the lead byte lands in the low half
      {u'\u4e2d', 1252, u"0x4e2d", u"0x0020"},  // missing: the space's code
      {u'\u00ff', 1252, u"0x00ff", u"0x00ff"},
      {u'\r', 936, u"0x000d", u"0x000d"},
      {u'\xd83d', 936, u"0xd83d", u"0x0020"},  // each surrogate half stands alone
      {u'\xde00', 1252, u"0xde00", u"0x0020"},
      {u'\u20ac', 1252, u"0x20ac", u"0x0080"},  // one byte keeps a zero high half
  };
  for (const Case& c : cases) {
    const GlyphEntry entry = MakeGlyphEntry(c.unit, u"0x01", true, CodePage(c.codePage));
    EXPECT_EQ(entry.unicodeText, c.unicodeText);
    EXPECT_EQ(entry.ansiText, c.ansiText);
    EXPECT_EQ(entry.unicodeValue, static_cast<int32_t>(c.unit));
    EXPECT_EQ(entry.ansiValue, ParseCodeText(c.ansiText));
    EXPECT_EQ(entry.character, std::u16string(1, c.unit));
  }
  EXPECT_EQ(ParseCodeText(u"0xd0d6"), 53462);
  EXPECT_EQ(ParseCodeText(u"  0X00FF"), 0xff);
  EXPECT_EQ(ParseCodeText(u"0x12zz"), 0x12);
  EXPECT_EQ(ParseCodeText(u"0xg"), 0);  // "0" read, stops at "x"
}

TEST(GlyphEntry, FirstOperandsKeyChoiceDecides) {
  CodePage codePage(936);
  // Two characters the code page lacks: equal ANSI keys, different Unicode keys.
  const GlyphEntry alpha = MakeGlyphEntry(u'\u0100', u"", true, codePage);
  const GlyphEntry beta = MakeGlyphEntry(u'\u0102', u"", false, codePage);
  EXPECT_FALSE(KeyEquals(alpha, beta));
  EXPECT_TRUE(KeyLess(alpha, beta));
  EXPECT_TRUE(KeyEquals(beta, alpha));
  EXPECT_FALSE(KeyLess(beta, alpha));
}

}  // namespace
}  // namespace pindot
