// The glyph preview of a generator's last run as one text.
#pragma once

#include <string>
#include <string_view>

#include "glyph/generator.h"

namespace pindot::testing {

inline std::u16string GlyphPreviewText(const Generator& generator) {
  std::u16string text;
  generator.WriteGlyphPreview([&text](std::u16string_view piece) { text.append(piece); });
  return text;
}

}  // namespace pindot::testing
