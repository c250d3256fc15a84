#include "glyph/generator.h"

namespace pindot {

namespace {

// The width or height of a cell; nothing when it is empty or reversed.
size_t Span(int32_t from, int32_t to) {
  return to > from ? static_cast<size_t>(int64_t{to} - from) : 0;
}

}  // namespace

void Generator::Generate(std::u16string_view sampleText, GlyphCanvas& canvas,
                         ProgressIndicator& progress) {
  glyphPreviewText_.clear();
  previewGlyphs_.clear();
  previewBytes_.clear();
  previewGlyphsWritten_ = 0;
  thinList_.RemoveAll();
  wideList_.RemoveAll();
  RenderSampleText(sampleText, canvas, progress);
  OrderGlyphLists(thinList_, wideList_);
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
  ScanGlyph(canvas, ink, cell, scanBytes_);
  std::u16string dataText;  // grown once, to its exact length
  AppendDataText(scanBytes_.data(), scanBytes_.size(), dataText);
  previewGlyphs_.push_back(
      PreviewGlyph{Span(cell.left, cell.right), Span(cell.top, cell.bottom), previewBytes_.size()});
  previewBytes_.insert(previewBytes_.end(), scanBytes_.begin(), scanBytes_.end());

  GlyphEntry entry = MakeGlyphEntry(unit, std::move(dataText), settings_.sortByUnicode, codePage_);
  // Compared as unsigned numbers: a glyph as wide as the width setting is wide.
  const uint32_t glyphWidth = static_cast<uint32_t>(cell.right - cell.left);
  if (glyphWidth < settings_.width) {
    thinList_.Append(std::move(entry));
  } else {
    wideList_.Append(std::move(entry));
  }
}

const std::u16string& Generator::GlyphPreviewText() const {
  if (previewGlyphsWritten_ < previewGlyphs_.size()) {
    size_t length = glyphPreviewText_.size();
    for (size_t i = previewGlyphsWritten_; i < previewGlyphs_.size(); ++i) {
      const PreviewGlyph& glyph = previewGlyphs_[i];
      length += glyph.rows * (2 * ((glyph.width + 7) / 8) + 1 + 2 * glyph.width + 2);
    }
    glyphPreviewText_.reserve(length);
    for (; previewGlyphsWritten_ < previewGlyphs_.size(); ++previewGlyphsWritten_) {
      const PreviewGlyph& glyph = previewGlyphs_[previewGlyphsWritten_];
      AppendPreviewLines(previewBytes_.data() + glyph.firstByte, glyph.width, glyph.rows,
                         glyphPreviewText_);
    }
  }
  return glyphPreviewText_;
}

}  // namespace pindot
