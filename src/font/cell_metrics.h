// The cell and the lines of a font at one size, worked out from the face's own numbers.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace pindot {

// A cell in pixels: the baseline lies `ascent` rows below its top.
struct CellMetrics {
  int ascent = 0;
  int descent = 0;
  int height() const { return ascent + descent; }
};

// A scalable face's vertical extent in font units: usWinAscent and usWinDescent (or what stands
// in for them), and the em they are measured against.
struct VerticalMetrics {
  long unitsPerEm = 0;
  long ascent = 0;
  long descent = 0;
};

// What a scalable face is set to: its em in pixels and the cell that comes with it.
struct ScaledCell {
  long em = 0;
  CellMetrics cell;
};

// For a cell height: the cell is exactly `cellHeight` rows, split like ascent : descent, and the
// em is what makes ascent + descent fill it, rounded to whole pixels (at least 1).
ScaledCell CellForHeight(const VerticalMetrics& metrics, int cellHeight);

// For an em height, as Windows sizes a font for a negative lfHeight: the em is `emHeight` pixels,
// and ascent and descent are each scaled to it and rounded to whole pixels.
ScaledCell CellForEm(const VerticalMetrics& metrics, int emHeight);

// A face with bitmap strikes only: the strike whose size is nearest to `asked`, the smaller one on
// a tie. `sizes` is not empty.
size_t NearestStrike(const std::vector<int>& sizes, int asked);

// A strike's cell from its ascender and descender (26.6 pixels, the descender negative below the
// baseline); a strike that gives neither is `strikeHeight` rows above the baseline.
CellMetrics StrikeCell(long ascender, long descender, int strikeHeight);

// A horizontal line (underline, strike-out): its top row relative to the baseline (positive
// downwards) and its thickness in rows.
struct LineMetrics {
  int top = 0;
  int thickness = 1;
};

// A line as the face gives it, scaled to 26.6 pixels, positive above the baseline.
struct FaceLine {
  long position = 0;  // the underline's centre; the strike-out's top edge
  long thickness = 0;
};

// The face's underline; a face without one (bitmap fonts) gets a line one row below the baseline.
// Always inside the cell.
LineMetrics UnderlineForCell(const CellMetrics& cell, const std::optional<FaceLine>& underline);

// The face's strike-out; a face without one gets a line a third of the ascent above the baseline.
// Always inside the cell.
LineMetrics StrikeOutForCell(const CellMetrics& cell, const std::optional<FaceLine>& strikeOut);

// A 26.6 value rounded to whole pixels, half up, also for negative values.
int RoundPixels(int64_t value);

}  // namespace pindot
