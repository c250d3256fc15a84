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
  // outline's origin at the pixel corner (originX, originY) of the target, and returns true. The
  // outline must be one IsOnPixelGrid accepts. Where two contours meet so that a stroke between
  // them has no width (a hinted box whose side collapsed), the monochrome rasteriser's dropout
  // control may draw a pixel no centre rule gives: then nothing is drawn and the result is false,
  // so the caller lets the rasteriser draw the glyph.
  bool Fill(const Outline& outline, int32_t originX, int32_t originY, const PixelTarget& target,
            Colour ink);

 private:
  // The edges that cross each scanline of one direction (the rows' centres, or the columns'),
  // counted by direction at each pixel boundary along it.
  class Sweep {
   public:
    void Reset(int32_t lines, int32_t boundaries);
    void Add(int32_t line, int32_t boundary, bool rising);
    // The rasteriser pairs the n-th rising edge along a scanline with the n-th falling one; a
    // pair on one boundary is a span without width, a dropout.
    bool HasEmptySpan() const;
    // Rising minus falling edges up to and including `boundary`: the winding of the pixel after it.
    int Winding(int32_t line, int32_t boundary, int before) const;

   private:
    struct Crossings {
      int32_t rising = 0;
      int32_t falling = 0;
    };
    int32_t boundaries_ = 0;
    std::vector<Crossings> crossings_;  // line after line, reused by every fill
  };

  Sweep rows_;     // vertical edges, crossing the rows' centres
  Sweep columns_;  // horizontal edges, crossing the columns' centres
};

}  // namespace pindot
