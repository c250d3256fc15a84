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
  static constexpr Colour kOutside = 0xFFFFFFFF;

  explicit AsciiCanvas(uint32_t cellHeight)
      : cellHeight_(cellHeight), pixels_(kSize * kSize, kWhite) {}

  // The advance is the picture's width; a character without a picture is blank, `missingWidth`
  // wide.
  void SetGlyph(char16_t unit, std::vector<std::string> rows) { glyphs_[unit] = std::move(rows); }
  void SetMissingWidth(uint32_t width) { missingWidth_ = width; }
  // Leaves a pixel of the canvas in a colour of the test's choice.
  void Poke(int32_t x, int32_t y, Colour colour) { pixels_[y * kSize + x] = colour; }

  TextExtent MeasureCharacter(char16_t unit) override {
    ++measureCalls;
    auto found = glyphs_.find(unit);
    uint32_t cx = missingWidth_;
    if (found != glyphs_.end()) cx = found->second.empty() ? 0 : found->second[0].size();
    return TextExtent{cx, cellHeight_};
  }

  void DrawCharacter(char16_t unit) override {
    TextExtent extent = MeasureCharacter(unit);
    --measureCalls;
    for (int32_t y = 1; y <= static_cast<int32_t>(extent.cy) && y < kSize; ++y) {
      for (int32_t x = 1; x <= static_cast<int32_t>(extent.cx) && x < kSize; ++x) {
        pixels_[y * kSize + x] = kWhite;
      }
    }
    auto found = glyphs_.find(unit);
    if (found == glyphs_.end()) return;
    for (size_t row = 0; row < found->second.size(); ++row) {
      for (size_t column = 0; column < found->second[row].size(); ++column) {
        int32_t x = 1 + static_cast<int32_t>(column);
        int32_t y = 1 + static_cast<int32_t>(row);
        if (found->second[row][column] == '#' && x < kSize && y < kSize) {
          pixels_[y * kSize + x] = kBlack;
        }
      }
    }
  }

  Colour ReadPixel(int32_t x, int32_t y) const override {
    if (x < 0 || y < 0 || x >= kSize || y >= kSize) return kOutside;
    return pixels_[y * kSize + x];
  }
  Colour InkColour() const override { return kBlack; }

  int measureCalls = 0;

 private:
  uint32_t cellHeight_;
  uint32_t missingWidth_ = 0;
  std::map<char16_t, std::vector<std::string>> glyphs_;
  std::vector<Colour> pixels_;
};

// Records what the stages did with the progress display.
class RecordingProgress : public ProgressIndicator {
 public:
  void SetRange(uint32_t maximum) override { ranges.push_back(maximum); }
  void SetPosition(uint32_t value) override { position = value; }
  void Step() override { ++position; }

  std::vector<uint32_t> ranges;
  uint32_t position = 12345;  // whatever an earlier run left
};

}  // namespace pindot::testing
