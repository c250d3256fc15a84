#include "font/grid_outline.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace pindot {

namespace {

constexpr int64_t kPixel = 64;

// One side of MonochromeBitmapBox: the low and high edge in whole pixels.
std::pair<int64_t, int64_t> RoundedSpan(int64_t low, int64_t high) {
  const int64_t lowRemainder = low & 63;
  const int64_t highRemainder = high & 63;
  int64_t first = (low >> 6) + ((lowRemainder + 31) >> 6);
  int64_t last = (high >> 6) + ((highRemainder + 32) >> 6);
  if (first == last) {
    // A span narrower than a pixel keeps the pixel that holds most of it.
    if (((lowRemainder + 31) & 63) - 31 + ((highRemainder + 32) & 63) - 32 < 0) {
      --first;
    } else {
      ++last;
    }
  }
  return {first, last};
}

}  // namespace

PixelBox MonochromeBitmapBox(int64_t xMin, int64_t yMin, int64_t xMax, int64_t yMax) {
  const auto [left, right] = RoundedSpan(xMin, xMax);
  const auto [bottom, top] = RoundedSpan(yMin, yMax);
  return PixelBox{left, top, right - left, top - bottom};
}

// Zero-width parts (a contour of no area, a spike doubling back on itself) are left to the
// monochrome rasteriser, whose dropout control draws them.
bool IsOnPixelGrid(const Outline& outline) {
  int start = 0;
  for (const int end : outline.contourEnds) {
    if (end < start || end >= static_cast<int>(outline.points.size())) return false;
    int64_t minX = outline.points[start].x, maxX = minX;
    int64_t minY = outline.points[start].y, maxY = minY;
    int previousAxis = -1;  // 0 horizontal, 1 vertical
    int previousSign = 0;
    int firstAxis = -1;
    int firstSign = 0;
    for (int i = start; i <= end; ++i) {
      const OutlinePoint& point = outline.points[i];
      if (point.x % kPixel != 0 || point.y % kPixel != 0 || !point.onCurve) return false;
      minX = std::min(minX, point.x);
      maxX = std::max(maxX, point.x);
      minY = std::min(minY, point.y);
      maxY = std::max(maxY, point.y);
      const OutlinePoint& next = outline.points[i == end ? start : i + 1];
      const int64_t dx = next.x - point.x;
      const int64_t dy = next.y - point.y;
      if (dx != 0 && dy != 0) return false;
      if (dx == 0 && dy == 0) continue;
      const int axis = dx != 0 ? 0 : 1;
      const int sign = (dx + dy) > 0 ? 1 : -1;
      if (axis == previousAxis && sign != previousSign) return false;
      if (firstAxis < 0) {
        firstAxis = axis;
        firstSign = sign;
      }
      previousAxis = axis;
      previousSign = sign;
    }
    if (previousAxis == firstAxis && previousSign != firstSign) return false;
    if (minX == maxX || minY == maxY) return false;
    start = end + 1;
  }
  return true;
}

void GridOutlineFiller::Sweep::Reset(int32_t firstLine, int32_t lineCount, int32_t low,
                                     int32_t high) {
  firstLine_ = firstLine;
  lineCount_ = lineCount;
  low_ = low;
  slots_ = high - low + 2;
  mixed_ = false;
  crossings_.assign(static_cast<size_t>(lineCount) * slots_, Crossings{});
}

void GridOutlineFiller::Sweep::AddEdge(int64_t boundary, int64_t fromLine, int64_t toLine,
                                       bool rising) {
  if (boundary >= low_ + slots_ - 1) return;
  const int32_t slot = boundary < low_ ? 0 : static_cast<int32_t>(boundary - low_) + 1;
  const int64_t first = std::max<int64_t>(fromLine, firstLine_);
  const int64_t last = std::min<int64_t>(toLine, firstLine_ + lineCount_);
  for (int64_t line = first; line < last; ++line) {
    Crossings& crossings = crossings_[static_cast<size_t>(line - firstLine_) * slots_ + slot];
    ++(rising ? crossings.rising : crossings.falling);
    mixed_ = mixed_ || (slot > 0 && crossings.rising > 0 && crossings.falling > 0);
  }
}

