#include "glyph/glyph_scan.h"

#include <gtest/gtest.h>

#include "ascii_canvas.h"

namespace pindot {
namespace {

using testing::AsciiCanvas;

struct ScanTexts {
  std::u16string dataText;
  std::u16string previewLines;
};

// The cell scanned as the generation pass scans it, and both texts written from its bytes.
ScanTexts Scan(const PixelSource& pixels, Colour ink, const GlyphCell& cell) {
  std::vector<uint8_t> bytes;
  ScanGlyph(pixels, ink, cell, bytes);
  ScanTexts texts;
  AppendDataText(bytes.data(), bytes.size(), texts.dataText);
  const size_t width = cell.right > cell.left ? static_cast<size_t>(cell.right - cell.left) : 0;
  const size_t rows = cell.bottom > cell.top ? static_cast<size_t>(cell.bottom - cell.top) : 0;
  AppendPreviewLines(bytes.data(), width, rows, texts.previewLines);
  return texts;
}

struct ScanCase {
  const char* name;
  std::vector<std::string> rows;
  uint32_t height;
  std::u16string dataText;
  std::u16string previewLines;
};

TEST(ScanGlyph, PacksRowsMostSignificantBitFirst) {
  const std::u16string fullRow = u"ffff " + std::u16string(32, u'1') + u"\r\n";
  const ScanCase cases[] = {
      // ##.......#  -> c0 40: the partial last byte keeps its pixel in the high bits
      {"Width10", {"##.......#"}, 1, u"0xc0, 0x40", u"c040 1111              11\r\n"},
      {"Width8",
       {"#......#", "....####"},
       2,
       u"0x81, 0x0f",
       u"81 11            11\r\n0f " + std::u16string(8, u' ') + u"11111111\r\n"},
      {"Width9",
       {"........#", "#........"},
       2,
       u"0x00, 0x80, 0x80, 0x00",
       u"0080 " + std::u16string(16, u' ') + u"11\r\n8000 11" + std::u16string(16, u' ') + u"\r\n"},
      {"Width16Full",
       {std::string(16, '#'), std::string(16, '#')},
       2,
       u"0xff, 0xff, 0xff, 0xff",
       fullRow + fullRow},
      {"Width0", {"", "", ""}, 3, u"", u" \r\n \r\n \r\n"},
      {"Height0", {"###"}, 0, u"", u""},
  };
  for (const ScanCase& c : cases) {
    AsciiCanvas canvas(c.height);
    canvas.SetGlyph(u'x', c.rows);
    const TextExtent extent = canvas.MeasureCharacter(u'x');
    canvas.DrawCharacter(u'x');
    const GlyphCell cell{1, 1, static_cast<int32_t>(extent.cx) + 1,
                         static_cast<int32_t>(extent.cy) + 1};
    const ScanTexts result = Scan(canvas, canvas.InkColour(), cell);
    EXPECT_EQ(result.dataText, c.dataText) << c.name;
    EXPECT_EQ(result.previewLines, c.previewLines) << c.name;
  }
}

TEST(ScanGlyph, OnlyTheExactInkOnTheCanvasIsInk) {
  AsciiCanvas canvas(1);
  canvas.Poke(145, 146, AsciiCanvas::kBlack);
  canvas.Poke(146, 146, 0x00010000);  // a smoothed shade differing in one bit
  canvas.Poke(147, 146, AsciiCanvas::kBlack);
  // Columns 145..154 of rows 146..148: only the first three columns of two rows are on the canvas.
  const ScanTexts result = Scan(canvas, AsciiCanvas::kBlack, GlyphCell{145, 146, 155, 149});
  EXPECT_EQ(result.dataText, u"0xa0, 0x00, 0x00, 0x00, 0x00, 0x00");
  EXPECT_EQ(result.previewLines.substr(0, 18), u"a000 11  11       ");
  EXPECT_EQ(result.previewLines.size(), 3u * (4 + 1 + 20 + 2));
}

// A canvas that keeps its ink as bits hands its cell over packed; the scan takes those bytes.
class PackingCanvas : public AsciiCanvas {
 public:
  using AsciiCanvas::AsciiCanvas;
  bool ReadPackedCell(const GlyphCell& cell, std::vector<uint8_t>& bytes) const override {
    cells.push_back(cell);
    bytes = {0x5a};
    return true;
  }
  mutable std::vector<GlyphCell> cells;
};

TEST(ScanGlyph, TakesACanvassPackedCellOverItsPixels) {
  AsciiCanvas colours(1);
  PackingCanvas packing(1);
  const GlyphCell cell{1, 1, 5, 2};
  for (AsciiCanvas* canvas : {&colours, static_cast<AsciiCanvas*>(&packing)}) {
    canvas->SetGlyph(u'x', {"#..#"});
    canvas->DrawCharacter(u'x');
  }
  std::vector<uint8_t> bytes;
  ScanGlyph(colours, cell, bytes);
  EXPECT_EQ(bytes, std::vector<uint8_t>{0x90});  // #..#  -> 0x90, read from the pixels
  ScanGlyph(packing, cell, bytes);
  EXPECT_EQ(bytes, std::vector<uint8_t>{0x5a});
  ASSERT_EQ(packing.cells.size(), 1u);
  EXPECT_EQ(packing.cells[0].right, 5);
}

}  // namespace
}  // namespace pindot
