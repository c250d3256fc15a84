// The values a Generate works with: the table cell, the measured face name and the key choice.
#pragma once

#include <cstdint>
#include <string>

namespace pindot {

// Held by the front end beside its current font; the measurement of a font fills the first three.
struct GeneratorSettings {
  uint32_t width = 8;   // the wide cell W; thin cells are (W + 1) >> 1; checked 4..128 when typed
  uint32_t height = 8;  // checked 0..128 where it is typed
  std::u16string faceName = u"\u5b8b\u4f53";  // "SimSun" in Chinese, until a font is measured
  bool sortByUnicode = true;
};

}  // namespace pindot
