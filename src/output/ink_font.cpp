#include "output/ink_font.h"

#include "output/gfx_font.h"
#include "output/lvgl_binary.h"
#include "output/lvgl_font.h"
#include "output/u8g2_font.h"

namespace pindot {

namespace {

SourcePair WriteU8g2Pair(const InkFont& font) {
  return WriteU8g2Font(font.name, font.headerName, font.glyphs, font.lines);
}

std::string WriteGfxHeader(const InkFont& font) {
  return WriteGfxFont(font.name, font.glyphs, font.lines);
}

}  // namespace

const std::vector<InkFontFormat>& InkFontFormats() {
  static const std::vector<InkFontFormat> formats = {
      {"lvgl", ".c", true, false, WriteLvglSource},
      {"lvgl-bin", ".bin", false, true, WriteLvglBinary},
      {"u8g2", ".c", true, false, nullptr, WriteU8g2Pair, true},
      {"gfx", ".h", true, false, WriteGfxHeader, nullptr, true},
      {"raw", ".c", true, false, nullptr, nullptr, true, true},
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
