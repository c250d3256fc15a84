// An in-memory glyph canvas for benchmarks: every unit gets a fixed, made-up square glyph.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "glyph/glyph_canvas.h"

namespace pindot::bench {

// Draws a deterministic pattern of about 25 % ink per unit, so scans see a realistic mix of ink and
// background and every glyph differs from its neighbours. Drawing costs one pass over the cell, as
// a rasteriser's blit would; the pipeline's own work is what the benchmarks look at.
class SyntheticCanvas : public GlyphCanvas {
 public:
  static constexpr Colour kWhite = 0x00FFFFFF;
  static constexpr Colour kBlack = 0x00000000;
  static constexpr Colour kOutside = 0xFFFFFFFF;

  // ASCII units are half as wide as the cell, everything else as wide as it is high.
  explicit SyntheticCanvas(uint32_t cellHeight)
      : cellHeight_(cellHeight), pixels_(kSize * kSize, kWhite) {}

  TextExtent MeasureCharacter(char16_t unit) override {
    return TextExtent{unit < 0x80 ? cellHeight_ / 2 : cellHeight_, cellHeight_};
  }

  void DrawCharacter(char16_t unit) override {
    const TextExtent extent = MeasureCharacter(unit);
    uint64_t state = 0x9E3779B97F4A7C15u ^ (uint64_t{unit} * 0xBF58476D1CE4E5B9u);
    for (int32_t y = 1; y <= static_cast<int32_t>(extent.cy) && y < kSize; ++y) {
      uint64_t bits = 0;
      for (int32_t x = 1; x <= static_cast<int32_t>(extent.cx) && x < kSize; ++x) {
        // A fresh 64-bit xorshift step for every 32 pixels; a pixel is ink when both of its
        // two bits are set.
        if (((x - 1) & 31) == 0) {
          state ^= state << 13;
          state ^= state >> 7;
          state ^= state << 17;
          bits = state;
        }
        const bool ink = (bits & 3) == 3;
        bits >>= 2;
        pixels_[y * kSize + x] = ink ? kBlack : kWhite;
      }
    }
  }

  Colour ReadPixel(int32_t x, int32_t y) const override {
    if (x < 0 || y < 0 || x >= kSize || y >= kSize) return kOutside;
    return pixels_[y * kSize + x];
  }
  void ReadPixelRow(int32_t x, int32_t y, int32_t count, Colour* out) const override {
    CopyPixelRow(pixels_.data(), kSize, kSize, kOutside, x, y, count, out);
  }
  Colour InkColour() const override { return kBlack; }

 private:
  uint32_t cellHeight_;
  std::vector<Colour> pixels_;
};

// The sample texts users convert: U+4E00..U+9FA5 is the 20,902 CJK Unified Ideographs.
inline std::u16string UnitRange(char16_t first, char16_t last) {
  std::u16string text;
  text.reserve(last - first + 1u);
  for (uint32_t unit = first; unit <= last; ++unit) text.push_back(static_cast<char16_t>(unit));
  return text;
}

constexpr char16_t kCjkFirst = 0x4E00;
constexpr char16_t kCjkLast = 0x9FA5;
constexpr uint32_t kCjkCount = 20902;

}  // namespace pindot::bench
