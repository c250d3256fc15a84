#include "glyph/generator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

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
  for (const GlyphEntry& entry : list) text.push_back(entry.character);
  return text;
}

// A row of `width` ink pixels over a blank row.
std::vector<std::string> Bar(size_t width) {
  return {std::string(width, '#'), std::string(width, '.')};
}

// At W = 16 the thin cell is 8 wide: a glyph goes to the table whose cell holds its advance.
TEST(Generator, FilesAGlyphThinWhenItsAdvanceFitsTheThinCell) {
  AsciiCanvas canvas(2);
  const std::pair<char16_t, size_t> glyphs[] = {{u'\u0301', 0}, {u'a', 8},       {u'b', 9},
                                                {u'm', 15},     {u'\u4e2d', 16}, {u'\u0391', 17}};
  for (const auto& [unit, width] : glyphs) canvas.SetGlyph(unit, Bar(width));
  NoProgress progress;
  Generator generator = MakeGenerator(16, true);
  generator.Generate(u"aa\u4e2dm\u0301b\u0391", canvas, progress);
  EXPECT_EQ(Characters(generator.ThinList()), u"a\u0301");
  EXPECT_EQ(Characters(generator.WideList()), u"bm\u0391\u4e2d");
}

// Each entry holds exactly its cell, ((w + 7) >> 3) x H bytes: at W = 12 a thin cell is 6 x 2
// (1 byte a row), a wide one 12 x 2 (2 bytes a row).
TEST(Generator, EveryEntryHoldsExactlyItsTablesCell) {
  AsciiCanvas canvas(2);
  canvas.SetGlyph(u't', {"#####", "#...#"});                    // 5: thin, as it is
  canvas.SetGlyph(u's', {"#######", "#.....#"});                // 7: wide, padded: fe 00 / 82 00
  canvas.SetGlyph(u'w', {"##############", "#............#"});  // 14: cut to 12: ff f0 / 80 00
  NoProgress progress;
  Generator generator = MakeGenerator(12, true);
  generator.Generate(u"tsw", canvas, progress);
  const GeneratorSettings& settings = generator.Settings();
  std::vector<uint8_t> bytes;
  generator.CellBytes(*generator.ThinList().begin(), CellOf(TableKind::kThin, settings), bytes);
  EXPECT_EQ(bytes, (std::vector<uint8_t>{0xf8, 0x88}));
  auto wide = generator.WideList().begin();
  generator.CellBytes(*wide, CellOf(TableKind::kWide, settings), bytes);
  EXPECT_EQ(bytes, (std::vector<uint8_t>{0xfe, 0x00, 0x82, 0x00}));
  generator.CellBytes(*std::next(wide), CellOf(TableKind::kWide, settings), bytes);
  EXPECT_EQ(bytes, (std::vector<uint8_t>{0xff, 0xf0, 0x80, 0x00}));
}

TEST(Generator, OnlyGlyphsWiderThanTheirCellAreCut) {
  AsciiCanvas canvas(2);
  for (const auto& [unit, width] : {std::pair{u'a', 6}, {u'b', 7}, {u'c', 12}, {u'd', 13}})
    canvas.SetGlyph(unit, Bar(width));
  NoProgress progress;
  Generator generator = MakeGenerator(12, true);
  generator.Generate(u"abcd", canvas, progress);
  EXPECT_TRUE(generator.CutEntries(TableKind::kThin).empty());
  const std::vector<const GlyphEntry*> cut = generator.CutEntries(TableKind::kWide);
  ASSERT_EQ(cut.size(), 1u);
  EXPECT_EQ(cut[0]->character, u'd');
}

// Drawing each distinct unit once changes nothing that is shown: the preview still has every unit.
TEST(Generator, DrawsEachDistinctUnitOnceButPreviewsEveryUnit) {
  struct CountingCanvas : AsciiCanvas {
    using AsciiCanvas::AsciiCanvas;
    void DrawCharacter(char16_t unit) override {
      ++draws;
      AsciiCanvas::DrawCharacter(unit);
    }
    int draws = 0;
  } canvas(1);
  canvas.SetGlyph(u'i', {"#"});
  RecordingProgress progress;
  Generator generator = MakeGenerator(8, true);
  generator.Generate(u"iiiii", canvas, progress);
  EXPECT_EQ(canvas.draws, 1);
  EXPECT_EQ(generator.GlyphPreviewText(), u"80 11\r\n80 11\r\n80 11\r\n80 11\r\n80 11\r\n");
  EXPECT_EQ(progress.ranges, std::vector<uint32_t>{5});
  EXPECT_EQ(progress.position, 5u);
  EXPECT_EQ(generator.ThinList().GetCount(), 1u);
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
