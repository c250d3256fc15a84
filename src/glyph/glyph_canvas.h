// The surface one character at a time is drawn on and read back from.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "glyph/colour.h"
#include "glyph/ink_glyph.h"
#include "glyph/pixel_source.h"

namespace pindot {

struct TextExtent {
  uint32_t cx = 0;  // advance width in pixels
  uint32_t cy = 0;  // cell height in pixels, the same for every character of a font
};

// A rectangle of pixels to scan; right and bottom are exclusive.
struct GlyphCell {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
};

class GlyphCanvas : public PixelSource {
 public:
  static constexpr int32_t kSize = 148;

  virtual TextExtent MeasureCharacter(char16_t unit) = 0;
  // Fills the cell {1, 1, cx + 1, cy + 1} with the background, then draws the glyph in the ink
  // colour with the cell's top-left corner at (1, 1), clipped to the canvas.
  virtual void DrawCharacter(char16_t unit) = 0;
  virtual Colour InkColour() const = 0;
  // A canvas that keeps its ink as bits can hand a cell over packed, without the scan reading it
  // pixel by pixel: it replaces `bytes` with exactly what ScanGlyph over its pixels and ink colour
  // gives for `cell`, and returns true. The default keeps colours only and returns false, leaving
  // `bytes` alone.
  virtual bool ReadPackedCell(const GlyphCell& /*cell*/, std::vector<uint8_t>& /*bytes*/) const {
    return false;
  }
  // A second canvas that draws every unit exactly as this one does, for another thread: it shares
  // nothing with this one that drawing changes, so both may draw at once. Null (the default) for a
  // canvas that cannot be copied; such a canvas is drawn on by one thread.
  virtual std::unique_ptr<GlyphCanvas> Clone() const { return nullptr; }

  // The face's lines, for formats that place each glyph by its own box. The default knows none:
  // all zero, and DrawInk takes the cell's bottom for the baseline.
  virtual FaceLines Lines() const { return FaceLines{}; }
  // `unit` with a box of its own, as proportional formats keep it: its advance is
  // MeasureCharacter's cx. With 1 bit per pixel its pixels are those DrawCharacter draws; with 2, 4
  // or 8 a canvas that draws in grey gives its levels. The default draws the unit and reads the ink
  // inside its cell, each ink pixel at the top level of `bpp`.
  virtual InkGlyph DrawInk(char16_t unit, uint8_t bpp);
};

}  // namespace pindot
