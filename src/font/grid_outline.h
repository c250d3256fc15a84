// Outlines whose edges run along the pixel grid (pixel fonts such as Unifont), filled without
// FreeType exactly as its monochrome rasteriser fills them, many times faster.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "glyph/colour.h"
#include "glyph/glyph_canvas.h"

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

// A rectangle of one bit a pixel (see bit_rows.h), y downwards: pixel (x, y) is bit firstBit + x
// of the row that starts y * rowBytes bytes into `bits`.
struct BitTarget {
  uint8_t* bits = nullptr;
  size_t rowBytes = 0;
  size_t firstBit = 0;
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
  // The same, setting the bits of the ink pixels.
  bool Fill(const Outline& outline, int32_t originX, int32_t originY, const BitTarget& target);

 private:
  // Pixels left .. right - 1 of rows top .. bottom - 1, all ink.
  using InkRectangle = GlyphCell;

  // The edges that cross the scanlines of one direction (the rows' centres, or the columns'),
  // each at a pixel boundary. Those before `low` count as one boundary before all others; those
  // after `high` change nothing on the target and are left out. Scanlines are walked in bands that
  // the same edges cross, keeping the edges that cross the band in boundary order, so the work
  // follows the edges rather than the pixels.
  class Sweep {
   public:
    // Room for up to maxEdges edges.
    void Reset(int32_t firstLine, int32_t lineCount, int32_t low, int32_t high, size_t maxEdges);
    // An edge at `boundary` crossing the scanlines from `fromLine` up to `toLine`.
    void AddEdge(int64_t boundary, int64_t fromLine, int64_t toLine, bool rising);
    // False as soon as a scanline holds a span without width: the rasteriser pairs the n-th
    // rising edge along a scanline with the n-th falling one, and a pair on one boundary is such
    // a span, a dropout. Otherwise true, and when `ink` is given the runs of pixels fromPixel ..
    // toPixel - 1 on scanlines fromLine .. toLine - 1 whose winding number is not zero are
    // appended to it, scanlines as rows and pixels as columns. Without `ink`, scanlines are only
    // walked when HasOpposedEdges.
    bool Walk(int32_t fromLine, int32_t toLine, int32_t fromPixel, int32_t toPixel,
              std::vector<InkRectangle>* ink);

   private:
    struct Edge {
      int32_t boundary = 0;
      int32_t fromLine = 0;
      int32_t toLine = 0;
      bool rising = false;
    };

    // Whether some boundary has a rising and a falling edge crossing one scanline: only there can
    // a span have no width.
    bool HasOpposedEdges();
    // Walk for the band of scanlines top .. bottom - 1, which the edges in active_ cross.
    bool WalkBand(int32_t top, int32_t bottom, int32_t fromPixel, int32_t toPixel,
                  std::vector<InkRectangle>* ink) const;

    int32_t firstLine_ = 0;
    int32_t endLine_ = 0;
    int32_t low_ = 0;
    int32_t high_ = 0;
    std::vector<Edge> edges_;  // the first edgeCount_ of them
    size_t edgeCount_ = 0;
    std::vector<Edge> byStart_;      // edges_ in order of their first line
    std::vector<uint32_t> starts_;   // per line, where its edges start in byStart_
    std::vector<uint8_t> ends_;      // per line, whether an edge ends there
    std::vector<Edge> active_;       // those crossing the band walked, in boundary order
    std::vector<uint64_t> crossed_;  // per boundary and direction, a bit for each scanline crossed
  };

  // Finds the ink of the outline on a target of width x height pixels into ink_: false, with
  // nothing found, for a stroke without width.
  bool FindInk(const Outline& outline, int32_t originX, int32_t originY, int32_t width,
               int32_t height);

  Sweep rows_;     // vertical edges, crossing the rows' centres
  Sweep columns_;  // horizontal edges, crossing the columns' centres
  std::vector<InkRectangle> ink_;
};

}  // namespace pindot
