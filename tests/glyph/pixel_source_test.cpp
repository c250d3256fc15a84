// Reading a row of pixels at once gives what reading them one by one gives, on and off the surface.
#include <gtest/gtest.h>

#include <vector>

#include "glyph/glyph_scan.h"

namespace pindot {
namespace {

constexpr Colour kOff = 0xFFFFFFFF;

// A 4 x 2 surface whose pixel (x, y) is 10 * y + x:
//   0  1  2  3
//  10 11 12 13
class SmallSurface : public PixelSource {
 public:
  Colour ReadPixel(int32_t x, int32_t y) const override {
    if (x < 0 || y < 0 || x >= 4 || y >= 2) return kOff;
    return static_cast<Colour>(10 * y + x);
  }
};

class CopyingSurface : public SmallSurface {
 public:
  void ReadPixelRow(int32_t x, int32_t y, int32_t count, Colour* out) const override {
    CopyPixelRow(pixels_, 4, 2, kOff, x, y, count, out);
  }

 private:
  const Colour pixels_[8] = {0, 1, 2, 3, 10, 11, 12, 13};
};

std::vector<Colour> Row(const PixelSource& surface, int32_t x, int32_t y, int32_t count) {
  std::vector<Colour> row(static_cast<size_t>(count), 0x12345678);
  surface.ReadPixelRow(x, y, count, row.data());
  return row;
}

TEST(PixelRow, CopiedRowsMatchPixelByPixelReads) {
  const struct {
    const char* name;
    int32_t x, y, count;
    std::vector<Colour> expected;
  } cases[] = {
      {"whole row", 0, 1, 4, {10, 11, 12, 13}},
      {"inside", 1, 0, 2, {1, 2}},
      {"from the left of the surface", -2, 1, 4, {kOff, kOff, 10, 11}},
      {"past the right", 2, 0, 4, {2, 3, kOff, kOff}},
      {"over both edges", -1, 0, 6, {kOff, 0, 1, 2, 3, kOff}},
      {"wholly left", -5, 0, 3, {kOff, kOff, kOff}},
      {"wholly right", 4, 1, 2, {kOff, kOff}},
      {"row above", 0, -1, 2, {kOff, kOff}},
      {"row below", 1, 2, 2, {kOff, kOff}},
      {"nothing", 1, 1, 0, {}},
  };
  const SmallSurface oneByOne;
  const CopyingSurface copying;
  for (const auto& test : cases) {
    EXPECT_EQ(Row(oneByOne, test.x, test.y, test.count), test.expected) << test.name;
    EXPECT_EQ(Row(copying, test.x, test.y, test.count), test.expected) << test.name;
  }
}

}  // namespace
}  // namespace pindot
