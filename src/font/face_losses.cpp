#include "font/face_losses.h"

#include "font/font_metrics.h"
#include "text/utf.h"

namespace pindot {

void AddFaceLosses(FontCanvas& canvas, const FontRequest& asked, const Generator& generator,
                   LossReport& report) {
  report.family = canvas.ResolvedFamily();
  if (const int strike = canvas.SubstitutedStrikeSize(); strike != 0) {
    report.askedHeight = asked.emHeight > 0 ? asked.emHeight : asked.cellHeight;
    report.strikeHeight = strike;
  }
  for (const DrawnGlyph& glyph : generator.Glyphs()) {
    // Control codes (a line break of the sample) are in no face; glyph 0 is what they draw as
    // anywhere, so they are nothing lost.
    if (!IsControlCode(glyph.unit) && !canvas.HasGlyph(glyph.unit))
      report.missing.push_back(glyph.unit);
  }
  report.referenceMissing = !canvas.HasGlyph(kWideReference);
  if (report.referenceMissing) {
    const TextExtent box = canvas.MeasureCharacter(kWideReference);
    report.referenceBox = TableCell{box.cx, box.cy};
  }
}

}  // namespace pindot
