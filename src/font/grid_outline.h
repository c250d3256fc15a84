// Outlines whose edges run along the pixel grid (pixel fonts such as Unifont), filled without
// FreeType exactly as its monochrome rasteriser fills them, many times faster.
#pragma once

#include <cstdint>
#include <vector>

#include "glyph/colour.h"

namespace pindot {

// One point of a glyph outline, in 26.6 fixed-point pixels (64 to a pixel), y upwards from the
// baseline, the pen at x = 0.
struct OutlinePoint {
  int64_t x = 0;
  int64_t y = 0;
  bool onCurve = true;  // false for a curve's control point
};

// A glyph outline as FreeType gives it, in a form the rest of the code (and tests) can build.
struct Outline {
  std::vector<OutlinePoint> points;
  std::vector<int> contourEnds;  // the index of each contour's last point, in order
};

// Whether the outline lies on the pixel grid: straight horizontal and vertical edges between whole
// pixel corners, no contour without area, no spike doubling back on itself. Every pixel is then
// wholly inside or wholly outside.
bool IsOnPixelGrid(const Outline& outline);

// A rectangle of colour values, row after row, y downwards.
struct PixelTarget {
  Colour* pixels = nullptr;
  int32_t width = 0;
  int32_t height = 0;
};

class GridOutlineFiller {
 public:
  // Inks each pixel of `target` whose centre the outline encloses (non-zero winding), the
  // outline's origin at the pixel corner (originX, originY) of the target. The outline must be
  // one IsOnPixelGrid accepts.
  void Fill(const Outline& outline, int32_t originX, int32_t originY, const PixelTarget& target,
            Colour ink);

 private:
  std::vector<int> windings_;  // reused by every fill
};

}  // namespace pindot