bool GridOutlineFiller::Sweep::HasEmptySpan() const {
  if (!mixed_) return false;
  for (size_t start = 0; start < crossings_.size(); start += slots_) {
    int32_t rising = crossings_[start].rising;
    int32_t falling = crossings_[start].falling;
    for (size_t i = start + 1; i < start + slots_; ++i) {
      const Crossings& here = crossings_[i];
      // Rising edges number rising + 1 .. rising + here.rising on this boundary, falling ones
      // falling + 1 .. falling + here.falling: a shared number is a pair without width.
      if (here.rising > 0 && here.falling > 0 && rising < falling + here.falling &&
          falling < rising + here.rising) {
        return true;
      }
      rising += here.rising;
      falling += here.falling;
    }
  }
  return false;
}

void GridOutlineFiller::Sweep::Windings(int32_t line, std::vector<int>& windings) const {
  windings.resize(static_cast<size_t>(slots_ - 2));
  const Crossings* crossings = crossings_.data() + static_cast<size_t>(line - firstLine_) * slots_;
  int winding = crossings[0].rising - crossings[0].falling;
  for (int32_t pixel = 0; pixel < slots_ - 2; ++pixel) {
    winding += crossings[pixel + 1].rising - crossings[pixel + 1].falling;
    windings[pixel] = winding;
  }
}

// Each vertical edge counts at its column boundary for every row it spans, and a running sum of
// directions along each row is the winding number of each pixel's centre. Horizontal edges cross
// no row's centre; they count in the columns' sweep, which only looks for dropouts.
bool GridOutlineFiller::Fill(const Outline& outline, int32_t originX, int32_t originY,
                             const PixelTarget& target, Colour ink) {
  if (outline.points.empty()) return true;
  int64_t minX = outline.points[0].x, maxX = minX, minY = outline.points[0].y, maxY = minY;
  for (const OutlinePoint& point : outline.points) {
    minX = std::min(minX, point.x);
    maxX = std::max(maxX, point.x);
    minY = std::min(minY, point.y);
    maxY = std::max(maxY, point.y);
  }
  // The outline's box on the target, and the part of it that is swept: the target and one pixel
  // around it, where a dropout on the target's edge may put its pixel.
  const int32_t left = static_cast<int32_t>(std::max<int64_t>(originX + minX / kPixel, -1));
  const int32_t right =
      static_cast<int32_t>(std::min<int64_t>(originX + maxX / kPixel, target.width + 1));
  const int32_t top = static_cast<int32_t>(std::max<int64_t>(originY - maxY / kPixel, -1));
  const int32_t bottom =
      static_cast<int32_t>(std::min<int64_t>(originY - minY / kPixel, target.height + 1));
  if (left >= right || top >= bottom) return true;
  rows_.Reset(top, bottom - top, left, right);
  columns_.Reset(left, right - left, top, bottom);
  int start = 0;
  for (const int end : outline.contourEnds) {
    for (int i = start; i <= end; ++i) {
      const OutlinePoint& from = outline.points[i];
      const OutlinePoint& to = outline.points[i == end ? start : i + 1];
      if (from.x == to.x && from.y != to.y) {
        rows_.AddEdge(originX + from.x / kPixel, originY - std::max(from.y, to.y) / kPixel,
                      originY - std::min(from.y, to.y) / kPixel, to.y > from.y);
      } else if (from.y == to.y && from.x != to.x) {
        columns_.AddEdge(originY - from.y / kPixel, originX + std::min(from.x, to.x) / kPixel,
                         originX + std::max(from.x, to.x) / kPixel, to.x > from.x);
      }
    }
    start = end + 1;
  }
  if (rows_.HasEmptySpan() || columns_.HasEmptySpan()) return false;
  for (int32_t y = std::max(top, 0); y < std::min(bottom, target.height); ++y) {
    rows_.Windings(y, windings_);
    Colour* line = target.pixels + static_cast<size_t>(y) * target.width;
    for (int32_t x = std::max(left, 0); x < std::min(right, target.width); ++x) {
      if (windings_[x - left] != 0) line[x] = ink;
    }
  }
  return true;
}

}  // namespace pindot
