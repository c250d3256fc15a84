#include "glyph/glyph_scan.h"

#include <gtest/gtest.h>

#include "ascii_canvas.h"

namespace pindot {
namespace {

using testing::AsciiCanvas;

// Draws one picture at (1, 1) and scans the cell {1, 1, width + 1, height + 1}.
GlyphScanResult ScanPicture(std::vector<std::string> rows, uint32_t height) {
  AsciiCanvas canvas(height);
  canvas.SetGlyph(u'x', std::move(rows));
  TextExtent extent = canvas.MeasureCharacter(u'x');
  canvas.DrawCharacter(u'x');
  GlyphCell cell{1, 1, static_cast<int32_t>(extent.cx) + 1, static_cast<int32_t>(extent.cy) + 1};
  return ScanGlyph(canvas, canvas.InkColour(), cell);
}

TEST(ScanGlyph, PartialLastByteKeepsItsPixelsInTheHighBits) {
  // ##.......#  -> c0 40
  GlyphScanResult result = ScanPicture({"##.......#"}, 1);
  EXPECT_EQ(result.dataText, u"0xc0, 0x40");
  EXPECT_EQ(result.previewLines, u"c040 1111              11\r\n");
}

TEST(ScanGlyph, ByteBoundaries) {
  // width 8: #......# -> 81, one byte per row
  EXPECT_EQ(ScanPicture({"#......#", "....####"}, 2).dataText, u"0x81, 0x0f");
  // width 9: the ninth pixel alone is bit 7 of a second byte
  EXPECT_EQ(ScanPicture({"........#", "#........"}, 2).dataText, u"0x00, 0x80, 0x80, 0x00");
  // width 16, all ink
  GlyphScanResult full = ScanPicture({std::string(16, '#'), std::string(16, '#')}, 2);
  EXPECT_EQ(full.dataText, u"0xff, 0xff, 0xff, 0xff");
  const std::u16string fullRow = u"ffff " + std::u16string(32, u'1') + u"\r\n";
  EXPECT_EQ(full.previewLines, fullRow + fullRow);
}

TEST(ScanGlyph, EmptyCells) {
  // Width 0: one preview line per row, holding only the separating blank; no bytes.
  GlyphScanResult noWidth = ScanPicture({"", ""}, 3);
  EXPECT_EQ(noWidth.dataText, u"");
  EXPECT_EQ(noWidth.previewLines, u" \r\n \r\n \r\n");
  // Height 0: nothing at all.
  GlyphScanResult noHeight = ScanPicture({"###"}, 0);
  EXPECT_EQ(noHeight.dataText, u"");
  EXPECT_EQ(noHeight.previewLines, u"");
}

TEST(ScanGlyph, OnlyTheExactInkColourIsInk) {
  AsciiCanvas canvas(1);
  canvas.Poke(1, 1, 0x00000000);
  canvas.Poke(2, 1, 0x00010000);  // a smoothed shade differing in one bit
  canvas.Poke(3, 1, 0x00000000);
  GlyphScanResult result = ScanGlyph(canvas, AsciiCanvas::kBlack, GlyphCell{1, 1, 4, 2});
  EXPECT_EQ(result.dataText, u"0xa0");
  EXPECT_EQ(result.previewLines, u"a0 11  11\r\n");
}

TEST(ScanGlyph, CellBeyondTheCanvasScansAsBlank) {
  AsciiCanvas canvas(1);
  canvas.Poke(147, 147, AsciiCanvas::kBlack);
  // Columns 147..156 and rows 147..148: only (147, 147) lies on the canvas.
  GlyphScanResult result = ScanGlyph(canvas, AsciiCanvas::kBlack, GlyphCell{147, 147, 157, 149});
  EXPECT_EQ(result.dataText, u"0x80, 0x00, 0x00, 0x00");
  EXPECT_EQ(result.previewLines, u"8000 11" + std::u16string(18, u' ') + u"\r\n0000 " +
                                     std::u16string(20, u' ') + u"\r\n");
}

}  // namespace
}  // namespace pindot
