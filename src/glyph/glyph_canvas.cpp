#include "glyph/glyph_canvas.h"

#include "glyph/ink_scan.h"

namespace pindot {

InkGlyph GlyphCanvas::DrawInk(char16_t unit, uint8_t bpp) {
  const TextExtent extent = MeasureCharacter(unit);
  DrawCharacter(unit);
  const FaceLines lines = Lines();
  const auto width = static_cast<int32_t>(extent.cx), height = static_cast<int32_t>(extent.cy);
  const int32_t ascent = lines.ascent + lines.descent > 0 ? lines.ascent : height;
  InkGlyph glyph = ScanInk(*this, InkColour(), GlyphCell{1, 1, 1 + width, 1 + height}, 1,
                           1 + ascent, bpp, width);
  glyph.unit = unit;
  return glyph;
}

}  // namespace pindot
