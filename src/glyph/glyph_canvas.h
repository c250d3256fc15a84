// The surface one character at a time is drawn on and read back from.
#pragma once

#include <cstdint>

#include "glyph/colour.h"
#include "glyph/pixel_source.h"

namespace pindot {

struct TextExtent {
  uint32_t cx = 0;  // advance width in pixels
  uint32_t cy = 0;  // cell height in pixels, the same for every character of a font
};

class GlyphCanvas : public PixelSource {
 public:
  static constexpr int32_t kSize = 148;

  virtual TextExtent MeasureCharacter(char16_t unit) = 0;
  // Fills the cell {1, 1, cx + 1, cy + 1} with the background, then draws the glyph in the ink
  // colour with the cell's top-left corner at (1, 1), clipped to the canvas.
  virtual void DrawCharacter(char16_t unit) = 0;
  virtual Colour InkColour() const = 0;
};

}  // namespace pindot
