// Fonts in u8g2's own format, for u8g2_SetFont: a 23-byte header, every glyph's box, offsets and
// advance in bit fields of the widths the header gives, its pixels run-length coded, and a jump
// table to the glyphs above U+00FF.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "glyph/ink_glyph.h"
#include "output/c_source_text.h"

namespace pindot {

// The font as u8g2 reads it, from one-bit glyphs (levels 0 and 1) in any order, each unit once.
// The header's ascent and descent are those of "A", "g" and "(" when the sample has them, else the
// face's. Throws UserError for what the format cannot hold: a glyph over 127 pixels wide or high,
// an offset or advance beyond -128..127, a glyph that takes more than 255 bytes.
std::vector<uint8_t> EncodeU8g2Font(const std::vector<InkGlyph>& glyphs, const FaceLines& lines);

// The header declaring `const uint8_t name[]` and the source defining it (in program memory on an
// AVR), which includes the header as `headerName`.
SourcePair WriteU8g2Font(std::string_view name, std::string_view headerName,
                         const std::vector<InkGlyph>& glyphs, const FaceLines& lines);

}  // namespace pindot
