// The fixed font, sample and settings the export tests share, drawn as ASCII pictures.
#pragma once

#include <cstdint>
#include <string>

#include "ascii_canvas.h"
#include "glyph/generator.h"

namespace pindot::testing {

// Width setting 10 and height 7: the thin table is declared 5 pixels wide (one byte a row), the
// wide table 10 (two bytes a row). Thin glyphs are at most 5 wide, wide glyphs exactly 10.
constexpr uint32_t kTestWidth = 10;
constexpr uint32_t kTestHeight = 7;

// A character without a picture is blank and 5 wide.
inline AsciiCanvas MakeTestFont() {
  AsciiCanvas canvas(kTestHeight);
  canvas.SetMissingWidth(5);
  canvas.SetGlyph(u'i', {".#.", "...", "##.", ".#.", ".#.", "###", "..."});
  canvas.SetGlyph(u'j', {"..#.", "....", ".##.", "..#.", "..#.", "..#.", "##.."});
  canvas.SetGlyph(u'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "....."});
  canvas.SetGlyph(u'"', {"#.#", "#.#", "...", "...", "...", "...", "..."});
  canvas.SetGlyph(u'\\', {"#....", ".#...", "..#..", "...#.", "....#", ".....", "....."});
  canvas.SetGlyph(u' ', {"...", "...", "...", "...", "...", "...", "..."});
  canvas.SetGlyph(u'\r', {"...", "...", "...", "...", "...", "...", "..."});
  canvas.SetGlyph(u'\n', {"..#", "..#", "#.#", "###", "#..", "...", "..."});
  canvas.SetGlyph(u'\u00e9', {"..#.", ".#..", ".##.", "#..#", "####", "#...", ".###"});
  canvas.SetGlyph(u'\u20ac', {"..###", ".#...", "####.", ".#...", "####.", ".#...", "..###"});
  canvas.SetGlyph(u'\u4e2d', {
                                 "....##....",
                                 "#########.",
                                 "#...##..#.",
                                 "#...##..#.",
                                 "#########.",
                                 "....##....",
                                 "....##....",
                             });
  canvas.SetGlyph(u'\u56fd', {
                                 "##########",
                                 "#........#",
                                 "#.######.#",
                                 "#...##...#",
                                 "#.######.#",
                                 "#........#",
                                 "##########",
                             });
  return canvas;
}

// Thin and wide glyphs, a repeat, a quote, a backslash, a line break, letters the code pages hold
// differently (e in 936 and 1252, the euro sign, CJK only in 936) and one without a picture (x).
inline const std::u16string kTestSample = u"Aij\"\\\u4e2d\u00e9\r\n\u56fd\u20acjx";

inline void ApplyTestSettings(Generator& generator, bool sortByUnicode) {
  GeneratorSettings& settings = generator.Settings();
  settings.width = kTestWidth;
  settings.height = kTestHeight;
  settings.thinWidth = 3;  // the advance of "a" plays no part in an export
  settings.sortByUnicode = sortByUnicode;
}

}  // namespace pindot::testing
