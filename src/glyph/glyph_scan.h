// Reads a drawn glyph cell back pixel by pixel and packs it into bytes, MSB first, row by row.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace pindot {

// Colours are 0x00BBGGRR values.
using Colour = uint32_t;

class PixelSource {
 public:
  virtual ~PixelSource() = default;
  // Outside the surface the result never equals an ink colour.
  virtual Colour ReadPixel(int32_t x, int32_t y) const = 0;
  // The pixels (x, y) .. (x + count - 1, y) into `out`, each as ReadPixel gives it. The scan reads
  // a row at a time through this; a surface that keeps its pixels in memory overrides it to copy
  // them at once (with CopyPixelRow) instead of one call per pixel.
  virtual void ReadPixelRow(int32_t x, int32_t y, int32_t count, Colour* out) const;
};

// ReadPixelRow for a surface of width x height pixels kept row by row from (0, 0): `outside` for
// every pixel beyond it.
void CopyPixelRow(const Colour* pixels, int32_t width, int32_t height, Colour outside, int32_t x,
                  int32_t y, int32_t count, Colour* out);

// Right and bottom are exclusive.
struct GlyphCell {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
};

struct GlyphScanResult {
  std::u16string dataText;      // "0xc0, 0x40, ..."
  std::u16string previewLines;  // per row: "c040 1111    ...  11\r\n"
};

GlyphScanResult ScanGlyph(const PixelSource& pixels, Colour ink, const GlyphCell& cell);

// The same scan appending to existing texts, so a long run reuses its buffers.
void AppendScannedGlyph(const PixelSource& pixels, Colour ink, const GlyphCell& cell,
                        std::u16string& dataText, std::u16string& previewLines);

// The scan in its two halves, for callers that keep the bytes and write the texts later. The
// bytes hold everything both texts show: a bit is set exactly where a pixel is ink.
// Replaces `bytes` with the packed cell: height x ceil(width / 8) bytes, rows from the top.
void ScanGlyphBytes(const PixelSource& pixels, Colour ink, const GlyphCell& cell,
                    std::vector<uint8_t>& bytes);
// Appends "0x%02x" items joined by ", " (and one ", " first when `dataText` is not empty).
void AppendDataText(const uint8_t* bytes, size_t count, std::u16string& dataText);
// Appends the preview lines of `rows` rows of `width` pixels packed as ScanGlyphBytes packs them.
void AppendPreviewLines(const uint8_t* bytes, size_t width, size_t rows,
                        std::u16string& previewLines);

}  // namespace pindot
