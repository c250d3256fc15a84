// LVGL's text-format font (lv_font_t over lv_font_fmt_txt_dsc_t) written as one C source, and what
// it shares with the binary font file: the glyph order, the character maps, the packed bitmaps.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "output/ink_font.h"

namespace pindot {

// A character map: codes rangeStart .. rangeStart + rangeLength - 1 map to consecutive glyph ids
// from firstGlyph. With no offsets every code of the range has a glyph ("format 0 tiny"); with
// offsets only rangeStart + offset does, for each offset in turn ("sparse tiny").
struct LvglCharacterMap {
  uint32_t rangeStart = 0;
  uint32_t rangeLength = 0;
  uint32_t firstGlyph = 0;
  std::vector<uint16_t> offsets;
};

// Glyph id 0 means "no glyph" to LVGL: the font's glyphs are ids 1, 2, ... in code order. Runs of
// consecutive codes long enough to pay for a map of their own get one; the codes between them
// share sparse maps, each spanning at most 65535 codes. At most kMaxCharacterMaps maps.
constexpr size_t kMaxCharacterMaps = 511;
std::vector<LvglCharacterMap> PlanCharacterMaps(const std::vector<InkGlyph>& glyphs);

// A glyph's levels as LVGL keeps them: row after row with no padding between rows, `bpp` bits
// per pixel, the first pixel in the most significant bits, the last byte filled with zeros.
void PackGlyphBits(const InkGlyph& glyph, std::vector<uint8_t>& out);

// The face's lines widened to the ink of every glyph, so that LVGL's line holds any text.
FaceLines FontLines(const InkFont& font);

// Throws UserError when a glyph cannot be held by LVGL's descriptors even in their large form:
// boxes wider or higher than 65535 pixels, offsets beyond 16 bits, more than 65535 glyphs.
void CheckLvglLimits(const InkFont& font);

// The C source: `const lv_font_t <name>`, for LV_FONT_DECLARE(<name>). UTF-8, plain ASCII.
std::string WriteLvglSource(const InkFont& font);

}  // namespace pindot
