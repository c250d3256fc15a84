#include "font/grid_outline.h"

#include <algorithm>

namespace pindot {

namespace {

constexpr int64_t kPixel = 64;

}  // namespace

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

void GridOutlineFiller::Sweep::Reset(int32_t lines, int32_t boundaries) {
  boundaries_ = boundaries;
  crossings_.assign(static_cast<size_t>(lines) * boundaries, Crossings{});
}

void GridOutlineFiller::Sweep::Add(int32_t line, int32_t boundary, bool rising) {
  Crossings& crossings = crossings_[static_cast<size_t>(line) * boundaries_ + boundary];
  ++(rising ? crossings.rising : crossings.falling);
}

bool GridOutlineFiller::Sweep::HasEmptySpan() const {
  if (boundaries_ == 0) return false;
  for (size_t start = 0; start < crossings_.size(); start += boundaries_) {
    int32_t rising = 0;
    int32_t falling = 0;
    for (size_t i = start; i < start + boundaries_; ++i) {
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

int GridOutlineFiller::Sweep::Winding(int32_t line, int32_t boundary, int before) const {
  const Crossings& here = crossings_[static_cast<size_t>(line) * boundaries_ + boundary];
  return before + here.rising - here.falling;
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
  // The outline's box in whole pixels: columns from its left edge, rows down from its top edge.
  const int32_t left = static_cast<int32_t>(minX / kPixel);
  const int32_t top = static_cast<int32_t>(maxY / kPixel);
  const int32_t width = static_cast<int32_t>((maxX - minX) / kPixel);
  const int32_t height = static_cast<int32_t>((maxY - minY) / kPixel);
  rows_.Reset(height, width + 1);
  columns_.Reset(width, height + 1);
  int start = 0;
  for (const int end : outline.contourEnds) {
    for (int i = start; i <= end; ++i) {
      const OutlinePoint& from = outline.points[i];
      const OutlinePoint& to = outline.points[i == end ? start : i + 1];
      if (from.x == to.x && from.y != to.y) {
        const int32_t column = static_cast<int32_t>(from.x / kPixel) - left;
        const int32_t firstRow = top - static_cast<int32_t>(std::max(from.y, to.y) / kPixel);
        const int32_t lastRow = top - static_cast<int32_t>(std::min(from.y, to.y) / kPixel);
        for (int32_t row = firstRow; row < lastRow; ++row) rows_.Add(row, column, to.y > from.y);
      } else if (from.y == to.y && from.x != to.x) {
        const int32_t row = top - static_cast<int32_t>(from.y / kPixel);
        const int32_t firstColumn = static_cast<int32_t>(std::min(from.x, to.x) / kPixel) - left;
        const int32_t lastColumn = static_cast<int32_t>(std::max(from.x, to.x) / kPixel) - left;
        for (int32_t column = firstColumn; column < lastColumn; ++column) {
          columns_.Add(column, row, to.x > from.x);
        }
      }
    }
    start = end + 1;
  }
  if (rows_.HasEmptySpan() || columns_.HasEmptySpan()) return false;
  for (int32_t row = 0; row < height; ++row) {
    const int32_t y = originY - top + row;
    if (y < 0 || y >= target.height) continue;
    Colour* line = target.pixels + static_cast<size_t>(y) * target.width;
    int winding = 0;
    for (int32_t column = 0; column < width; ++column) {
      winding = rows_.Winding(row, column, winding);
      const int32_t x = originX + left + column;
      if (winding != 0 && x >= 0 && x < target.width) line[x] = ink;
    }
  }
  return true;
}

}  // namespace pindot
