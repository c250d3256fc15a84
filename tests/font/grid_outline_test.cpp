// The grid filler on hand-made outlines, against the pixels a monochrome rasteriser gives them.
#include "font/grid_outline.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace pindot {
namespace {

using Corners = std::vector<std::pair<int, int>>;  // whole pixels, y upwards

// One contour per list of corners, in the order given (clockwise outside, anticlockwise for holes,
// as TrueType draws them).
Outline MakeOutline(const std::vector<Corners>& contours) {
  Outline outline;
  for (const Corners& corners : contours) {
    for (const auto& [x, y] : corners) outline.points.push_back({x * 64, y * 64, true});
    outline.contourEnds.push_back(static_cast<int>(outline.points.size()) - 1);
  }
  return outline;
}

Corners Box(int left, int bottom, int right, int top) {
  return {{left, bottom}, {left, top}, {right, top}, {right, bottom}};
}

Corners Hole(int left, int bottom, int right, int top) {
  return {{left, bottom}, {right, bottom}, {right, top}, {left, top}};
}

// The outline filled on a `width` x `height` target, its origin at (originX, originY): '#' ink.
// In bits, the target's pixel 0 is bit 5 of rows of three bytes.
std::vector<std::string> Picture(const Outline& outline, int width, int height, int originX,
                                 int originY, bool inBits = false) {
  constexpr size_t kRowBytes = 3;
  std::vector<Colour> pixels(static_cast<size_t>(width) * height, 1);
  std::vector<uint8_t> bits(kRowBytes * height, 0);
  GridOutlineFiller filler;
  if (inBits) {
    filler.Fill(outline, originX, originY, BitTarget{bits.data(), kRowBytes, 5, width, height});
  } else {
    filler.Fill(outline, originX, originY, PixelTarget{pixels.data(), width, height}, 0);
  }
  std::vector<std::string> rows(height, std::string(width, '.'));
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const bool ink = inBits ? bits[y * kRowBytes + (5 + x) / 8] >> (7 - (5 + x) % 8) & 1
                              : pixels[static_cast<size_t>(y) * width + x] == 0;
      if (ink) rows[y][x] = '#';
    }
  }
  return rows;
}

TEST(GridOutline, FillsEachPixelWhoseCentreHasANonZeroWinding) {
  // Each case's target is 4 pixels wide, the outline's origin at its left edge, `baseline` rows
  // down.
  const std::tuple<const char*, Outline, int, std::vector<std::string>> cases[] = {
      {"box with a hole",
       MakeOutline({Box(0, 0, 4, 4), Hole(1, 1, 3, 3)}),
       4,
       {"####", "#..#", "#..#", "####"}},
      {"overlapping boxes, one direction",
       MakeOutline({Box(0, 0, 3, 3), Box(1, 1, 4, 4)}),
       4,
       {".###", "####", "####", "###."}},
      // The second box turns the other way: winding -1 where it stands alone, 0 in the overlap.
      {"overlapping boxes, both directions",
       MakeOutline({Box(0, 0, 3, 3), Hole(1, 1, 4, 4)}),
       4,
       {".###", "#..#", "#..#", "###."}},
      {"below the baseline, right of the pen",
       MakeOutline({Box(1, -2, 3, 1)}),
       3,
       {"....", "....", ".##.", ".##.", ".##.", "...."}},
  };
  for (const auto& [name, outline, baseline, expected] : cases) {
    EXPECT_EQ(Picture(outline, 4, static_cast<int>(expected.size()), 0, baseline), expected)
        << name;
    EXPECT_EQ(Picture(outline, 4, static_cast<int>(expected.size()), 0, baseline, true), expected)
        << name << ", in bits";
  }
}

// A hinted box whose side has no width left: the rasteriser's dropout control draws that side,
// which no centre rule gives, so the filler draws nothing and leaves the glyph to the rasteriser.
TEST(GridOutline, LeavesStrokesWithoutWidthToTheRasteriser) {
  const std::tuple<const char*, Outline, bool> cases[] = {
      {"left side without width", MakeOutline({Box(0, 0, 3, 4), Hole(0, 1, 2, 3)}), false},
      {"bottom side without height", MakeOutline({Box(0, 0, 4, 3), Hole(1, 0, 3, 2)}), false},
      // Two boxes side by side touch along x = 2 without a stroke between them.
      {"boxes side by side", MakeOutline({Box(0, 0, 2, 2), Box(2, 0, 4, 2)}), true},
      {"boxes corner to corner", MakeOutline({Box(0, 0, 2, 2), Box(2, 2, 4, 4)}), true},
  };
  for (const auto& [name, outline, fills] : cases) {
    std::vector<Colour> pixels(16, 1);
    GridOutlineFiller filler;
    EXPECT_EQ(filler.Fill(outline, 0, 4, PixelTarget{pixels.data(), 4, 4}, 0), fills) << name;
    EXPECT_EQ(std::count(pixels.begin(), pixels.end(), 0) > 0, fills) << name;
  }
}

