#include "glyph/loss_report.h"

#include <gtest/gtest.h>

#include "ascii_canvas.h"

namespace pindot {
namespace {

// At W = 4 (thin cell 2): "a" is thin; U+0100 and U+0101, which code page 1252 lacks, are 3 wide
// and share the space's ANSI code; "w" (5 wide) is cut to the wide cell.
TEST(LossReport, FindsTheEntriesLeftOutAndCutAndDescribesThemInTheUsersLanguage) {
  testing::AsciiCanvas canvas(1);
  canvas.SetGlyph(u'a', {"#."});
  canvas.SetGlyph(u'\u0100', {"###"});
  canvas.SetGlyph(u'\u0101', {"#.#"});
  canvas.SetGlyph(u'w', {"#####"});
  Generator generator{CodePage(1252)};
  generator.Settings().width = 4;
  generator.Settings().height = 1;
  generator.Settings().sortByUnicode = false;
  NoProgress progress;
  generator.Generate(u"a\u0100\u0101w", canvas, progress);
  LossReport report = FindLosses(generator);
  EXPECT_TRUE(report.leftOut[0].empty() && report.cut[0].empty());
  EXPECT_EQ(report.leftOut[1], std::vector<char16_t>{u'\u0101'});
  EXPECT_EQ(report.cut[1], std::vector<char16_t>{u'w'});

  report.family = u"Face";
  report.missing = {u'\u0e01'};
  const std::vector<std::u16string> english =
      DescribeLosses(report, Language::kEnglish, false).lines;
  ASSERT_EQ(english.size(), 3u);
  EXPECT_EQ(english[0].substr(0, 54), u"\"Face\" has no glyph for 1 character of the sample text");
  EXPECT_EQ(english[1].substr(0, 48), u"the wide table leaves out 1 character whose ANSI");
  EXPECT_EQ(english[2],
            u"the wide table's 4 x 1 cell is too small for 1 glyph, cut to fit: U+0077 \"w\"");
  const std::vector<std::u16string> chinese =
      DescribeLosses(report, Language::kChinese, false).lines;
  ASSERT_EQ(chinese.size(), 3u);
  EXPECT_EQ(chinese[2],
            u"\u5bbd\u5b57\u8868\u7684 4 x 1 \u5b57\u683c\u5bb9\u4e0d\u4e0b 1 "
            u"\u4e2a\u5b57\u5f62\uff0c\u5df2\u88c1\u5207\uff1aU+0077 \"w\"");
}

TEST(LossReport, ListsTheFirstEightUnlessAllAreAsked) {
  LossReport report;
  report.family = u"Face";
  for (char16_t unit = u'A'; unit < u'A' + 10; ++unit) report.missing.push_back(unit);
  const LossLines shortened = DescribeLosses(report, Language::kEnglish, false, u" (hint)");
  EXPECT_TRUE(shortened.shortened);
  EXPECT_EQ(shortened.lines[0].substr(shortened.lines[0].size() - 28),
            u"U+0048 \"H\" and 2 more (hint)");
  const LossLines all = DescribeLosses(report, Language::kEnglish, true, u" (hint)");
  EXPECT_FALSE(all.shortened);
  EXPECT_EQ(all.lines[0].substr(all.lines[0].size() - 10), u"U+004A \"J\"");
}

}  // namespace
}  // namespace pindot
