#include "glyph/glyph_list.h"

#include <gtest/gtest.h>

#include <vector>

#include "text/code_page.h"

namespace pindot {
namespace {

GlyphList ListOf(std::u16string_view characters, bool sortByUnicode, const CodePage& codePage) {
  GlyphList list;
  int serial = 0;
  for (char16_t unit : characters) {
    // dataText tells the entries of equal characters apart.
    list.Append(MakeGlyphEntry(unit, std::u16string(1, u'0' + serial++), sortByUnicode, codePage));
  }
  return list;
}

std::u16string Characters(const GlyphList& list) {
  std::u16string text;
  for (const GlyphEntry& entry : list) text += entry.character;
  return text;
}

std::u16string Serials(const GlyphList& list) {
  std::u16string text;
  for (const GlyphEntry& entry : list) text += entry.dataText;
  return text;
}

class GlyphListTest : public ::testing::Test {
 protected:
  CodePage gbk{936};
};

TEST_F(GlyphListTest, SurvivorOfEachKeyIsItsFirstOccurrence) {
  GlyphList thin = ListOf(u"abca", true, gbk);
  GlyphList wide;
  OrderGlyphLists(thin, wide);
  EXPECT_EQ(Characters(thin), u"abc");
  EXPECT_EQ(Serials(thin), u"012");  // the a that survived is the first one
  EXPECT_EQ(thin.GetCount(), 3u);

  GlyphList repeated = ListOf(u"zzzzzyzzzz", true, gbk);
  OrderGlyphLists(repeated, wide);
  EXPECT_EQ(Characters(repeated), u"yz");
  EXPECT_EQ(Serials(repeated), u"50");
}

TEST_F(GlyphListTest, UnicodeOrderFollowsCodeUnits) {
  GlyphList thin = ListOf(u"\u4e2dA\t\u00ff", true, gbk);
  GlyphList wide;
  OrderGlyphLists(thin, wide);
  EXPECT_EQ(Characters(thin), u"\tA\u00ff\u4e2d");
}

TEST_F(GlyphListTest, AnsiKeysCollapseWhatTheCodePageLacksWithTheSpace) {
  // U+0100 and U+0101 are not in code page 1252: both take the space's code 0x20.
  CodePage western(1252);
  GlyphList thin = ListOf(u"b\u0100 \u0101a", false, western);
  GlyphList wide;
  OrderGlyphLists(thin, wide);
  EXPECT_EQ(Characters(thin), u"\u0100ab");
  EXPECT_EQ(Serials(thin), u"140");
}

TEST_F(GlyphListTest, AnsiOrderReadsTheSecondByteFirst) {
  // U+4E00 is D2 BB (key 0xbbd2), U+963F is B0 A2 (0xa2b0), U+8584 is B1 A1 (0xa1b1): the key
  // order differs both from the Unicode order and from the order of the byte sequences.
  GlyphList thin = ListOf(u"\u4e00\u963f\u8584", false, gbk);
  GlyphList wide;
  OrderGlyphLists(thin, wide);
  EXPECT_EQ(Characters(thin), u"\u8584\u963f\u4e00");
}

TEST_F(GlyphListTest, ListsAreOrderedIndependently) {
  GlyphList thin = ListOf(u"ba", true, gbk);
  GlyphList wide = ListOf(u"aab", true, gbk);
  OrderGlyphLists(thin, wide);
  EXPECT_EQ(Characters(thin), u"ab");
  EXPECT_EQ(Characters(wide), u"ab");
}

TEST_F(GlyphListTest, EmptyAndSingleListsStayAsTheyAre) {
  GlyphList empty;
  GlyphList single = ListOf(u"q", true, gbk);
  OrderGlyphLists(empty, single);
  EXPECT_EQ(empty.GetCount(), 0u);
  EXPECT_EQ(Characters(single), u"q");
}

TEST_F(GlyphListTest, SortingRelinksEntriesWithoutCopying) {
  GlyphList list = ListOf(u"dcba", true, gbk);
  std::vector<const GlyphEntry*> before;
  for (const GlyphEntry& entry : list) before.push_back(&entry);
  list.SortByKey();
  std::vector<const GlyphEntry*> after;
  for (const GlyphEntry& entry : list) after.push_back(&entry);
  EXPECT_EQ(after, (std::vector<const GlyphEntry*>{before[3], before[2], before[1], before[0]}));
}

}  // namespace
}  // namespace pindot
