// Fonts for Adafruit GFX's setFont: a GFXfont over one range of consecutive codes, its GFXglyph
// array and the glyphs' bits packed one after the other, in one header.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "glyph/ink_glyph.h"

namespace pindot {

// The codes a GFX font covers: every code from the lowest glyph's to the highest's. The codes in
// between without a glyph become empty glyphs, listed in `gaps`.
struct GfxRange {
  char16_t first = 0;
  char16_t last = 0;
  std::vector<char16_t> gaps;
};

// The range of `glyphs` (in any order, each unit once). Throws UserError when more than half of it
// would be empty glyphs, naming the counts and the denser ranges to make one font each of.
GfxRange PlanGfxRange(const std::vector<InkGlyph>& glyphs);

// A header defining `static const GFXfont name` in program memory, as Adafruit's own font headers
// do: with <Adafruit_GFX.h> on Arduino, "gfxfont.h" elsewhere. One-bit glyphs; the line advance
// is the face's. Throws UserError for what GFXglyph cannot hold (a box or advance over 255
// pixels, an offset beyond -128..127, more than 65535 bytes of bits) and as PlanGfxRange.
std::string WriteGfxFont(std::string_view name, const std::vector<InkGlyph>& glyphs,
                         const FaceLines& lines);

}  // namespace pindot
