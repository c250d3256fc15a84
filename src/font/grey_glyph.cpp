#include "font/grey_glyph.h"

#include FT_BITMAP_H
#include FT_OUTLINE_H

#include <algorithm>
#include <cmath>

#include "glyph/ink_scan.h"

namespace pindot {

bool RenderGreyGlyph(FT_Face face, FT_UInt index, FT_Pos embolden, uint8_t bpp, int32_t maxAdvance,
                     InkGlyph& glyph) {
  glyph.bpp = bpp;
  glyph.left = glyph.top = 0;
  glyph.width = glyph.height = 0;
  glyph.levels.clear();
  FT_Error error = FT_Load_Glyph(face, index, FT_LOAD_DEFAULT);
  if (error != 0 && index != 0) error = FT_Load_Glyph(face, 0, FT_LOAD_DEFAULT);
  if (error != 0) return false;
  FT_GlyphSlot slot = face->glyph;
  FT_Pos advance = slot->advance.x;
  const bool outline = slot->format == FT_GLYPH_FORMAT_OUTLINE;
  if (embolden > 0) {
    if (outline) FT_Outline_EmboldenXY(&slot->outline, embolden, 0);
    advance += outline ? embolden : 64;
  }
  glyph.advance =
      std::clamp<int32_t>(static_cast<int32_t>(std::floor(advance / 64.0 + 0.5)), 0, maxAdvance);
  if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) return true;

  // Every pixel mode as bytes, each a value from 0 to num_grays - 1.
  FT_Library library = slot->library;
  FT_Bitmap converted;
  FT_Bitmap_Init(&converted);
  const FT_Bitmap* bitmap = &slot->bitmap;
  if (bitmap->pixel_mode != FT_PIXEL_MODE_GRAY) {
    if (FT_Bitmap_Convert(library, bitmap, &converted, 1) != 0) {
      FT_Bitmap_Done(library, &converted);
      return true;
    }
    bitmap = &converted;
  }
  const uint32_t top = std::max<uint32_t>(1, bitmap->num_grays - 1);
  const bool widen = embolden > 0 && !outline;
  glyph.width = bitmap->width + (widen && bitmap->width > 0 ? 1 : 0);
  glyph.height = bitmap->rows;
  glyph.left = slot->bitmap_left;
  glyph.top = slot->bitmap_top;
  glyph.levels.assign(size_t{glyph.width} * glyph.height, 0);
  for (uint32_t y = 0; y < bitmap->rows; ++y) {
    const unsigned char* row = bitmap->pitch >= 0
                                   ? bitmap->buffer + static_cast<size_t>(y) * bitmap->pitch
                                   : bitmap->buffer + static_cast<size_t>(bitmap->rows - 1 - y) *
                                                          static_cast<size_t>(-bitmap->pitch);
    uint8_t* levels = glyph.levels.data() + size_t{y} * glyph.width;
    for (uint32_t x = 0; x < bitmap->width; ++x) {
      const auto coverage = static_cast<uint8_t>(std::min<uint32_t>(row[x], top) * 255 / top);
      const uint8_t level = QuantiseCoverage(coverage, bpp);
      levels[x] = std::max(levels[x], level);
      if (widen) levels[x + 1] = std::max(levels[x + 1], level);
    }
  }
  FT_Bitmap_Done(library, &converted);
  TrimInk(glyph);
  return true;
}

}  // namespace pindot
