#include "glyph/table_cell.h"

#include <gtest/gtest.h>

#include <vector>

namespace pindot {
namespace {

struct FitCase {
  const char* name;
  uint32_t width, rows;
  std::vector<uint8_t> glyph;
  TableCell cell;
  std::vector<uint8_t> cellBytes;
  bool cut;
};

TEST(FitGlyphToCell, PadsNarrowRowsAndCutsWideOnes) {
  const FitCase cases[] = {
      // ###.....  in a 12-pixel cell: the second byte of each row is zero.
      {"narrower", 3, 2, {0xe0, 0xa0}, {12, 2}, {0xe0, 0x00, 0xa0, 0x00}, false},
      // #########  (9) in a 9-pixel cell: as it is.
      {"exact", 9, 1, {0xff, 0x80}, {9, 1}, {0xff, 0x80}, false},
      // ################# (17) cut to 13: ff f8, the cut columns gone.
      {"wider", 17, 1, {0xff, 0xff, 0x80}, {13, 1}, {0xff, 0xf8}, true},
      // cut to 8: a whole byte, nothing masked.
      {"wider, whole byte", 12, 1, {0xff, 0xf0}, {8, 1}, {0xff}, true},
      // fewer rows than the cell: zero rows below; more: cut.
      {"shorter", 8, 1, {0x81}, {8, 3}, {0x81, 0x00, 0x00}, false},
      {"taller", 8, 3, {0x01, 0x02, 0x03}, {8, 2}, {0x01, 0x02}, true},
      {"no pixels", 0, 2, {}, {8, 2}, {0x00, 0x00}, false},
      {"empty cell", 5, 2, {0xf8, 0xf8}, {0, 2}, {}, true},
  };
  for (const FitCase& c : cases) {
    std::vector<uint8_t> out(c.cell.Bytes(), 0x5a);
    FitGlyphToCell(c.glyph.data(), c.width, c.rows, c.cell, out.data());
    EXPECT_EQ(out, c.cellBytes) << c.name;
    EXPECT_EQ(IsCut(c.width, c.rows, c.cell), c.cut) << c.name;
  }
}

// An empty vector's data() is null: what a cell or a glyph of no bytes hands over. The sanitizer
// build fails here if a null pointer reaches memset or memcpy.
TEST(FitGlyphToCell, TakesNullForNoBytes) {
  uint8_t out[2] = {0x5a, 0x5a};
  FitGlyphToCell(nullptr, 0, 2, TableCell{8, 2}, out);
  EXPECT_EQ(out[0] | out[1], 0);
  const uint8_t glyph[] = {0xf8, 0xf8};
  FitGlyphToCell(glyph, 5, 2, TableCell{0, 2}, nullptr);
  FitGlyphToCell(glyph, 5, 2, TableCell{8, 0}, nullptr);
}

}  // namespace
}  // namespace pindot
