// The glyphs of the worked example of the font data text, drawn as ASCII pictures.
#pragma once

#include "ascii_canvas.h"

namespace pindot::testing {

// i 2 wide (40 c0), j 3 wide (20 c0), U+4E2D 8 wide (ff 18), two rows each.
inline AsciiCanvas WorkedExampleCanvas() {
  AsciiCanvas canvas(2);
  canvas.SetGlyph(u'i', {".#", "##"});
  canvas.SetGlyph(u'j', {"..#", "##."});
  canvas.SetGlyph(u'\u4e2d', {"########", "...##..."});
  return canvas;
}

}  // namespace pindot::testing
