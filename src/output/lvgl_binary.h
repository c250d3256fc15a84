// LVGL's binary font file, for fonts kept on an SD card or in external flash and opened at run
// time with lv_binfont_create.
#pragma once

#include <string>

#include "output/lvgl_font.h"

namespace pindot {

// The file's bytes: tables head, cmap, loca and glyf, little-endian, bitmaps uncompressed.
std::string WriteLvglBinary(const InkFont& font);

}  // namespace pindot
