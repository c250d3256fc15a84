#include "output/ink_font.h"

#include "output/lvgl_binary.h"
#include "output/lvgl_font.h"

namespace pindot {

const std::vector<InkFontFormat>& InkFontFormats() {
  static const std::vector<InkFontFormat> formats = {
      {"lvgl", ".c", true, false, WriteLvglSource},
      {"lvgl-bin", ".bin", false, true, WriteLvglBinary},
  };
  return formats;
}

const InkFontFormat* FindInkFontFormat(std::string_view name) {
  for (const InkFontFormat& format : InkFontFormats()) {
    if (format.name == name) return &format;
  }
  return nullptr;
}

}  // namespace pindot
