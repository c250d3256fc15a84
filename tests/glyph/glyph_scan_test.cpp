// Scanning a cell into bytes, and reading the pixels it is scanned from.
#include "glyph/glyph_scan.h"

#include <gtest/gtest.h>

#include "ascii_canvas.h"

namespace pindot {
namespace {

using testing::AsciiCanvas;
using Bytes = std::vector<uint8_t>;

// The cell's bytes as the generation pass scans them, and the preview lines written from them.
std::pair<Bytes, std::u16string> Scan(const PixelSource& pixels, Colour ink,
                                      const GlyphCell& cell) {
  Bytes bytes;
  ScanGlyph(pixels, ink, cell, bytes);
  std::u16string preview;
  AppendPreviewLines(bytes.data(), cell.Width(), cell.Rows(), preview);
  return {bytes, preview};
}

TEST(ScanGlyph, PacksRowsMostSignificantBitFirst) {
  const std::u16string fullRow = u"ffff " + std::u16string(32, u'1') + u"\r\n";
  const std::tuple<std::vector<std::string>, uint32_t, Bytes, std::u16string> cases[] = {
      // ##.......#  -> c0 40: the partial last byte keeps its pixel in the high bits
      {{"##.......#"}, 1, {0xc0, 0x40}, u"c040 1111              11\r\n"},
      {{"#......#", "....####"},
       2,
       {0x81, 0x0f},
       u"81 11            11\r\n0f " + std::u16string(8, u' ') + u"11111111\r\n"},
      {{"........#", "#........"},
       2,
       {0x00, 0x80, 0x80, 0x00},
       u"0080 " + std::u16string(16, u' ') + u"11\r\n8000 11" + std::u16string(16, u' ') + u"\r\n"},
      {{std::string(16, '#'), std::string(16, '#')},
       2,
       {0xff, 0xff, 0xff, 0xff},
       fullRow + fullRow},
      {{"", "", ""}, 3, {}, u" \r\n \r\n \r\n"},
      {{"###"}, 0, {}, u""},
  };
  for (const auto& [rows, height, bytes, preview] : cases) {
    AsciiCanvas canvas(height);
    canvas.SetGlyph(u'x', rows);
    const TextExtent extent = canvas.MeasureCharacter(u'x');
    canvas.DrawCharacter(u'x');
    const GlyphCell cell{1, 1, static_cast<int32_t>(extent.cx) + 1,
                         static_cast<int32_t>(extent.cy) + 1};
    EXPECT_EQ(Scan(canvas, canvas.InkColour(), cell), std::pair(bytes, preview)) << rows[0];
  }
}

TEST(ScanGlyph, OnlyTheExactInkOnTheCanvasIsInk) {
  AsciiCanvas canvas(1);
  canvas.Poke(145, 146, AsciiCanvas::kBlack);
  canvas.Poke(146, 146, 0x00010000);  // a smoothed shade differing in one bit
  canvas.Poke(147, 146, AsciiCanvas::kBlack);
  // Columns 145..154 of rows 146..148: only the first three columns of two rows are on the canvas.
  const auto [bytes, preview] = Scan(canvas, AsciiCanvas::kBlack, GlyphCell{145, 146, 155, 149});
  EXPECT_EQ(bytes, (Bytes{0xa0, 0x00, 0x00, 0x00, 0x00, 0x00}));
  EXPECT_EQ(preview.substr(0, 18), u"a000 11  11       ");
}

// A canvas that keeps its ink as bits hands its cell over packed; the scan takes those bytes.
class PackingCanvas : public AsciiCanvas {
 public:
  using AsciiCanvas::AsciiCanvas;
  bool ReadPackedCell(const GlyphCell& cell, Bytes& bytes) const override {
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
  Bytes bytes;
  ScanGlyph(colours, cell, bytes);
  EXPECT_EQ(bytes, Bytes{0x90});  // #..#  -> 0x90, read from the pixels
  ScanGlyph(packing, cell, bytes);
  EXPECT_EQ(bytes, Bytes{0x5a});
  ASSERT_EQ(packing.cells.size(), 1u);
  EXPECT_EQ(packing.cells[0].right, 5);
}

// Reading a row of pixels at once gives what reading them one by one gives, on and off the surface.
constexpr Colour kOff = 0xFFFFFFFF;

// A 4 x 2 surface whose pixel (x, y) is 10 * y + x:
//   0  1  2  3
//  10 11 12 13
class SmallSurface : public PixelSource {
 public:
  Colour ReadPixel(int32_t x, int32_t y) const override {
    if (x < 0 || y < 0 || x >= 4 || y >= 2) return kOff;
    return static_cast<Colour>(10 * y + x);
  }
};

class CopyingSurface : public SmallSurface {
 public:
  void ReadPixelRow(int32_t x, int32_t y, int32_t count, Colour* out) const override {
    CopyPixelRow(pixels_, 4, 2, kOff, x, y, count, out);
  }

 private:
  const Colour pixels_[8] = {0, 1, 2, 3, 10, 11, 12, 13};
};

std::vector<Colour> Row(const PixelSource& surface, int32_t x, int32_t y, int32_t count) {
  std::vector<Colour> row(static_cast<size_t>(count), 0x12345678);
  surface.ReadPixelRow(x, y, count, row.data());
  return row;
}

TEST(PixelRow, CopiedRowsMatchPixelByPixelReads) {
  const struct {
    const char* name;
    int32_t x, y, count;
    std::vector<Colour> expected;
  } cases[] = {
      {"whole row", 0, 1, 4, {10, 11, 12, 13}},
      {"inside", 1, 0, 2, {1, 2}},
      {"from the left of the surface", -2, 1, 4, {kOff, kOff, 10, 11}},
      {"past the right", 2, 0, 4, {2, 3, kOff, kOff}},
      {"over both edges", -1, 0, 6, {kOff, 0, 1, 2, 3, kOff}},
      {"wholly left", -5, 0, 3, {kOff, kOff, kOff}},
      {"wholly right", 4, 1, 2, {kOff, kOff}},
      {"row above", 0, -1, 2, {kOff, kOff}},
      {"row below", 1, 2, 2, {kOff, kOff}},
      {"nothing", 1, 1, 0, {}},
  };
  const SmallSurface oneByOne;
  const CopyingSurface copying;
  for (const auto& test : cases) {
    EXPECT_EQ(Row(oneByOne, test.x, test.y, test.count), test.expected) << test.name;
    EXPECT_EQ(Row(copying, test.x, test.y, test.count), test.expected) << test.name;
  }
}

}  // namespace
}  // namespace pindot
