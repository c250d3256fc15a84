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

}  // namespace
}  // namespace pindot
