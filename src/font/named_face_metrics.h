// The metrics of Windows faces that stand-in fonts draw, as read from the table beside the alias
// file (res/fontconfig/windows-face-metrics.txt).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "font/cell_metrics.h"

namespace pindot {

struct NamedFaceMetrics {
  std::string name;  // UTF-8, as the table spells it
  VerticalMetrics metrics;
};

// The table's text: one face a line, its name (which may hold blanks) and then three numbers,
// units per em, ascent and descent; blank lines and lines starting with '#' are skipped. Throws
// UserError naming `fileName` and the line for anything else.
std::vector<NamedFaceMetrics> ParseNamedFaceMetrics(std::string_view text,
                                                    const std::string& fileName);

}  // namespace pindot
