// Fixed cells as plain C arrays in a display controller's own byte layout, with a sorted key table
// and a lookup function, for drivers that copy glyph bytes straight to the screen.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "glyph/generator.h"
#include "glyph/table_cell.h"
#include "output/c_source_text.h"

namespace pindot {

// How a cell's pixels become bytes. Rows: each row from the left, (width + 7) / 8 bytes, the
// leftmost pixel in the top bit (msb) or the bottom bit (lsb). Pages: bands of 8 rows from the
// top, each band one byte per column from the left, the band's top pixel in the bottom bit (lsb,
// as an SSD1306 or ST7565 takes it) or the top bit (msb).
enum class RawLayout { kRowsMsb, kRowsLsb, kPagesLsb, kPagesMsb };

// "rows-msb", "rows-lsb", "pages-lsb", "pages-msb"; nothing for any other text.
std::optional<RawLayout> ParseRawLayout(std::string_view text);
const char* RawLayoutName(RawLayout layout);

// A cell turned by `rotation` degrees clockwise (0, 90, 180 or 270): 90 and 270 swap its width
// and height.
TableCell RotatedCell(const TableCell& cell, unsigned rotation);
// The bytes one cell of `rotated` size takes in `layout`.
size_t StoredBytes(const TableCell& rotated, RawLayout layout);

// One cell packed as TableCell packs it (rows, the leftmost pixel in the top bit), turned by
// `rotation` degrees clockwise and stored in `layout`: StoredBytes(RotatedCell(cell)) bytes into
// `out`. A 90 degree turn puts the cell's top row in the rightmost column.
void StoreCell(const uint8_t* rows, const TableCell& cell, RawLayout layout, unsigned rotation,
               uint8_t* out);

// One table of the raw font: its cell and its entries in ascending key order.
struct RawTable {
  std::string part;  // "thin", "wide", or empty for the one table of a font with one cell
  TableCell cell;
  std::vector<uint16_t> keys;
  std::vector<uint8_t> cells;  // keys.size() x cell.Bytes(), each as TableCell packs it
};

// The generator's tables: thin and wide as EXFONT has them, or with `oneCell` every entry of both
// in one table of the wide cell (thin glyphs at its left edge). A key both tables hold (possible
// with ANSI keys only) is kept once, from the thin table; the wide entries left out for it go to
// `leftOut`.
std::vector<RawTable> RawTablesOf(const Generator& generator, bool oneCell,
                                  std::vector<char16_t>& leftOut);

// The header and source of a raw font named `name` (a C identifier; its arrays, macros and lookup
// function are named after it), whose header is included as `headerName`.
SourcePair WriteRawFont(std::string_view name, std::string_view headerName,
                        const std::vector<RawTable>& tables, RawLayout layout, unsigned rotation);

}  // namespace pindot
