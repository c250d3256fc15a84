// A glyph in grey levels from FreeType's anti-aliased renderer; only the FreeType canvas includes
// this header.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdint>

#include "glyph/ink_glyph.h"

namespace pindot {

// Loads glyph `index` of the sized `face` as FreeType does by default (hinted, its embedded bitmap
// where the face has one at this size), renders it anti-aliased and keeps each pixel's coverage as
// the nearest of the 2^bpp levels, the box trimmed to the ink. `embolden` (26.6 pixels, 0 for
// none) thickens an outline by that much, or widens a bitmap by a pixel, and adds to the advance.
// Index 0 is drawn for a glyph that does not load. Gives false, leaving an empty glyph, when
// neither loads. The advance is in whole pixels, at most `maxAdvance`.
bool RenderGreyGlyph(FT_Face face, FT_UInt index, FT_Pos embolden, uint8_t bpp, int32_t maxAdvance,
                     InkGlyph& glyph);

}  // namespace pindot
