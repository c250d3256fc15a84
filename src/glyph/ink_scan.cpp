#include "glyph/ink_scan.h"

#include <algorithm>
#include <exception>
#include <memory>
#include <thread>
#include <vector>

namespace pindot {

InkGlyph ScanInk(const PixelSource& source, Colour ink, const GlyphCell& region, int32_t penX,
                 int32_t baselineY, uint8_t bpp, int32_t advance) {
  InkGlyph glyph;
  glyph.bpp = bpp;
  glyph.advance = advance;
  const int32_t width = std::max(0, region.right - region.left);
  std::vector<Colour> row(static_cast<size_t>(width));
  int32_t left = region.right, right = region.left, top = region.bottom, bottom = region.top;
  std::vector<uint8_t> inkRows;  // one flag per pixel of the region, row by row
  inkRows.reserve(static_cast<size_t>(width) * std::max(0, region.bottom - region.top));
  for (int32_t y = region.top; y < region.bottom; ++y) {
    source.ReadPixelRow(region.left, y, width, row.data());
    for (int32_t x = 0; x < width; ++x) {
      const bool isInk = row[static_cast<size_t>(x)] == ink;
      inkRows.push_back(isInk ? 1 : 0);
      if (!isInk) continue;
      left = std::min(left, region.left + x);
      right = std::max(right, region.left + x + 1);
      top = std::min(top, y);
      bottom = std::max(bottom, y + 1);
    }
  }
  if (left >= right) return glyph;
  glyph.left = left - penX;
  glyph.top = baselineY - top;
  glyph.width = static_cast<uint32_t>(right - left);
  glyph.height = static_cast<uint32_t>(bottom - top);
  const auto full = static_cast<uint8_t>((1u << bpp) - 1);
  glyph.levels.reserve(size_t{glyph.width} * glyph.height);
  for (int32_t y = top; y < bottom; ++y) {
    const uint8_t* flags = inkRows.data() + static_cast<size_t>(y - region.top) * width;
    for (int32_t x = left; x < right; ++x) glyph.levels.push_back(flags[x - region.left] * full);
  }
  return glyph;
}

uint8_t QuantiseCoverage(uint8_t coverage, uint8_t bpp) {
  const uint32_t top = (1u << bpp) - 1;
  return static_cast<uint8_t>((coverage * top + 127) / 255);
}

void TrimInk(InkGlyph& glyph) {
  const uint32_t width = glyph.width, height = glyph.height;
  uint32_t left = width, right = 0, top = height, bottom = 0;
  for (uint32_t y = 0; y < height; ++y) {
    for (uint32_t x = 0; x < width; ++x) {
      if (glyph.levels[size_t{y} * width + x] == 0) continue;
      left = std::min(left, x);
      right = std::max(right, x + 1);
      top = std::min(top, y);
      bottom = std::max(bottom, y + 1);
    }
  }
  if (left >= right) {
    glyph.left = glyph.top = 0;
    glyph.width = glyph.height = 0;
    glyph.levels.clear();
    return;
  }
  if (left == 0 && top == 0 && right == width && bottom == height) return;
  std::vector<uint8_t> kept;
  kept.reserve(size_t{right - left} * (bottom - top));
  for (uint32_t y = top; y < bottom; ++y) {
    const auto row = glyph.levels.begin() + static_cast<ptrdiff_t>(size_t{y} * width);
    kept.insert(kept.end(), row + left, row + right);
  }
  glyph.levels = std::move(kept);
  glyph.left += static_cast<int32_t>(left);
  glyph.top -= static_cast<int32_t>(top);
  glyph.width = right - left;
  glyph.height = bottom - top;
}

void DrawInkRule(InkGlyph& glyph, int32_t top, int32_t thickness) {
  if (thickness <= 0 || glyph.advance <= 0) return;
  // The new box in rows below the baseline and columns from the pen.
  const bool empty = glyph.width == 0 || glyph.height == 0;
  const int32_t oldLeft = glyph.left, oldTop = -glyph.top;
  const int32_t newLeft = empty ? 0 : std::min(oldLeft, 0);
  const int32_t newRight =
      empty ? glyph.advance : std::max(oldLeft + static_cast<int32_t>(glyph.width), glyph.advance);
  const int32_t newTop = empty ? top : std::min(oldTop, top);
  const int32_t newBottom =
      empty ? top + thickness
            : std::max(oldTop + static_cast<int32_t>(glyph.height), top + thickness);
  const auto width = static_cast<uint32_t>(newRight - newLeft);
  const auto height = static_cast<uint32_t>(newBottom - newTop);
  std::vector<uint8_t> levels(size_t{width} * height, 0);
  for (uint32_t y = 0; y < glyph.height; ++y) {
    for (uint32_t x = 0; x < glyph.width; ++x) {
      levels[size_t{y + static_cast<uint32_t>(oldTop - newTop)} * width + x +
             static_cast<uint32_t>(oldLeft - newLeft)] = glyph.levels[size_t{y} * glyph.width + x];
    }
  }
  const auto full = static_cast<uint8_t>((1u << glyph.bpp) - 1);
  for (int32_t y = top; y < top + thickness; ++y) {
    for (int32_t x = 0; x < glyph.advance; ++x) {
      levels[size_t{static_cast<uint32_t>(y - newTop)} * width +
             static_cast<uint32_t>(x - newLeft)] = full;
    }
  }
  glyph.levels = std::move(levels);
  glyph.left = newLeft;
  glyph.top = -newTop;
  glyph.width = width;
  glyph.height = height;
}

std::vector<char16_t> InkCharacters(const Generator& generator) {
  std::vector<char16_t> units;
  for (const GlyphList* list : {&generator.ThinList(), &generator.WideList()}) {
    for (const GlyphEntry& entry : *list) {
      const char16_t unit = entry.character;
      if (unit < 0x20 || unit == 0x7F || (unit >= 0xD800 && unit <= 0xDFFF)) continue;
      units.push_back(unit);
    }
  }
  std::sort(units.begin(), units.end());
  units.erase(std::unique(units.begin(), units.end()), units.end());
  return units;
}

std::vector<InkGlyph> DrawInkGlyphs(GlyphCanvas& canvas, const std::vector<char16_t>& units,
                                    uint8_t bpp) {
  // Large sets are shared out in equal runs between the canvas and its clones, a thread each.
  constexpr size_t kUnitsPerThread = 256;
  std::vector<std::unique_ptr<GlyphCanvas>> clones;
  const size_t threads = std::min<size_t>(DefaultDrawingThreads(), units.size() / kUnitsPerThread);
  for (size_t i = 1; i < threads; ++i) {
    std::unique_ptr<GlyphCanvas> clone = canvas.Clone();
    if (!clone) break;
    clones.push_back(std::move(clone));
  }
  std::vector<InkGlyph> glyphs(units.size());
  const size_t parts = clones.size() + 1;
  std::vector<std::exception_ptr> failures(parts);
  auto draw = [&](size_t part) {
    GlyphCanvas& drawer = part == 0 ? canvas : *clones[part - 1];
    try {
      for (size_t i = part * units.size() / parts; i < (part + 1) * units.size() / parts; ++i) {
        glyphs[i] = drawer.DrawInk(units[i], bpp);
      }
    } catch (...) {
      failures[part] = std::current_exception();
    }
  };
  std::vector<std::thread> workers;
  for (size_t part = 1; part < parts; ++part) workers.emplace_back(draw, part);
  draw(0);
  for (std::thread& worker : workers) worker.join();
  // What the first unit that failed threw, as drawing them in order would.
  for (const std::exception_ptr& failure : failures) {
    if (failure) std::rethrow_exception(failure);
  }
  return glyphs;
}

}  // namespace pindot
