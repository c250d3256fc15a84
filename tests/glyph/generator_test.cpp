#include "glyph/generator.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "ascii_canvas.h"
#include "output/font_data_text.h"
#include "recording_progress.h"
#include "worked_example.h"

namespace pindot {
namespace {

using testing::AsciiCanvas;
using testing::RecordingProgress;

Generator MakeGenerator(uint32_t width, bool sortByUnicode) {
  Generator generator{CodePage(936)};
  generator.Settings().width = width;
  generator.Settings().height = 2;
  generator.Settings().sortByUnicode = sortByUnicode;
  return generator;
}

std::u16string Characters(const GlyphList& list) {
  std::u16string text;
  for (const GlyphEntry& entry : list) text += entry.character;
  return text;
}

TEST(Generator, FilesGlyphsThinOrWideByTheWidthSetting) {
  AsciiCanvas canvas(2);
  canvas.SetGlyph(u'a', {"########", "........"});
  canvas.SetGlyph(u'\u4e2d', {std::string(16, '#'), std::string(16, '.')});
  canvas.SetGlyph(u'm', {std::string(15, '#'), std::string(15, '.')});
  canvas.SetGlyph(u'\u0301', {"", ""});
  NoProgress progress;
  Generator generator = MakeGenerator(16, true);
  generator.Generate(u"aa\u4e2dm\u0301", canvas, progress);
  // 8, 15 and 0 are below 16; 16 is not.
  EXPECT_EQ(Characters(generator.ThinList()), u"am\u0301");
  EXPECT_EQ(Characters(generator.WideList()), u"\u4e2d");
  // Each glyph keeps bytes for its own width, whatever the width setting.
  EXPECT_EQ(std::next(generator.ThinList().begin())->dataText, u"0xff, 0xfe, 0x00, 0x00");
}

TEST(Generator, EveryRunStartsAfresh) {
  AsciiCanvas canvas = testing::WorkedExampleCanvas();
  canvas.SetMissingWidth(1);
  RecordingProgress progress;
  Generator generator = MakeGenerator(8, true);
  generator.Generate(u"j\u4e2dij", canvas, progress);
  const std::u16string data = BuildFontDataText(generator, progress);
  // The preview keeps every unit in sample order, repeats and a line break's two units included.
  generator.Generate(u"ii\r\n", canvas, progress);
  EXPECT_EQ(generator.GlyphPreviewText(),
            u"40   11\r\nc0 1111\r\n40   11\r\nc0 1111\r\n"
            u"00   \r\n00   \r\n00   \r\n00   \r\n");
  EXPECT_EQ(Characters(generator.ThinList()), u"\n\ri");
  generator.Generate(u"j\u4e2dij", canvas, progress);
  EXPECT_EQ(BuildFontDataText(generator, progress), data);
  // Read twice, the preview still holds the four glyphs once: two rows each.
  generator.GlyphPreviewText();
  const std::u16string& preview = generator.GlyphPreviewText();
  EXPECT_EQ(std::count(preview.begin(), preview.end(), u'\n'), 8);
  EXPECT_EQ(preview.substr(0, 20), u"20     11\r\nc0 1111  ");

  generator.Generate(u"", canvas, progress);
  EXPECT_EQ(generator.GlyphPreviewText() + BuildFontDataText(generator, progress), u"");
  EXPECT_EQ(generator.ThinList().GetCount() + generator.WideList().GetCount(), 0u);
  EXPECT_EQ(progress.ranges.back(), 0u);
  EXPECT_EQ(progress.position, 0u);
}

}  // namespace
}  // namespace pindot
