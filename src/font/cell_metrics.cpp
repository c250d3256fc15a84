#include "font/cell_metrics.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace pindot {

namespace {

// The thickness of a line the face does not give: about a sixteenth of the cell.
int DefaultThickness(const CellMetrics& cell) {
  return std::max(1, (cell.height() + 8) / 16);
}

// Lines stay inside the cell, so the scan always sees them.
LineMetrics ClampIntoCell(const CellMetrics& cell, LineMetrics line) {
  line.thickness = std::min(line.thickness, std::max(1, cell.height()));
  line.top = std::min(line.top, cell.descent - line.thickness);
  line.top = std::max(line.top, -cell.ascent);
  return line;
}

}  // namespace

int RoundPixels(int64_t value) {
  return static_cast<int>(std::floor(value / 64.0 + 0.5));
}

ScaledCell CellForHeight(const VerticalMetrics& metrics, int cellHeight) {
  const double total = static_cast<double>(metrics.ascent + metrics.descent);
  ScaledCell scaled;
  scaled.em =
      std::max(1L, std::lround(cellHeight * static_cast<double>(metrics.unitsPerEm) / total));
  scaled.cell.ascent = static_cast<int>(std::lround(cellHeight * metrics.ascent / total));
  scaled.cell.descent = cellHeight - scaled.cell.ascent;
  return scaled;
}

ScaledCell CellForEm(const VerticalMetrics& metrics, int emHeight) {
  const double scale = static_cast<double>(emHeight) / metrics.unitsPerEm;
  ScaledCell scaled;
  scaled.em = emHeight;
  scaled.cell.ascent = static_cast<int>(std::lround(metrics.ascent * scale));
  scaled.cell.descent = static_cast<int>(std::lround(metrics.descent * scale));
  return scaled;
}

size_t NearestStrike(const std::vector<int>& sizes, int asked) {
  size_t best = 0;
  for (size_t i = 1; i < sizes.size(); ++i) {
    const int distance = std::abs(sizes[i] - asked);
    const int bestDistance = std::abs(sizes[best] - asked);
    if (distance < bestDistance || (distance == bestDistance && sizes[i] < sizes[best])) best = i;
  }
  return best;
}

CellMetrics StrikeCell(long ascender, long descender, int strikeHeight) {
  CellMetrics cell{RoundPixels(ascender), -RoundPixels(descender)};
  if (cell.height() <= 0) cell = CellMetrics{strikeHeight, 0};
  return cell;
}

LineMetrics UnderlineForCell(const CellMetrics& cell, const std::optional<FaceLine>& underline) {
  if (!underline) {
    const int rows = DefaultThickness(cell);
    return ClampIntoCell(cell, LineMetrics{std::min(1, cell.descent - rows), rows});
  }
  const long top = -underline->position - underline->thickness / 2;  // downwards
  return ClampIntoCell(
      cell, LineMetrics{RoundPixels(top), std::max(1, RoundPixels(underline->thickness))});
}

LineMetrics StrikeOutForCell(const CellMetrics& cell, const std::optional<FaceLine>& strikeOut) {
  if (!strikeOut) {
    const int rows = DefaultThickness(cell);
    return ClampIntoCell(cell, LineMetrics{-(cell.ascent / 3) - rows / 2, rows});
  }
  return ClampIntoCell(cell, LineMetrics{RoundPixels(-strikeOut->position),
                                         std::max(1, RoundPixels(strikeOut->thickness))});
}

}  // namespace pindot
