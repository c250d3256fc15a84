// The default font and the measurement of a font into the generator's settings.
#pragma once

#include "font/font_request.h"
#include "glyph/generator_settings.h"
#include "glyph/glyph_canvas.h"
#include "text/string_table.h"

namespace pindot {

// 中 stands for every wide character: the cells are measured on it.
inline constexpr char16_t kWideReference = u'\u4e2d';

// String 114 of the language ("Fixedsys" / "SimSun" in Chinese) at cell height 16, nothing else
// set.
FontRequest DefaultFontRequest(Language language);

// width and height from the extent of kWideReference, faceName as asked for in the fontRequest
// (whichever face really drew).
void MeasureFont(GlyphCanvas& canvas, const FontRequest& fontRequest, GeneratorSettings& settings);

}  // namespace pindot
