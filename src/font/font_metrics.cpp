#include "font/font_metrics.h"

#include <string>

namespace pindot {

FontRequest DefaultFontRequest(Language language) {
  FontRequest fontRequest;
  fontRequest.faceName = std::u16string(LoadString(language, StringId::kDefaultFaceName));
  fontRequest.cellHeight = 16;
  return fontRequest;
}

void MeasureFont(GlyphCanvas& canvas, const FontRequest& fontRequest, GeneratorSettings& settings) {
  TextExtent wide = canvas.MeasureCharacter(kWideReference);
  settings.width = wide.cx;
  settings.height = wide.cy;
  settings.faceName = fontRequest.faceName;
}

}  // namespace pindot
