// Glyphs with a box of their own, read from a canvas or made from a grey coverage bitmap.
#pragma once

#include <cstdint>
#include <vector>

#include "glyph/generator.h"
#include "glyph/glyph_canvas.h"
#include "glyph/ink_glyph.h"

namespace pindot {

// The ink inside `region` of a surface as a glyph placed from the pen at (penX, baselineY): the
// smallest box that holds every pixel of the ink colour, each such pixel at the top level of
// `bpp`. No ink: an empty box at the pen. `advance` is copied as it is.
InkGlyph ScanInk(const PixelSource& source, Colour ink, const GlyphCell& region, int32_t penX,
                 int32_t baselineY, uint8_t bpp, int32_t advance);

// A coverage from 0 (none) to 255 (full) as the nearest of the 2^bpp levels: with 2 bits, 0..42
// is 0, 43..127 is 1, 128..212 is 2, 213..255 is 3.
uint8_t QuantiseCoverage(uint8_t coverage, uint8_t bpp);

// Drops the outer rows and columns with no ink, moving `left` and `top` with them; a glyph with
// no ink at all gets an empty box at the pen.
void TrimInk(InkGlyph& glyph);

// A rule such as an underline drawn over the glyph at full level, from the pen to the advance:
// `top` rows below the baseline (negative above it), `thickness` rows. The box grows to hold it.
void DrawInkRule(InkGlyph& glyph, int32_t top, int32_t thickness);

// The characters a font with a box per glyph holds after a run: those of every entry of both
// tables, each once, in code order, leaving out control codes (U+0000..U+001F, U+007F) and
// surrogate halves, which are no characters on their own.
std::vector<char16_t> InkCharacters(const Generator& generator);

// Each unit drawn with canvas.DrawInk at `bpp`, in the order given.
std::vector<InkGlyph> DrawInkGlyphs(GlyphCanvas& canvas, const std::vector<char16_t>& units,
                                    uint8_t bpp);

}  // namespace pindot
