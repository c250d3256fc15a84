#include "glyph/generator.h"

#include <gtest/gtest.h>

#include "ascii_canvas.h"
#include "golden.h"
#include "output/font_data_text.h"
#include "text/utf.h"

namespace pindot {
namespace {

using testing::AsciiCanvas;
using testing::RecordingProgress;

// The glyphs of the worked example: i 2 wide, j 3 wide, U+4E2D 8 wide, two rows each.
AsciiCanvas WorkedExampleCanvas() {
  AsciiCanvas canvas(2);
  canvas.SetGlyph(u'i', {".#", "##"});                   // 40 c0
  canvas.SetGlyph(u'j', {"..#", "##."});                 // 20 c0
  canvas.SetGlyph(u'\u4e2d', {"########", "...##..."});  // ff 18
  return canvas;
}

Generator MakeGenerator(unsigned codePage, uint32_t width, uint32_t height, bool sortByUnicode) {
  Generator generator{CodePage(codePage)};
  generator.Settings().width = width;
  generator.Settings().height = height;
  generator.Settings().sortByUnicode = sortByUnicode;
  return generator;
}

std::u16string Characters(const GlyphList& list) {
  std::u16string text;
  for (const GlyphEntry& entry : list) text += entry.character;
  return text;
}

TEST(FontDataText, WorkedExampleUnicode) {
  AsciiCanvas canvas = WorkedExampleCanvas();
  RecordingProgress progress;
  Generator generator = MakeGenerator(936, 8, 2, true);
  generator.Generate(u"j\u4e2dij", canvas, progress);
  testing::ExpectMatchesGolden("font_data_worked_example.txt", ToUtf8(generator.FontDataText()));
  // The render pass counts four units, the data text three entries.
  EXPECT_EQ(progress.ranges, (std::vector<uint32_t>{4, 3}));
  EXPECT_EQ(progress.position, 3u);
}

TEST(FontDataText, WorkedExampleAnsi936) {
  AsciiCanvas canvas = WorkedExampleCanvas();
  NoProgress progress;
  Generator generator = MakeGenerator(936, 8, 2, false);
  generator.Generate(u"j\u4e2dij", canvas, progress);
  testing::ExpectMatchesGolden("font_data_worked_example_ansi936.txt",
                               ToUtf8(generator.FontDataText()));
}

TEST(Generator, FilesGlyphsThinOrWideByTheWidthSetting) {
  AsciiCanvas canvas(2);
  canvas.SetGlyph(u'a', {"########", "........"});                           // 8: thin under 16
  canvas.SetGlyph(u'\u4e2d', {std::string(16, '#'), std::string(16, '.')});  // 16: wide
  canvas.SetGlyph(u'm', {std::string(15, '#'), std::string(15, '.')});       // 15: thin
  canvas.SetGlyph(u'\u0301', {"", ""});                                      // width 0: thin
  NoProgress progress;
  Generator generator = MakeGenerator(936, 16, 2, true);
  generator.Generate(u"aa\u4e2dm\u0301", canvas, progress);
  EXPECT_EQ(Characters(generator.ThinList()), u"am\u0301");
  EXPECT_EQ(Characters(generator.WideList()), u"\u4e2d");
  // Each glyph keeps bytes for its own width, whatever the width setting.
  EXPECT_EQ(generator.ThinList().begin()->dataText, u"0xff, 0x00");
  EXPECT_EQ(std::next(generator.ThinList().begin())->dataText, u"0xff, 0xfe, 0x00, 0x00");
}

TEST(Generator, PreviewShowsEveryUnitInSampleOrder) {
  AsciiCanvas canvas = WorkedExampleCanvas();
  canvas.SetMissingWidth(1);
  RecordingProgress progress;
  Generator generator = MakeGenerator(936, 8, 2, true);
  // A line break adds two entries, drawn (blank, one pixel wide) like anything else.
  generator.Generate(u"ii\r\n", canvas, progress);
  EXPECT_EQ(generator.GlyphPreviewText(),
            u"40   11\r\nc0 1111\r\n"
            u"40   11\r\nc0 1111\r\n"
            u"00   \r\n00   \r\n"
            u"00   \r\n00   \r\n");
  EXPECT_EQ(Characters(generator.ThinList()), u"\n\ri");
  EXPECT_EQ(canvas.measureCalls, 4);
  EXPECT_EQ(progress.ranges.front(), 4u);
}

TEST(Generator, SecondRunStartsAfreshAndGivesTheSameTexts) {
  AsciiCanvas canvas = WorkedExampleCanvas();
  RecordingProgress progress;
  Generator generator = MakeGenerator(936, 8, 2, true);
  generator.Generate(u"j\u4e2dij", canvas, progress);
  const std::u16string preview = generator.GlyphPreviewText();
  const std::u16string data = generator.FontDataText();
  progress.position = 99;
  generator.Generate(u"j\u4e2dij", canvas, progress);
  EXPECT_EQ(generator.GlyphPreviewText(), preview);
  EXPECT_EQ(generator.FontDataText(), data);
  EXPECT_EQ(generator.ThinList().GetCount(), 2u);

  // An empty sample empties everything and leaves the data text without even the preamble.
  generator.Generate(u"", canvas, progress);
  EXPECT_EQ(generator.GlyphPreviewText(), u"");
  EXPECT_EQ(generator.FontDataText(), u"");
  EXPECT_EQ(generator.ThinList().GetCount() + generator.WideList().GetCount(), 0u);
  EXPECT_EQ(progress.ranges.back(), 0u);
  EXPECT_EQ(progress.position, 0u);
}

TEST(Generator, KeyChoiceIsTakenWhenEachEntryIsMade) {
  AsciiCanvas canvas = WorkedExampleCanvas();
  NoProgress progress;
  Generator generator = MakeGenerator(936, 8, 2, false);
  generator.Generate(u"ij", canvas, progress);
  generator.Settings().sortByUnicode = true;  // changes nothing until the next run
  for (const GlyphEntry& entry : generator.ThinList()) EXPECT_FALSE(entry.keyIsUnicode);
}

}  // namespace
}  // namespace pindot
