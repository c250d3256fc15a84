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

// Whole pixels in an outline's coordinates (y upwards): the left and top edges and the size.
struct PixelBox {
  int64_t left = 0;
  int64_t top = 0;
  int64_t width = 0;
  int64_t height = 0;
};

// The bitmap FreeType's monochrome renderer makes for an outline whose points span xMin..xMax and
// yMin..yMax (26.6): the edges rounded so that every pixel whose centre lies inside is in (a left
// or bottom edge rounds up from just over half a pixel, a right or top edge from half a pixel),
// at least one pixel each way.
PixelBox MonochromeBitmapBox(int64_t xMin, int64_t yMin, int64_t xMax, int64_t yMax);

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
  // outline must be one IsOnPixelGrid accepts. Only the part of the outline on the target is
  // worked on, so time and memory are bounded by the target's size (and the number of edges),
  // however large the outline. Where two contours meet so that a stroke between them has no
  // width (a hinted box whose side collapsed), the monochrome rasteriser's dropout control may
  // draw a pixel no centre rule gives: then nothing is drawn and the result is false, so the
  // caller lets the rasteriser draw the glyph.
  bool Fill(const Outline& outline, int32_t originX, int32_t originY, const PixelTarget& target,
            Colour ink);

 private:
  // The edges that cross the scanlines of one direction (the rows' centres, or the columns'),
  // counted by direction at each pixel boundary from `low` to `high` along them; those before
  // `low` are counted together, those after `high` change nothing on the target and are left out.
  class Sweep {
   public:
    void Reset(int32_t firstLine, int32_t lineCount, int32_t low, int32_t high);
    // An edge at `boundary` crossing the scanlines from `fromLine` up to `toLine`.
    void AddEdge(int64_t boundary, int64_t fromLine, int64_t toLine, bool rising);
    // The rasteriser pairs the n-th rising edge along a scanline with the n-th falling one; a
    // pair on one boundary is a span without width, a dropout.
    bool HasEmptySpan() const;
    // The winding number of each pixel from `low` up to `high` on the scanline `line`.
    void Windings(int32_t line, std::vector<int>& windings) const;

   private:
    struct Crossings {
      int32_t rising = 0;
      int32_t falling = 0;
    };
    int32_t firstLine_ = 0;
    int32_t lineCount_ = 0;
    int32_t low_ = 0;
    int32_t slots_ = 0;                 // per scanline: all before `low`, then one per boundary
    bool mixed_ = false;                // some boundary has edges of both directions
    std::vector<Crossings> crossings_;  // scanline after scanline, reused by every fill
  };

  Sweep rows_;     // vertical edges, crossing the rows' centres
  Sweep columns_;  // horizontal edges, crossing the columns' centres
  std::vector<int> windings_;
};

}  // namespace pindot
