#include "glyph/pixel_source.h"

#include <algorithm>

namespace pindot {

void PixelSource::ReadPixelRow(int32_t x, int32_t y, int32_t count, Colour* out) const {
  for (int32_t i = 0; i < count; ++i) out[i] = ReadPixel(static_cast<int32_t>(int64_t{x} + i), y);
}

void CopyPixelRow(const Colour* pixels, int32_t width, int32_t height, Colour outside, int32_t x,
                  int32_t y, int32_t count, Colour* out) {
  // Widened, so that x + count cannot overflow.
  const int64_t end = int64_t{x} + count;
  int64_t from = x;
  int64_t inside = 0;  // pixels of the row that lie on the surface, starting at `from`
  if (y >= 0 && y < height && end > 0 && from < width) {
    from = std::max<int64_t>(from, 0);
    inside = std::min<int64_t>(end, width) - from;
  }
  Colour* next = out;
  if (inside > 0) {
    std::fill(next, next + (from - x), outside);
    next += from - x;
    std::copy_n(pixels + static_cast<int64_t>(y) * width + from, inside, next);
    next += inside;
  }
  std::fill(next, out + count, outside);
}

}  // namespace pindot
