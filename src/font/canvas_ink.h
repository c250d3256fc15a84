// The pixels of the FreeType canvas: colours, or bits when glyphs are drawn plainly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "font/grid_outline.h"
#include "glyph/glyph_canvas.h"

namespace pindot {

// A bitmap of ink as FreeType lays it out (rows of bits, or of bytes from 0 to 255), and the
// canvas position of its top-left pixel.
struct BitmapView {
  const unsigned char* buffer = nullptr;
  int32_t width = 0;
  int32_t rows = 0;
  int32_t pitch = 0;  // bytes from one row to the next, negative when the rows run upwards
  bool mono = true;
  int32_t x = 0;
  int32_t y = 0;
};

// GlyphCanvas::kSize pixels each way, white until inked. Kept as bits (see bit_rows.h) when
// glyphs are drawn plainly: row y is kRowBytes bytes and pixel x is its bit kLeadBits + x, so that
// column 1, where every cell starts, begins a byte and a cell's rows are copied out whole. Kept
// as colours otherwise, for lines and synthetic styles.
class CanvasInk {
 public:
  static constexpr Colour kBackground = 0x00FFFFFF;
  static constexpr Colour kInk = 0x00000000;
  // What ReadPixel reports outside the canvas, as GetPixel reports CLR_INVALID: never ink.
  static constexpr Colour kOutside = 0xFFFFFFFF;
  static constexpr int32_t kSize = GlyphCanvas::kSize;

  explicit CanvasInk(bool packed);

  // Background over pixels region.left .. region.right - 1 of rows region.top .. region.bottom - 1,
  // clipped to the canvas.
  void Clear(const GlyphCell& region);
  // Ink over pixels left .. right - 1 of row y, clipped to the canvas.
  void InkRow(int32_t y, int32_t left, int32_t right);
  // The outline filled on the pixel grid, its origin at canvas pixel corner (originX, originY);
  // false when a stroke collapses to no width (see GridOutlineFiller::Fill).
  bool FillGridOutline(GridOutlineFiller& filler, const Outline& outline, int32_t originX,
                       int32_t originY);
  // Draws a bitmap in ink, clipped to the canvas. Each row is moved right by `shearX` times its
  // height above `baseline` (a strike's synthetic italic), and `widen` doubles each ink pixel to
  // its right (a strike's synthetic bold); a canvas of bits draws neither.
  void Blit(const BitmapView& bitmap, double shearX, int32_t baseline, bool widen);

  Colour ReadPixel(int32_t x, int32_t y) const;
  void ReadPixelRow(int32_t x, int32_t y, int32_t count, Colour* out) const;
  // See GlyphCanvas::ReadPackedCell; false for a canvas of colours.
  bool ReadPackedCell(const GlyphCell& cell, std::vector<uint8_t>& bytes) const;

 private:
  static constexpr size_t kLeadBits = 7;
  static constexpr size_t kRowBytes = (kLeadBits + kSize + 7) / 8;

  const uint8_t* BitRow(int64_t y) const { return bits_.data() + y * kRowBytes; }
  uint8_t* BitRow(int64_t y) { return bits_.data() + y * kRowBytes; }
  bool IsInk(int32_t x, int32_t y) const {
    const size_t bit = kLeadBits + static_cast<size_t>(x);
    return (BitRow(y)[bit / 8] >> (7 - bit % 8)) & 1;
  }
  static const unsigned char* SourceRow(const BitmapView& bitmap, int64_t row);
  void BlitBits(const BitmapView& bitmap);

  bool packed_;
  std::vector<uint8_t> bits_;
  std::vector<Colour> pixels_;
};

}  // namespace pindot
