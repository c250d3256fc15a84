// Where the scan reads pixels from: any surface that answers the colour at (x, y).
#pragma once

#include <cstdint>

#include "glyph/colour.h"

namespace pindot {

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

}  // namespace pindot
