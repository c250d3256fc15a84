// Rows of one bit a pixel, as FreeType's monochrome bitmaps and the packed cells lay them out: the
// first pixel in the most significant bit of the first byte.
#pragma once

#include <cstddef>
#include <cstdint>

namespace pindot {

// Sets bits first .. first + count - 1 of each of `rows` rows, rowBytes apart; the others stay.
void SetBits(uint8_t* row, size_t first, size_t count, size_t rows = 1, size_t rowBytes = 0);
// Clears bits first .. first + count - 1 of each of `rows` rows, rowBytes apart; the others stay.
void ClearBits(uint8_t* row, size_t first, size_t count, size_t rows = 1, size_t rowBytes = 0);
// ORs bits from .. from + count - 1 of `source` into `target` from bit `to` on, a byte at a time
// (shifted when the two start at different bits of their bytes). Reads no source byte beyond the
// one holding the last bit, and changes no target bit outside to .. to + count - 1.
void OrBits(const uint8_t* source, size_t from, uint8_t* target, size_t to, size_t count);

}  // namespace pindot
