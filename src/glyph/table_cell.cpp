#include "glyph/table_cell.h"

#include <algorithm>
#include <cstring>

namespace pindot {

TableCell CellOf(TableKind kind, const GeneratorSettings& settings) {
  const uint32_t width = kind == TableKind::kThin ? (settings.width + 1) >> 1 : settings.width;
  return TableCell{width, settings.height};
}

void FitGlyphToCell(const uint8_t* bytes, uint32_t width, uint32_t rows, const TableCell& cell,
                    uint8_t* out) {
  const uint32_t glyphRowBytes = RowBytesOf(width);
  const uint32_t cellRowBytes = cell.RowBytes();
  const uint32_t keptRows = std::min(rows, cell.height);
  const uint32_t keptWidth = std::min(width, cell.width);
  const uint32_t keptBytes = RowBytesOf(keptWidth);
  // The bits of the last kept byte that stay: a cut at 13 pixels keeps 0xf8 of the second byte.
  const uint8_t lastMask =
      keptWidth % 8 == 0 ? 0xFF : static_cast<uint8_t>(0xFF00 >> (keptWidth % 8));
  // A cell or a glyph without bytes may come as a null pointer (an empty vector's data()), which
  // memset and memcpy must not be given even for no bytes.
  if (cell.Bytes() == 0) return;
  std::memset(out, 0, cell.Bytes());
  if (keptBytes == 0) return;
  for (uint32_t row = 0; row < keptRows; ++row) {
    uint8_t* target = out + size_t{row} * cellRowBytes;
    std::memcpy(target, bytes + size_t{row} * glyphRowBytes, keptBytes);
    target[keptBytes - 1] &= lastMask;
  }
}

}  // namespace pindot
