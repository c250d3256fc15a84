#include "font/grid_outline.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "font/bit_rows.h"

namespace pindot {

namespace {

constexpr int64_t kPixel = 64;

// Whole pixels of a coordinate on the pixel grid, a multiple of kPixel: a shift, exact below zero
// too.
constexpr int64_t Pixels(int64_t gridValue) {
  return gridValue >> 6;
}

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
      if ((point.x & (kPixel - 1)) != 0 || (point.y & (kPixel - 1)) != 0 || !point.onCurve) {
        return false;
      }
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
                                     int32_t high, size_t maxEdges) {
  firstLine_ = firstLine;
  endLine_ = firstLine + lineCount;
  low_ = low;
  high_ = high;
  if (edges_.size() < maxEdges) edges_.resize(maxEdges);
  edgeCount_ = 0;
}

inline void GridOutlineFiller::Sweep::AddEdge(int64_t boundary, int64_t fromLine, int64_t toLine,
                                              bool rising) {
  if (boundary > high_) return;
  const int64_t first = std::max<int64_t>(fromLine, firstLine_);
  const int64_t last = std::min<int64_t>(toLine, endLine_);
  if (first >= last) return;
  // Every boundary before `low` is one, just before it.
  const int32_t at = boundary < low_ ? low_ - 1 : static_cast<int32_t>(boundary);
  edges_[edgeCount_++] = Edge{at, static_cast<int32_t>(first), static_cast<int32_t>(last), rising};
}

bool GridOutlineFiller::Sweep::HasOpposedEdges() {
  // Boundaries low - 1 (all those before `low`) .. high, each with the scanlines its rising edges
  // cross and those its falling edges cross, in words of 64.
  const size_t words = (static_cast<size_t>(endLine_ - firstLine_) + 63) / 64;
  crossed_.assign((static_cast<size_t>(high_ - low_) + 2) * 2 * words, 0);
  for (size_t index = 0; index < edgeCount_; ++index) {
    const Edge& edge = edges_[index];
    uint64_t* rising = crossed_.data() + static_cast<size_t>(edge.boundary - low_ + 1) * 2 * words;
    uint64_t* own = edge.rising ? rising : rising + words;
    const uint64_t* opposed = edge.rising ? rising + words : rising;
    const auto first = static_cast<size_t>(edge.fromLine - firstLine_);
    const auto last = static_cast<size_t>(edge.toLine - firstLine_ - 1);
    for (size_t word = first / 64; word <= last / 64; ++word) {
      uint64_t lines = ~uint64_t{0};
      if (word == first / 64) lines &= ~uint64_t{0} << (first % 64);
      if (word == last / 64) lines &= ~uint64_t{0} >> (63 - last % 64);
      if ((opposed[word] & lines) != 0) return true;
      own[word] |= lines;
    }
  }
  return false;
}

// A pixel's winding number is the sum of the directions of the edges on its left boundary and
// before it.
bool GridOutlineFiller::Sweep::WalkBand(int32_t top, int32_t bottom, int32_t fromPixel,
                                        int32_t toPixel, std::vector<InkRectangle>* ink) const {
  const bool inked = ink != nullptr && top < bottom && fromPixel < toPixel;
  auto addRun = [&](int32_t start, int32_t stop) {
    start = std::max(start, fromPixel);
    stop = std::min(stop, toPixel);
    if (start < stop) ink->push_back(InkRectangle{start, top, stop, bottom});
  };
  int32_t rising = 0;
  int32_t falling = 0;
  int32_t runStart = 0;
  const size_t count = active_.size();
  for (size_t i = 0; i < count;) {
    const int32_t boundary = active_[i].boundary;
    int32_t hereRising = 0;
    int32_t hereFalling = 0;
    if (i + 1 == count || active_[i + 1].boundary != boundary) {
      // One edge alone on its boundary, as most are.
      ++(active_[i++].rising ? hereRising : hereFalling);
    } else {
      for (; i < count && active_[i].boundary == boundary; ++i) {
        ++(active_[i].rising ? hereRising : hereFalling);
      }
      // Rising edges number rising + 1 .. rising + hereRising on this boundary, falling ones
      // falling + 1 .. falling + hereFalling: a shared number is a pair without width. The
      // boundaries before `low` are no place on the target.
      if (hereRising > 0 && hereFalling > 0 && boundary >= low_ && rising < falling + hereFalling &&
          falling < rising + hereRising) {
        return false;
      }
    }
    const bool wasInside = rising != falling;
    rising += hereRising;
    falling += hereFalling;
    const bool inside = rising != falling;
    if (inked && !wasInside && inside) runStart = boundary;
    if (inked && wasInside && !inside) addRun(runStart, boundary);
  }
  if (inked && rising != falling) addRun(runStart, toPixel);
  return true;
}

bool GridOutlineFiller::Sweep::Walk(int32_t fromLine, int32_t toLine, int32_t fromPixel,
                                    int32_t toPixel, std::vector<InkRectangle>* ink) {
  if (ink == nullptr && !HasOpposedEdges()) return true;
  // Per line, the edges starting there (counted out into byStart_, in line order) and whether
  // some edge ends there: a band ends at each line where either happens.
  const auto lines = static_cast<size_t>(endLine_ - firstLine_);
  starts_.assign(lines + 1, 0);
  ends_.assign(lines + 1, 0);
  for (size_t index = 0; index < edgeCount_; ++index) {
    const Edge& edge = edges_[index];
    ++starts_[static_cast<size_t>(edge.fromLine - firstLine_) + 1];
    ends_[static_cast<size_t>(edge.toLine - firstLine_)] = 1;
  }
  for (size_t i = 1; i <= lines; ++i) starts_[i] += starts_[i - 1];
  byStart_.resize(edgeCount_);
  for (size_t index = 0; index < edgeCount_; ++index) {
    const Edge& edge = edges_[index];
    byStart_[starts_[static_cast<size_t>(edge.fromLine - firstLine_)]++] = edge;
  }
  // Now the edges starting at line l are those before starts_[l] not met yet.
  active_.clear();
  size_t next = 0;
  int32_t bandTop = firstLine_;
  for (size_t i = 0; i <= lines; ++i) {
    if (!ends_[i] && next == starts_[i]) continue;
    const int32_t line = firstLine_ + static_cast<int32_t>(i);
    if (!active_.empty() &&
        !WalkBand(std::max(bandTop, fromLine), std::min(line, toLine), fromPixel, toPixel, ink)) {
      return false;
    }
    if (ends_[i]) {
      active_.erase(std::remove_if(active_.begin(), active_.end(),
                                   [line](const Edge& edge) { return edge.toLine == line; }),
                    active_.end());
    }
    // Those that start here join in boundary order.
    for (; next < starts_[i]; ++next) {
      active_.push_back(byStart_[next]);
      for (size_t j = active_.size() - 1; j > 0 && active_[j - 1].boundary > active_[j].boundary;
           --j) {
        std::swap(active_[j - 1], active_[j]);
      }
    }
    bandTop = line;
  }
  return true;
}

// Each vertical edge counts at its column boundary for every row it spans, and a running sum of
// directions along each row is the winding number of each pixel's centre. Horizontal edges cross
// no row's centre; they count in the columns' sweep, which only looks for dropouts.
bool GridOutlineFiller::FindInk(const Outline& outline, int32_t originX, int32_t originY,
                                int32_t width, int32_t height) {
  ink_.clear();
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
  const int32_t left = static_cast<int32_t>(std::max<int64_t>(originX + Pixels(minX), -1));
  const int32_t right = static_cast<int32_t>(std::min<int64_t>(originX + Pixels(maxX), width + 1));
  const int32_t top = static_cast<int32_t>(std::max<int64_t>(originY - Pixels(maxY), -1));
  const int32_t bottom =
      static_cast<int32_t>(std::min<int64_t>(originY - Pixels(minY), height + 1));
  if (left >= right || top >= bottom) return true;
  // An edge joins each pair of neighbouring points.
  rows_.Reset(top, bottom - top, left, right, outline.points.size());
  columns_.Reset(left, right - left, top, bottom, outline.points.size());
  int start = 0;
  for (const int end : outline.contourEnds) {
    for (int i = start; i <= end; ++i) {
      const OutlinePoint& from = outline.points[i];
      const OutlinePoint& to = outline.points[i == end ? start : i + 1];
      if (from.x == to.x && from.y != to.y) {
        rows_.AddEdge(originX + Pixels(from.x), originY - Pixels(std::max(from.y, to.y)),
                      originY - Pixels(std::min(from.y, to.y)), to.y > from.y);
      } else if (from.y == to.y && from.x != to.x) {
        columns_.AddEdge(originY - Pixels(from.y), originX + Pixels(std::min(from.x, to.x)),
                         originX + Pixels(std::max(from.x, to.x)), to.x > from.x);
      }
    }
    start = end + 1;
  }
  // The columns' sweep only looks for dropouts; the rows' finds the ink as well.
  if (!columns_.Walk(0, 0, 0, 0, nullptr) ||
      !rows_.Walk(std::max(top, 0), std::min(bottom, height), std::max(left, 0),
                  std::min(right, width), &ink_)) {
    ink_.clear();
    return false;
  }
  return true;
}

bool GridOutlineFiller::Fill(const Outline& outline, int32_t originX, int32_t originY,
                             const PixelTarget& target, Colour ink) {
  if (!FindInk(outline, originX, originY, target.width, target.height)) return false;
  for (const InkRectangle& rectangle : ink_) {
    for (int32_t y = rectangle.top; y < rectangle.bottom; ++y) {
      Colour* line = target.pixels + static_cast<size_t>(y) * target.width;
      std::fill(line + rectangle.left, line + rectangle.right, ink);
    }
  }
  return true;
}

bool GridOutlineFiller::Fill(const Outline& outline, int32_t originX, int32_t originY,
                             const BitTarget& target) {
  if (!FindInk(outline, originX, originY, target.width, target.height)) return false;
  for (const InkRectangle& rectangle : ink_) {
    SetBits(target.bits + static_cast<size_t>(rectangle.top) * target.rowBytes,
            target.firstBit + static_cast<size_t>(rectangle.left),
            static_cast<size_t>(rectangle.right - rectangle.left),
            static_cast<size_t>(rectangle.bottom - rectangle.top), target.rowBytes);
  }
  return true;
}

}  // namespace pindot
