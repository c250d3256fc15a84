#include "glyph/generator.h"

#include <algorithm>
#include <new>

#include "output/font_data_text.h"

namespace pindot {

namespace {

// The preview text of a whole character set runs to tens of megabytes (20,902 glyphs of 32 x 32
// make 100 MB). Reserving it once, for glyphs as wide as the width setting, spares the copies of
// growing it and the doubled memory while the last copy is made. Pages the text never reaches are
// never touched, so reserving too much for a sample of narrow glyphs costs address space only.
void ReservePreviewText(std::u16string& text, size_t units, uint32_t width, uint32_t cellHeight) {
  const uint64_t rowBytes = (uint64_t{width} + 7) / 8;
  const uint64_t perGlyph = uint64_t{cellHeight} * (2 * rowBytes + 1 + 2 * uint64_t{width} + 2);
  const uint64_t total = perGlyph * units;
  if (total <= text.capacity() || total > text.max_size() / 2) return;
  try {
    text.reserve(static_cast<size_t>(total));
  } catch (const std::bad_alloc&) {
    // Grown as it goes instead.
  }
}

}  // namespace

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
    if (glyphPreviewText_.empty()) {
      ReservePreviewText(glyphPreviewText_, sampleText.size(), std::max(settings_.width, extent.cx),
                         extent.cy);
    }
    GlyphCell cell{1, 1, static_cast<int32_t>(extent.cx) + 1, static_cast<int32_t>(extent.cy) + 1};
    canvas.DrawCharacter(unit);
    GenerateGlyph(unit, canvas, cell);
    progress.Step();
  }
}

void Generator::GenerateGlyph(char16_t unit, const GlyphCanvas& canvas, const GlyphCell& cell) {
  const Colour ink = canvas.InkColour();
  std::u16string dataText;  // the scan grows it once, to its exact length
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
