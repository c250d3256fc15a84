#include "glyph/generator.h"

#include "output/font_data_text.h"

namespace pindot {

void Generator::Generate(std::u16string_view sampleText, GlyphCanvas& canvas,
                         ProgressIndicator& progress) {
  glyphPreviewText_.clear();
  fontDataText_.clear();
  thinList_.RemoveAll();
  wideList_.RemoveAll();
  RenderSampleText(sampleText, canvas, progress);
  OrderGlyphLists(thinList_, wideList_);
  fontDataText_ = BuildFontDataText(thinList_, wideList_, settings_, progress);
}

void Generator::RenderSampleText(std::u16string_view sampleText, GlyphCanvas& canvas,
                                 ProgressIndicator& progress) {
  progress.SetRange(static_cast<uint32_t>(sampleText.size()));
  progress.SetPosition(0);
  for (char16_t unit : sampleText) {
    TextExtent extent = canvas.MeasureCharacter(unit);
    GlyphCell cell{1, 1, static_cast<int32_t>(extent.cx) + 1, static_cast<int32_t>(extent.cy) + 1};
    canvas.DrawCharacter(unit);
    GenerateGlyph(unit, canvas, cell);
    progress.Step();
  }
}

void Generator::GenerateGlyph(char16_t unit, const GlyphCanvas& canvas, const GlyphCell& cell) {
  const Colour ink = canvas.InkColour();
  std::u16string dataText;
  if (cell.right > cell.left && cell.bottom > cell.top) {
    // "0x00, " is six units per byte.
    size_t bytes = static_cast<size_t>((int64_t{cell.right} - cell.left + 7) / 8) *
                   static_cast<size_t>(int64_t{cell.bottom} - cell.top);
    dataText.reserve(bytes * 6);
  }
  AppendScannedGlyph(canvas, ink, cell, dataText, glyphPreviewText_);

  GlyphEntry entry = MakeGlyphEntry(unit, std::move(dataText), settings_.sortByUnicode, codePage_);
  // Compared as unsigned numbers: a glyph as wide as the width setting is wide.
  const uint32_t glyphWidth = static_cast<uint32_t>(cell.right - cell.left);
  if (glyphWidth < settings_.width) {
    thinList_.Append(std::move(entry));
  } else {
    wideList_.Append(std::move(entry));
  }
}

}  // namespace pindot
