// The glyph preview text is written from the kept glyph bytes only when it is asked for.
#include <gtest/gtest.h>

#include "ascii_canvas.h"
#include "glyph/generator.h"
#include "glyph/glyph_scan.h"

namespace pindot {
namespace {

using testing::AsciiCanvas;

AsciiCanvas SmallCanvas() {
  AsciiCanvas canvas(2);
  canvas.SetGlyph(u'i', {".#", "##"});                  // 40 c0
  canvas.SetGlyph(u'w', {"#........#", ".#......#."});  // 80 40 / 40 80: ten wide, two bytes
  return canvas;
}

Generator SmallGenerator() {
  Generator generator{CodePage(1252)};
  generator.Settings().width = 8;
  generator.Settings().height = 2;
  return generator;
}

void DrawAndGenerate(Generator& generator, AsciiCanvas& canvas, char16_t unit) {
  const TextExtent extent = canvas.MeasureCharacter(unit);
  canvas.DrawCharacter(unit);
  generator.GenerateGlyph(
      unit, canvas,
      GlyphCell{1, 1, static_cast<int32_t>(extent.cx) + 1, static_cast<int32_t>(extent.cy) + 1});
}

const std::u16string kPreviewI = u"40   11\r\nc0 1111\r\n";
const std::u16string kPreviewW =
    u"8040 11                11\r\n"   // #........#
    u"4080   11            11  \r\n";  // .#......#.

TEST(GlyphPreview, AskedForBetweenGlyphsEachGlyphAppearsOnce) {
  AsciiCanvas canvas = SmallCanvas();
  Generator generator = SmallGenerator();
  DrawAndGenerate(generator, canvas, u'i');
  EXPECT_EQ(generator.GlyphPreviewText(), kPreviewI);
  DrawAndGenerate(generator, canvas, u'w');
  DrawAndGenerate(generator, canvas, u'i');
  EXPECT_EQ(generator.GlyphPreviewText(), kPreviewI + kPreviewW + kPreviewI);
  EXPECT_EQ(generator.GlyphPreviewText(), kPreviewI + kPreviewW + kPreviewI);
}

TEST(GlyphPreview, UnreadPreviewOfAnEarlierRunLeavesNoTrace) {
  AsciiCanvas canvas = SmallCanvas();
  Generator generator = SmallGenerator();
  NoProgress progress;
  generator.Generate(u"wiw", canvas, progress);  // its preview is never asked for
  generator.Generate(u"iw", canvas, progress);
  EXPECT_EQ(generator.GlyphPreviewText(), kPreviewI + kPreviewW);
  generator.Generate(u"w", canvas, progress);
  EXPECT_EQ(generator.GlyphPreviewText(), kPreviewW);
}

}  // namespace
}  // namespace pindot
