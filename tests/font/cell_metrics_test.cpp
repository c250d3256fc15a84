// Cells and lines from a face's numbers, worked out by hand.
#include "font/cell_metrics.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>

namespace pindot {
namespace {

// DejaVu Sans: 2048 units to the em, usWinAscent 1901, usWinDescent 483.
constexpr VerticalMetrics kDejaVu{2048, 1901, 483};

TEST(CellMetrics, AnEmHeightRoundsAscentAndDescentEachAsWindowsDoes) {
  // 12 pt at 96 dots per inch: 16 x 1901 / 2048 = 14.85 -> 15 above, 16 x 483 / 2048 = 3.77 -> 4.
  const ScaledCell twelvePoints = CellForEm(kDejaVu, 16);
  EXPECT_EQ(std::tie(twelvePoints.em, twelvePoints.cell.ascent, twelvePoints.cell.descent),
            std::tuple(16L, 15, 4));
  // 18.56 -> 19 and 4.72 -> 5: 24 rows, where the rounded sum (23.28) would give 23.
  EXPECT_EQ(CellForEm(kDejaVu, 20).cell.height(), 24);
}

TEST(CellMetrics, NearestStrikeTakesTheSmallerOnATie) {
  EXPECT_EQ(NearestStrike({13, 10, 20}, 16), 0u);
  EXPECT_EQ(NearestStrike({18, 14}, 16), 1u);
  EXPECT_EQ(NearestStrike({8}, 200), 0u);
}

TEST(CellMetrics, AStrikeWithoutAscentOrDescentStandsOnTheBaseline) {
  const CellMetrics grid8 = StrikeCell(6 * 64, -2 * 64, 8), bare = StrikeCell(0, 0, 9);
  EXPECT_EQ(std::tie(grid8.ascent, grid8.descent), std::tuple(6, 2));
  EXPECT_EQ(std::tie(bare.ascent, bare.descent), std::tuple(9, 0));
}

TEST(CellMetrics, LinesComeFromTheFaceAndStayInsideTheCell) {
  const CellMetrics cell{13, 3};
  // name, underline or strike-out, the face's line (26.6, upwards), expected top and thickness.
  const std::tuple<std::string, bool, std::optional<FaceLine>, int, int> cases[] = {
      // Centre 0.62 below the baseline, 0.7 thick: top 0.62 - 0.35 = 0.27 -> row 0, one row.
      {"face underline", true, FaceLine{-40, 45}, 0, 1},
      // (16 + 8) / 16 = 1 row, one row below the baseline.
      {"no underline", true, std::nullopt, 1, 1},
      {"underline below the cell", true, FaceLine{-20 * 64, 2 * 64}, 1, 2},
      // Top edge 3.6 above the baseline -> row -4, 0.6 thick -> one row.
      {"face strike-out", false, FaceLine{230, 38}, -4, 1},
      {"no strike-out", false, std::nullopt, -4, 1},  // -(13 / 3) - 1 / 2
      {"strike-out above the cell", false, FaceLine{30 * 64, 64}, -13, 1},
      {"strike-out thicker than the cell", false, FaceLine{0, 40 * 64}, -13, 16},
  };
  for (const auto& [name, underline, line, top, thickness] : cases) {
    const LineMetrics metrics =
        underline ? UnderlineForCell(cell, line) : StrikeOutForCell(cell, line);
    EXPECT_EQ(metrics.top, top) << name;
    EXPECT_EQ(metrics.thickness, thickness) << name;
  }
}

}  // namespace
}  // namespace pindot
