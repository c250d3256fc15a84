#include "font/font_metrics.h"

#include <string>

namespace pindot {

FontSpec DefaultFontSpec(Language language) {
  FontSpec spec;
  spec.faceName = std::u16string(LoadString(language, 114));
  spec.cellHeight = 16;
  return spec;
}

void MeasureFont(GlyphCanvas& canvas, const FontSpec& spec, GeneratorSettings& settings) {
  // U+4E2D stands for every wide character, "a" for every thin one.
  TextExtent wide = canvas.MeasureCharacter(u'\u4e2d');
  settings.width = wide.cx;
  settings.height = wide.cy;
  settings.faceName = spec.faceName;
  settings.thinWidth = static_cast<int32_t>(canvas.MeasureCharacter(u'a').cx);
  settings.font = spec;
}

}  // namespace pindot
