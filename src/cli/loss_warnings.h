// The command line's warnings about what a run lost without being asked to, one line per kind.
#pragma once

#include <ostream>
#include <string_view>
#include <vector>

#include "font/font_canvas.h"
#include "glyph/generator.h"

namespace pindot {

// How many characters a warning names before it only counts the rest (`verbose` names all).
inline constexpr size_t kCharactersListed = 8;

// "U+0391 "Α", U+0392 "Β" and 5 more": each character with its code, the character itself left
// out where it would not print (controls, surrogate halves).
std::string ListCharacters(const std::vector<char16_t>& units, bool verbose);

// The characters of the sample the face has no glyph for, drawn as its glyph 0.
void WarnAboutMissingGlyphs(const FontCanvas& canvas, std::u16string_view sample, bool verbose,
                            std::ostream& err);

// Per table, the glyphs wider (or taller) than its cell, cut to it.
void WarnAboutCutGlyphs(const Generator& generator, bool verbose, std::ostream& err);

}  // namespace pindot
