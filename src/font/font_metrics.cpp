#include "font/font_metrics.h"

#include <string>

namespace pindot {

FontSpec DefaultFontSpec(Language language) {
  FontSpec fontSpec;
  fontSpec.faceName = std::u16string(LoadString(language, StringId::kDefaultFaceName));
  fontSpec.cellHeight = 16;
  return fontSpec;
}

void MeasureFont(GlyphCanvas& canvas, const FontSpec& fontSpec, GeneratorSettings& settings) {
  // "a" stands for every thin character.
  TextExtent wide = canvas.MeasureCharacter(kWideReference);
  settings.width = wide.cx;
  settings.height = wide.cy;
  settings.faceName = fontSpec.faceName;
  settings.thinWidth = static_cast<int32_t>(canvas.MeasureCharacter(u'a').cx);
}

}  // namespace pindot
