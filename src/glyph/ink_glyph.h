// A glyph as proportional formats need it: its ink box relative to the pen and the baseline, its
// advance, and its pixels in grey levels.
#pragma once

#include <cstdint>
#include <vector>

namespace pindot {

// The face's vertical lines, in pixels: the baseline lies `ascent` below the top of a line.
struct FaceLines {
  int32_t ascent = 0;      // baseline above which the tallest ink of the face reaches
  int32_t descent = 0;     // below the baseline, positive
  int32_t lineHeight = 0;  // from one baseline to the next
  // The face's underline: from the baseline up to its top edge (negative below the baseline), and
  // its thickness; 0 thick when the face gives none.
  int32_t underlinePosition = 0;
  int32_t underlineThickness = 0;
};

struct InkGlyph {
  char16_t unit = 0;
  int32_t advance = 0;  // pixels the pen moves on after drawing it
  int32_t left = 0;     // from the pen position to the ink's leftmost column (may be negative)
  int32_t top = 0;      // from the baseline up to the ink's top row (may be negative)
  uint32_t width = 0;   // the ink box; 0 x 0 for a blank glyph such as the space
  uint32_t height = 0;
  uint8_t bpp = 1;              // 1, 2, 4 or 8
  std::vector<uint8_t> levels;  // width * height values 0 .. (1 << bpp) - 1, row by row, top first
};

}  // namespace pindot
