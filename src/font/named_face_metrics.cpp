#include "font/named_face_metrics.h"

#include <charconv>

#include "base/user_error.h"
#include "text/number_text.h"

namespace pindot {

namespace {

// Takes the last blank-separated number off the end of `text`; false when there is none.
bool TakeLastNumber(std::string_view& text, long& number) {
  text = TrimBlanks(text);
  size_t start = text.size();
  while (start > 0 && !IsBlank(text[start - 1])) --start;
  const std::string_view digits = text.substr(start);
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
  if (digits.empty() || error != std::errc() || end != digits.data() + digits.size()) return false;
  text = text.substr(0, start);
  return true;
}

}  // namespace

std::vector<NamedFaceMetrics> ParseNamedFaceMetrics(std::string_view text,
                                                    const std::string& fileName) {
  std::vector<NamedFaceMetrics> table;
  int lineNumber = 0;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    std::string_view line = TrimBlanks(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    ++lineNumber;
    if (line.empty() || line.front() == '#') continue;
    NamedFaceMetrics entry;
    VerticalMetrics& metrics = entry.metrics;
    if (!TakeLastNumber(line, metrics.descent) || !TakeLastNumber(line, metrics.ascent) ||
        !TakeLastNumber(line, metrics.unitsPerEm) || TrimBlanks(line).empty() ||
        metrics.unitsPerEm <= 0 || metrics.ascent < 0 || metrics.descent < 0 ||
        metrics.ascent + metrics.descent <= 0) {
      throw UserError("font metrics file \"" + fileName + "\", line " + std::to_string(lineNumber) +
                      ": expected a face name, then its units per em, ascent and descent");
    }
    entry.name = std::string(TrimBlanks(line));
    table.push_back(std::move(entry));
  }
  return table;
}

}  // namespace pindot
