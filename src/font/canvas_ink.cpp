#include "font/canvas_ink.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "font/bit_rows.h"
#include "glyph/pixel_source.h"

namespace pindot {

CanvasInk::CanvasInk(bool packed) : packed_(packed) {
  if (packed_) {
    bits_.assign(kRowBytes * kSize, 0);
  } else {
    pixels_.assign(static_cast<size_t>(kSize) * kSize, kBackground);
  }
}

void CanvasInk::Clear(const GlyphCell& region) {
  const int32_t left = std::max(region.left, 0);
  const int32_t top = std::max(region.top, 0);
  const int32_t right = std::min(region.right, kSize);
  const int32_t bottom = std::min(region.bottom, kSize);
  if (left >= right || top >= bottom) return;
  if (packed_) {
    ClearBits(BitRow(top), kLeadBits + static_cast<size_t>(left), static_cast<size_t>(right - left),
              static_cast<size_t>(bottom - top), kRowBytes);
    return;
  }
  for (int32_t y = top; y < bottom; ++y) {
    std::fill(pixels_.begin() + y * kSize + left, pixels_.begin() + y * kSize + right, kBackground);
  }
}

void CanvasInk::InkRow(int32_t y, int32_t left, int32_t right) {
  if (y < 0 || y >= kSize) return;
  left = std::max(left, 0);
  right = std::min(right, kSize);
  if (left >= right) return;
  if (packed_)
    return SetBits(BitRow(y), kLeadBits + static_cast<size_t>(left),
                   static_cast<size_t>(right - left));
  std::fill(pixels_.begin() + y * kSize + left, pixels_.begin() + y * kSize + right, kInk);
}

bool CanvasInk::FillGridOutline(GridOutlineFiller& filler, const Outline& outline, int32_t originX,
                                int32_t originY) {
  if (!packed_) {
    return filler.Fill(outline, originX, originY, PixelTarget{pixels_.data(), kSize, kSize}, kInk);
  }
  return filler.Fill(outline, originX, originY,
                     BitTarget{bits_.data(), kRowBytes, kLeadBits, kSize, kSize});
}

const unsigned char* CanvasInk::SourceRow(const BitmapView& bitmap, int64_t row) {
  return bitmap.pitch >= 0 ? bitmap.buffer + row * bitmap.pitch
                           : bitmap.buffer + (bitmap.rows - 1 - row) * -bitmap.pitch;
}

void CanvasInk::Blit(const BitmapView& bitmap, double shearX, int32_t baseline, bool widen) {
  if (bitmap.rows <= 0 || bitmap.width <= 0 || bitmap.buffer == nullptr) return;
  if (packed_) return BlitBits(bitmap);
  for (int32_t row = 0; row < bitmap.rows; ++row) {
    const int32_t y = bitmap.y + row;
    if (y < 0 || y >= kSize) continue;
    const unsigned char* line = SourceRow(bitmap, row);
    const auto shift =
        shearX == 0 ? 0 : static_cast<int32_t>(std::lround((baseline - y - 0.5) * shearX));
    Colour* target = pixels_.data() + static_cast<size_t>(y) * kSize;
    for (int32_t column = 0; column < bitmap.width; ++column) {
      const bool ink =
          bitmap.mono ? (line[column >> 3] >> (7 - (column & 7))) & 1 : line[column] >= 128;
      if (!ink) continue;
      const int32_t x = bitmap.x + column + shift;
      if (x >= 0 && x < kSize) target[x] = kInk;
      if (widen && x + 1 >= 0 && x + 1 < kSize) target[x + 1] = kInk;
    }
  }
}

// A monochrome row is shifted into place a byte at a time.
void CanvasInk::BlitBits(const BitmapView& bitmap) {
  const int64_t firstColumn = std::max<int64_t>(0, -int64_t{bitmap.x});
  const int64_t endColumn = std::min<int64_t>(bitmap.width, int64_t{kSize} - bitmap.x);
  if (firstColumn >= endColumn) return;
  const int64_t firstRow = std::max<int64_t>(0, -int64_t{bitmap.y});
  const int64_t endRow = std::min<int64_t>(bitmap.rows, int64_t{kSize} - bitmap.y);
  for (int64_t row = firstRow; row < endRow; ++row) {
    const unsigned char* line = SourceRow(bitmap, row);
    uint8_t* target = BitRow(bitmap.y + row);
    const size_t to = kLeadBits + static_cast<size_t>(bitmap.x + firstColumn);
    if (bitmap.mono) {
      OrBits(line, static_cast<size_t>(firstColumn), target, to,
             static_cast<size_t>(endColumn - firstColumn));
      continue;
    }
    for (int64_t column = firstColumn; column < endColumn; ++column) {
      if (line[column] >= 128) SetBits(target, to + static_cast<size_t>(column - firstColumn), 1);
    }
  }
}

Colour CanvasInk::ReadPixel(int32_t x, int32_t y) const {
  if (x < 0 || y < 0 || x >= kSize || y >= kSize) return kOutside;
  if (packed_) return IsInk(x, y) ? kInk : kBackground;
  return pixels_[static_cast<size_t>(y) * kSize + x];
}

void CanvasInk::ReadPixelRow(int32_t x, int32_t y, int32_t count, Colour* out) const {
  if (!packed_) return CopyPixelRow(pixels_.data(), kSize, kSize, kOutside, x, y, count, out);
  for (int32_t i = 0; i < count; ++i) out[i] = ReadPixel(static_cast<int32_t>(int64_t{x} + i), y);
}

// The bits copied out row by row: with the cell at column 1, whole bytes.
bool CanvasInk::ReadPackedCell(const GlyphCell& cell, std::vector<uint8_t>& bytes) const {
  if (!packed_) return false;
  const size_t rowBytes = RowBytesOf(cell.Width());
  bytes.assign(size_t{cell.Rows()} * rowBytes, 0);
  const int64_t left = std::max<int64_t>(cell.left, 0);
  const int64_t right = std::min<int64_t>(cell.right, kSize);
  if (left >= right) return true;
  const int64_t top = std::max<int64_t>(cell.top, 0);
  const int64_t bottom = std::min<int64_t>(cell.bottom, kSize);
  if (top >= bottom) return true;
  const size_t from = kLeadBits + static_cast<size_t>(left);
  const auto count = static_cast<size_t>(right - left);
  uint8_t* row = bytes.data() + static_cast<size_t>(top - cell.top) * rowBytes;
  if (left == cell.left && from % 8 == 0) {
    // Whole bytes, the last cut at the cell's (or the canvas's) right edge.
    const size_t copied = (count + 7) / 8;
    const auto last = static_cast<uint8_t>(0xFF00 >> ((count - 1) % 8 + 1));
    for (int64_t y = top; y < bottom; ++y, row += rowBytes) {
      std::memcpy(row, BitRow(y) + from / 8, copied);
      row[copied - 1] &= last;
    }
    return true;
  }
  for (int64_t y = top; y < bottom; ++y, row += rowBytes) {
    OrBits(BitRow(y), from, row, static_cast<size_t>(left - cell.left), count);
  }
  return true;
}

}  // namespace pindot
