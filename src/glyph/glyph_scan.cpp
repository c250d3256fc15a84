#include "glyph/glyph_scan.h"

#include <vector>

namespace pindot {

namespace {

const char16_t kHexDigits[] = u"0123456789abcdef";

void AppendDataItem(std::u16string& dataText, uint8_t byte) {
  if (!dataText.empty()) dataText.append(u", ");
  const char16_t item[4] = {u'0', u'x', kHexDigits[byte >> 4], kHexDigits[byte & 0xF]};
  dataText.append(item, 4);
}

}  // namespace

void AppendScannedGlyph(const PixelSource& pixels, Colour ink, const GlyphCell& cell,
                        std::u16string& dataText, std::u16string& previewLines) {
  const int64_t width = cell.right > cell.left ? int64_t{cell.right} - cell.left : 0;
  std::vector<uint8_t> rowBytes(static_cast<size_t>((width + 7) / 8));
  std::vector<bool> rowInk(static_cast<size_t>(width));

  for (int32_t y = cell.top; y < cell.bottom; ++y) {
    std::fill(rowBytes.begin(), rowBytes.end(), 0);
    for (int64_t u = 0; u < width; ++u) {
      // A pixel is ink only when it equals the ink colour in all 32 bits.
      bool isInk = pixels.ReadPixel(static_cast<int32_t>(cell.left + u), y) == ink;
      rowInk[u] = isInk;
      if (isInk) rowBytes[u >> 3] |= static_cast<uint8_t>(0x80 >> (u & 7));
    }
    // Every row starts on a fresh byte; a partial last byte keeps its pixels in the high bits.
    for (uint8_t byte : rowBytes) {
      AppendDataItem(dataText, byte);
      previewLines.push_back(kHexDigits[byte >> 4]);
      previewLines.push_back(kHexDigits[byte & 0xF]);
    }
    previewLines.push_back(u' ');
    for (int64_t u = 0; u < width; ++u) previewLines.append(rowInk[u] ? u"11" : u"  ", 2);
    previewLines.append(u"\r\n");
  }
}

GlyphScanResult ScanGlyph(const PixelSource& pixels, Colour ink, const GlyphCell& cell) {
  GlyphScanResult result;
  AppendScannedGlyph(pixels, ink, cell, result.dataText, result.previewLines);
  return result;
}

}  // namespace pindot
