// The cells of the two tables, and a glyph's bytes fitted to the cell of its table.
#pragma once

#include <cstddef>
#include <cstdint>

#include "glyph/generator_settings.h"
#include "glyph/glyph_canvas.h"

namespace pindot {

enum class TableKind { kThin, kWide };

// Every entry of a table holds exactly RowBytes() x height bytes, the size its table declares.
struct TableCell {
  uint32_t width = 0;
  uint32_t height = 0;

  uint32_t RowBytes() const { return RowBytesOf(width); }
  size_t Bytes() const { return size_t{RowBytes()} * height; }
};

// The wide cell is W x H; the thin cell is half as wide, rounded up: (W + 1) >> 1.
TableCell CellOf(TableKind kind, const GeneratorSettings& settings);

// Copies a glyph packed as the scan packs it (rows x ceil(width / 8) bytes) into a cell: each row
// starts at the cell's left edge, a row narrower than the cell gets zero bytes on the right, and a
// glyph wider or taller than the cell is cut to it. `out` receives cell.Bytes() bytes. A 7-pixel
// glyph in a 12-pixel cell: 1 byte a row becomes 2, the second zero; a 17-pixel glyph in a
// 16-pixel cell loses its last column. `bytes` may be null for a glyph of no bytes, `out` for a
// cell of none.
void FitGlyphToCell(const uint8_t* bytes, uint32_t width, uint32_t rows, const TableCell& cell,
                    uint8_t* out);

// Whether FitGlyphToCell cuts anything off a glyph of width x rows pixels.
inline bool IsCut(uint32_t width, uint32_t rows, const TableCell& cell) {
  return width > cell.width || rows > cell.height;
}

}  // namespace pindot
