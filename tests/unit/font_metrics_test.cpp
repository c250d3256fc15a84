#include "font/font_metrics.h"

#include <gtest/gtest.h>

#include "ascii_canvas.h"
#include "font/font_canvas.h"

namespace pindot {
namespace {

TEST(FontMetrics, DefaultFontIsString114AtHeight16) {
  FontSpec english = DefaultFontSpec(Language::kEnglish);
  EXPECT_EQ(english.faceName, u"Fixedsys");
  EXPECT_EQ(english.cellHeight, 16);
  EXPECT_EQ(english.weight, 400);
  EXPECT_TRUE(english.filePath.empty());
  EXPECT_FALSE(english.italic || english.underline || english.strikeOut);
  EXPECT_EQ(DefaultFontSpec(Language::kChinese).faceName, u"宋体");
}

TEST(FontMetrics, WidthAndHeightFromU4E2DThinWidthFromA) {
  // 中 is 11 wide in this font, "a" 5; the cell is 7 high.
  testing::AsciiCanvas canvas(7);
  canvas.SetGlyph(u'中', {"#####......", ".........##"});
  canvas.SetGlyph(u'a', {"#####"});
  FontSpec fontSpec;
  fontSpec.faceName = u"Asked Name";
  fontSpec.cellHeight = 7;
  fontSpec.underline = true;
  GeneratorSettings settings;
  MeasureFont(canvas, fontSpec, settings);
  EXPECT_EQ(settings.width, 11u);
  EXPECT_EQ(settings.height, 7u);
  EXPECT_EQ(settings.thinWidth, 5);
  EXPECT_EQ(settings.faceName, u"Asked Name");
  EXPECT_TRUE(settings.font.underline);
  EXPECT_TRUE(settings.sortByUnicode);  // the key choice is not the measurement's business
}

TEST(FontMetrics, UnifontMeasuresSixteenBySixteenWithThinWidthEight) {
  FontSpec fontSpec;
  fontSpec.faceName = u"Fixedsys";
  auto canvas = FontCanvas::Open(fontSpec);
  GeneratorSettings settings;
  MeasureFont(*canvas, fontSpec, settings);
  EXPECT_EQ(settings.width, 16u);
  EXPECT_EQ(settings.height, 16u);
  EXPECT_EQ(settings.thinWidth, 8);
  EXPECT_EQ(settings.faceName, u"Fixedsys");  // as asked, though Unifont drew it
}

TEST(FontMetrics, WorkedExampleFontMeasuresEightByTwo) {
  FontSpec fontSpec;
  fontSpec.filePath = std::string(PINDOT_TEST_DIR) + "/fonts/worked_example.bdf";
  auto canvas = FontCanvas::Open(fontSpec);
  GeneratorSettings settings;
  MeasureFont(*canvas, fontSpec, settings);
  EXPECT_EQ(settings.width, 8u);
  EXPECT_EQ(settings.height, 2u);
  EXPECT_EQ(settings.thinWidth, 4);
}

}  // namespace
}  // namespace pindot
