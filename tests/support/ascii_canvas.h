// A glyph canvas for tests: each character's glyph is a picture of '#' (ink) and '.' rows.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "glyph/glyph_canvas.h"

namespace pindot::testing {

class AsciiCanvas : public GlyphCanvas {
 public:
  static constexpr Colour kWhite = 0x00FFFFFF;
  static constexpr Colour kBlack = 0x00000000;

  explicit AsciiCanvas(uint32_t cellHeight)
      : cellHeight_(cellHeight), pixels_(kSize * kSize, kWhite) {}

  // The advance is the picture's width; a character without a picture is blank, `missingWidth`
  // wide.
  void SetGlyph(char16_t unit, std::vector<std::string> rows) { glyphs_[unit] = std::move(rows); }
  void SetMissingWidth(uint32_t width) { missingWidth_ = width; }
  void Poke(int32_t x, int32_t y, Colour colour) { pixels_[y * kSize + x] = colour; }

  TextExtent MeasureCharacter(char16_t unit) override {
    auto found = glyphs_.find(unit);
    if (found == glyphs_.end()) return {missingWidth_, cellHeight_};
    return {found->second.empty() ? 0u : static_cast<uint32_t>(found->second[0].size()),
            cellHeight_};
  }
  void DrawCharacter(char16_t unit) override {
    const TextExtent extent = MeasureCharacter(unit);
    auto found = glyphs_.find(unit);
    for (uint32_t y = 0; y < extent.cy && y + 1 < kSize; ++y) {
      for (uint32_t x = 0; x < extent.cx && x + 1 < kSize; ++x) {
        const bool ink = found != glyphs_.end() && y < found->second.size() &&
                         x < found->second[y].size() && found->second[y][x] == '#';
        pixels_[(y + 1) * kSize + x + 1] = ink ? kBlack : kWhite;
      }
    }
  }
  Colour ReadPixel(int32_t x, int32_t y) const override {
    if (x < 0 || y < 0 || x >= kSize || y >= kSize) return 0xFFFFFFFF;
    return pixels_[y * kSize + x];
  }
  Colour InkColour() const override { return kBlack; }

 private:
  uint32_t cellHeight_;
  uint32_t missingWidth_ = 0;
  std::map<char16_t, std::vector<std::string>> glyphs_;
  std::vector<Colour> pixels_;
};

}  // namespace pindot::testing
