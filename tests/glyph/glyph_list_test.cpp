// Entries' keys and the ordering of both lists.
#include "glyph/glyph_list.h"

#include <gtest/gtest.h>

#include <tuple>

#include "text/code_page.h"

namespace pindot {
namespace {

TEST(GlyphEntry, CodesAreTheUnitAndItsFirstTwoCodePageBytesLowFirst) {
  const std::tuple<char16_t, unsigned, int32_t> cases[] = {
      {u'a', 936, 0x0061},       {u'a', 1252, 0x0061},
      {u'\u4e2d', 936, 0xd0d6},   // D6 D0: the lead byte lands in the low half
      {u'\u4e2d', 1252, 0x0020},  // missing: the space's code
      {u'\u00ff', 1252, 0x00ff}, {u'\r', 936, 0x000d},
      {u'\xd83d', 936, 0x0020},                              // each surrogate half stands alone
      {u'\xde00', 1252, 0x0020}, {u'\u20ac', 1252, 0x0080},  // one byte keeps a zero high half
  };
  for (const auto& [unit, codePage, ansiValue] : cases) {
    const GlyphEntry entry = MakeGlyphEntry(unit, 7, true, CodePage(codePage));
    EXPECT_EQ(entry.unicodeValue, static_cast<int32_t>(unit)) << int(unit);
    EXPECT_EQ(entry.ansiValue, ansiValue) << int(unit);
  }
}

// The entries' glyph numbers carry their place in the sample, to tell equal characters apart.
GlyphList ListOf(std::u16string_view characters, bool sortByUnicode, const CodePage& codePage) {
  GlyphList list;
  uint32_t place = 0;
  for (char16_t unit : characters)
    list.Append(MakeGlyphEntry(unit, place++, sortByUnicode, codePage));
  return list;
}

// Each entry's character and its place: "a0b1c2".
std::u16string Describe(const GlyphList& list) {
  std::u16string text;
  for (const GlyphEntry& entry : list) {
    text.push_back(entry.character);
    text.push_back(static_cast<char16_t>(u'0' + entry.glyph));
  }
  return text;
}

TEST(OrderGlyphLists, SortsStablyAndKeepsTheFirstOfEachKey) {
  struct Case {
    std::u16string thin, wide;
    unsigned codePage;
    bool unicode;
    std::u16string thinAfter, wideAfter;
  } const cases[] = {
      {u"abca", u"", 936, true, u"a0b1c2", u""},
      {u"zzzzzyzzzz", u"q", 936, true, u"y5z0", u"q0"},
      {u"\u4e2dA\t\u00ff", u"", 936, true, u"\t2A1\u00ff3\u4e2d0", u""},
      // Lists are ordered on their own: equal keys in both survive.
      {u"ba", u"aab", 936, true, u"a1b0", u"a0b2"},
      // U+0100 and U+0101 are missing from 1252: they collapse with the space under ANSI keys.
      {u"b\u0100 \u0101a", u"", 1252, false, u"\u01001a4b0", u""},
      // U+4E00 is D2 BB (key 0xbbd2), U+963F B0 A2 (0xa2b0), U+8584 B1 A1 (0xa1b1): neither the
      // Unicode order nor the order of the byte sequences.
      {u"\u4e00\u963f\u8584", u"", 936, false, u"\u85842\u963f1\u4e000", u""},
  };
  for (const Case& c : cases) {
    CodePage codePage(c.codePage);
    GlyphList thin = ListOf(c.thin, c.unicode, codePage);
    GlyphList wide = ListOf(c.wide, c.unicode, codePage);
    OrderGlyphLists(thin, wide);
    EXPECT_EQ(Describe(thin), c.thinAfter);
    EXPECT_EQ(Describe(wide), c.wideAfter);
    EXPECT_EQ(thin.GetCount(), c.thinAfter.size() / 2);
  }
}

}  // namespace
}  // namespace pindot
