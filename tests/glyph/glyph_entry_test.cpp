#include "glyph/glyph_entry.h"

#include <gtest/gtest.h>

#include "text/code_page.h"

namespace pindot {
namespace {

TEST(GlyphEntry, CodesAreTheUnitAndItsFirstTwoCodePageBytesLowFirst) {
  struct Case {
    char16_t unit;
    unsigned codePage;
    int32_t ansiValue;
  } const cases[] = {
      {u'a', 936, 0x0061},       {u'a', 1252, 0x0061},
      {u'\u4e2d', 936, 0xd0d6},   // D6 D0: the lead byte lands in the low half
      {u'\u4e2d', 1252, 0x0020},  // missing: the space's code
      {u'\u00ff', 1252, 0x00ff}, {u'\r', 936, 0x000d},
      {u'\xd83d', 936, 0x0020},                              // each surrogate half stands alone
      {u'\xde00', 1252, 0x0020}, {u'\u20ac', 1252, 0x0080},  // one byte keeps a zero high half
  };
  for (const Case& c : cases) {
    const GlyphEntry entry = MakeGlyphEntry(c.unit, 7, true, CodePage(c.codePage));
    EXPECT_EQ(entry.unicodeValue, static_cast<int32_t>(c.unit)) << int(c.unit);
    EXPECT_EQ(entry.ansiValue, c.ansiValue) << int(c.unit);
  }
}

TEST(GlyphEntry, FirstOperandsKeyChoiceDecides) {
  CodePage codePage(936);
  // Two characters the code page lacks: equal ANSI keys, different Unicode keys.
  const GlyphEntry alpha = MakeGlyphEntry(u'\u0100', 0, true, codePage);
  const GlyphEntry beta = MakeGlyphEntry(u'\u0102', 1, false, codePage);
  EXPECT_FALSE(KeyEquals(alpha, beta));
  EXPECT_TRUE(KeyLess(alpha, beta));
  EXPECT_TRUE(KeyEquals(beta, alpha));
  EXPECT_FALSE(KeyLess(beta, alpha));
}

}  // namespace
}  // namespace pindot
