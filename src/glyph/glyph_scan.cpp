#include "glyph/glyph_scan.h"

namespace pindot {

namespace {

const char16_t kHexDigits[] = u"0123456789abcdef";

// Grows `text` by `count` units and gives where they start; the caller writes every one of them.
char16_t* Extend(std::u16string& text, size_t count) {
  const size_t start = text.size();
  text.resize(start + count);
  return &text[start];
}

}  // namespace

// Both texts grow once per glyph and are then written in place: for a 16 x 16 glyph that is 32
// data items and 16 preview lines without a single per-pixel append.
void AppendScannedGlyph(const PixelSource& pixels, Colour ink, const GlyphCell& cell,
                        std::u16string& dataText, std::u16string& previewLines) {
  if (cell.top >= cell.bottom) return;
  const size_t width =
      cell.right > cell.left ? static_cast<size_t>(int64_t{cell.right} - cell.left) : 0;
  const size_t rows = static_cast<size_t>(int64_t{cell.bottom} - cell.top);
  const size_t rowBytes = (width + 7) / 8;
  // Row hex text, one blank, the picture, CR LF.
  const size_t lineLength = 2 * rowBytes + 1 + 2 * width + 2;

  // "0x%02x" per byte, ", " before every item but the first one of an empty text.
  const size_t items = rows * rowBytes;
  bool separatorDue = !dataText.empty();
  char16_t* data = nullptr;
  if (items > 0) data = Extend(dataText, 4 * items + 2 * (separatorDue ? items : items - 1));
  char16_t* line = Extend(previewLines, rows * lineLength);

  for (int32_t y = cell.top; y < cell.bottom; ++y, line += lineLength) {
    char16_t* hex = line;
    char16_t* picture = line + 2 * rowBytes + 1;
    hex[2 * rowBytes] = u' ';
    // Every row starts on a fresh byte; a partial last byte keeps its pixels in the high bits.
    unsigned byte = 0;
    for (size_t u = 0; u < width; ++u) {
      // A pixel is ink only when it equals the ink colour in all 32 bits.
      const bool isInk = pixels.ReadPixel(static_cast<int32_t>(cell.left + int64_t(u)), y) == ink;
      const char16_t mark = isInk ? u'1' : u' ';
      picture[2 * u] = mark;
      picture[2 * u + 1] = mark;
      byte = (byte << 1) | (isInk ? 1u : 0u);
      if ((u & 7) == 7 || u + 1 == width) {
        byte <<= 7 - (u & 7);
        if (separatorDue) {
          *data++ = u',';
          *data++ = u' ';
        }
        separatorDue = true;
        const char16_t high = kHexDigits[byte >> 4];
        const char16_t low = kHexDigits[byte & 0xF];
        data[0] = u'0';
        data[1] = u'x';
        data[2] = high;
        data[3] = low;
        data += 4;
        *hex++ = high;
        *hex++ = low;
        byte = 0;
      }
    }
    picture[2 * width] = u'\r';
    picture[2 * width + 1] = u'\n';
  }
}

GlyphScanResult ScanGlyph(const PixelSource& pixels, Colour ink, const GlyphCell& cell) {
  GlyphScanResult result;
  AppendScannedGlyph(pixels, ink, cell, result.dataText, result.previewLines);
  return result;
}

}  // namespace pindot