// Only the part of an outline on the target is worked on: a square of 32,000 pixels a side (a
// hostile font's, at a cell of 1000 pixels) is filled in a child process whose address space is
// cut to 200 MB, where one int per pixel of the square's box would take 4 GB. AddressSanitizer and
// ThreadSanitizer reserve terabytes of address space, so a sanitizer build fills it without the
// limit.
int FillHugeSquaresInLittleMemory() {
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
  const rlimit limit{200 << 20, 200 << 20};
  if (setrlimit(RLIMIT_AS, &limit) != 0) return 2;
#endif
  const auto whole = Picture(MakeOutline({Box(-16000, -16000, 16000, 16000)}), 148, 148, 1, 100);
  // Its right side at x = 10: 11 columns of the target, the pen at 1.
  const auto cut = Picture(MakeOutline({Box(-16000, -16000, 10, 16000)}), 148, 148, 1, 100);
  const std::string cutRow = std::string(11, '#') + std::string(137, '.');
  if (whole != std::vector<std::string>(148, std::string(148, '#'))) return 3;
  if (cut != std::vector<std::string>(148, cutRow)) return 4;
  return 0;
}

TEST(GridOutline, FillsAHugeOutlineInMemoryBoundedByTheTarget) {
  EXPECT_EXIT(_exit(FillHugeSquaresInLittleMemory()), ::testing::ExitedWithCode(0), "");
}

TEST(GridOutline, RoundsTheBitmapBoxAsFreeTypesMonochromeRendererDoes) {
  // name, control box (26.6), expected left, top, width, height
  const std::tuple<const char*, std::array<int64_t, 4>, std::array<int64_t, 4>> cases[] = {
      {"whole pixels", {0, -128, 192, 128}, {0, 2, 3, 4}},
      // A left or bottom edge rounds up from just over half a pixel: 31/64 down, 33/64 up.
      {"left and bottom edges", {31, 33, 128, 128}, {0, 2, 2, 1}},
      // A right or top edge from half a pixel: 1 + 31/64 down, 1 + 32/64 up.
      {"right and top edges", {0, 0, 95, 96}, {0, 2, 1, 2}},
      // Narrower than a pixel: one pixel, the one holding more of it.
      {"sliver", {70, 0, 90, 64}, {1, 1, 1, 1}},
      {"sliver left of the centre", {-20, 0, 10, 64}, {-1, 1, 1, 1}},
  };
  for (const auto& [name, cbox, expected] : cases) {
    const PixelBox box = MonochromeBitmapBox(cbox[0], cbox[1], cbox[2], cbox[3]);
    EXPECT_EQ((std::array<int64_t, 4>{box.left, box.top, box.width, box.height}), expected) << name;
  }
}

TEST(GridOutline, AcceptsOnlyStraightEdgesBetweenPixelCorners) {
  Outline offGrid = MakeOutline({Box(0, 0, 2, 2)});
  offGrid.points[2].x += 32;
  offGrid.points[3].x += 32;
  Outline curved = MakeOutline({Box(0, 0, 2, 2)});
  curved.points[1].onCurve = false;
  const std::tuple<const char*, Outline, bool> cases[] = {
      {"box with a hole", MakeOutline({Box(0, 0, 4, 4), Hole(1, 1, 3, 3)}), true},
      {"edge off the grid", offGrid, false},
      {"control point", curved, false},
      {"diagonal edge", MakeOutline({{{0, 0}, {0, 2}, {2, 0}}}), false},
      {"contour without area", MakeOutline({Box(0, 0, 4, 4), {{1, 1}, {1, 3}}}), false},
      {"spike doubling back", MakeOutline({{{0, 0}, {0, 2}, {3, 2}, {1, 2}, {1, 0}}}), false},
  };
  for (const auto& [name, outline, expected] : cases) {
    EXPECT_EQ(IsOnPixelGrid(outline), expected) << name;
  }
}

}  // namespace
}  // namespace pindot
