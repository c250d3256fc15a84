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

size_t CellWidth(const GlyphCell& cell) {
  return cell.right > cell.left ? static_cast<size_t>(int64_t{cell.right} - cell.left) : 0;
}

size_t CellRows(const GlyphCell& cell) {
  return cell.bottom > cell.top ? static_cast<size_t>(int64_t{cell.bottom} - cell.top) : 0;
}

}  // namespace

void ScanGlyphBytes(const PixelSource& pixels, Colour ink, const GlyphCell& cell,
                    std::vector<uint8_t>& bytes) {
  const size_t width = CellWidth(cell);
  const size_t rowBytes = (width + 7) / 8;
  bytes.assign(CellRows(cell) * rowBytes, 0);
  uint8_t* row = bytes.data();
  for (int32_t y = cell.top; y < cell.bottom; ++y, row += rowBytes) {
    // Every row starts on a fresh byte, leftmost pixel in bit 7; a partial last byte keeps its
    // pixels in the high bits and zeros below them.
    for (size_t u = 0; u < width; ++u) {
      // A pixel is ink only when it equals the ink colour in all 32 bits.
      const bool isInk = pixels.ReadPixel(static_cast<int32_t>(cell.left + int64_t(u)), y) == ink;
      row[u >> 3] |= static_cast<uint8_t>(unsigned{isInk} << (7 - (u & 7)));
    }
  }
}

void AppendDataText(const uint8_t* bytes, size_t count, std::u16string& dataText) {
  if (count == 0) return;
  const bool separatorFirst = !dataText.empty();
  char16_t* out = Extend(dataText, 4 * count + 2 * (separatorFirst ? count : count - 1));
  for (size_t i = 0; i < count; ++i) {
    if (i > 0 || separatorFirst) {
      *out++ = u',';
      *out++ = u' ';
    }
    out[0] = u'0';
    out[1] = u'x';
    out[2] = kHexDigits[bytes[i] >> 4];
    out[3] = kHexDigits[bytes[i] & 0xF];
    out += 4;
  }
}

void AppendPreviewLines(const uint8_t* bytes, size_t width, size_t rows,
                        std::u16string& previewLines) {
  const size_t rowBytes = (width + 7) / 8;
  // Row hex text, one blank, the picture ("11" for ink, two blanks for anything else), CR LF.
  const size_t lineLength = 2 * rowBytes + 1 + 2 * width + 2;
  char16_t* out = Extend(previewLines, rows * lineLength);
  for (size_t y = 0; y < rows; ++y, bytes += rowBytes) {
    for (size_t i = 0; i < rowBytes; ++i) {
      *out++ = kHexDigits[bytes[i] >> 4];
      *out++ = kHexDigits[bytes[i] & 0xF];
    }
    *out++ = u' ';
    for (size_t u = 0; u < width; ++u) {
      const char16_t mark = (bytes[u >> 3] >> (7 - (u & 7))) & 1 ? u'1' : u' ';
      out[0] = mark;
      out[1] = mark;
      out += 2;
    }
    out[0] = u'\r';
    out[1] = u'\n';
    out += 2;
  }
}

void AppendScannedGlyph(const PixelSource& pixels, Colour ink, const GlyphCell& cell,
                        std::u16string& dataText, std::u16string& previewLines) {
  std::vector<uint8_t> bytes;
  ScanGlyphBytes(pixels, ink, cell, bytes);
  AppendDataText(bytes.data(), bytes.size(), dataText);
  AppendPreviewLines(bytes.data(), CellWidth(cell), CellRows(cell), previewLines);
}

GlyphScanResult ScanGlyph(const PixelSource& pixels, Colour ink, const GlyphCell& cell) {
  GlyphScanResult result;
  AppendScannedGlyph(pixels, ink, cell, result.dataText, result.previewLines);
  return result;
}

}  // namespace pindot
