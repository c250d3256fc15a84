#include "glyph/generator.h"

#include <algorithm>

namespace pindot {

void Generator::Generate(std::u16string_view sampleText, GlyphCanvas& canvas,
                         ProgressIndicator& progress) {
  glyphPreviewText_.clear();
  glyphPreviewText_.shrink_to_fit();
  previewWritten_ = false;
  sample_.clear();
  glyphs_.clear();
  glyphBytes_.clear();
  glyphOfUnit_.assign(0x10000, kNotDrawn);
  thinList_.RemoveAll();
  wideList_.RemoveAll();
  leftOutThin_.clear();
  leftOutWide_.clear();
  RenderSampleText(sampleText, canvas, progress);
  OrderGlyphLists(thinList_, wideList_, &leftOutThin_, &leftOutWide_);
}

void Generator::RenderSampleText(std::u16string_view sampleText, GlyphCanvas& canvas,
                                 ProgressIndicator& progress) {
  progress.SetRange(static_cast<uint32_t>(sampleText.size()));
  progress.SetPosition(0);
  if (glyphOfUnit_.size() != 0x10000) glyphOfUnit_.assign(0x10000, kNotDrawn);
  sample_.append(sampleText);
  for (char16_t unit : sampleText) {
    if (glyphOfUnit_[unit] == kNotDrawn) {
      const TextExtent extent = canvas.MeasureCharacter(unit);
      const GlyphCell cell{1, 1, static_cast<int32_t>(extent.cx) + 1,
                           static_cast<int32_t>(extent.cy) + 1};
      canvas.DrawCharacter(unit);
      GenerateGlyph(unit, canvas, cell);
    }
    progress.Step();
  }
}

void Generator::GenerateGlyph(char16_t unit, const GlyphCanvas& canvas, const GlyphCell& cell) {
  ScanGlyph(canvas, cell, scanBytes_);
  const DrawnGlyph glyph{unit,
                         cell.right > cell.left ? static_cast<uint32_t>(cell.right - cell.left) : 0,
                         cell.bottom > cell.top ? static_cast<uint32_t>(cell.bottom - cell.top) : 0,
                         glyphBytes_.size()};
  glyphBytes_.insert(glyphBytes_.end(), scanBytes_.begin(), scanBytes_.end());
  const auto index = static_cast<uint32_t>(glyphs_.size());
  glyphs_.push_back(glyph);
  glyphOfUnit_[unit] = index;

  GlyphEntry entry = MakeGlyphEntry(unit, index, settings_.sortByUnicode, codePage_);
  // A glyph goes to the table whose cell holds it: thin when its advance fits the thin cell, so a
  // 10-pixel Greek letter of a 16-pixel font lands in the wide table whole.
  if (glyph.width <= CellOf(TableKind::kThin, settings_).width) {
    thinList_.Append(entry);
  } else {
    wideList_.Append(entry);
  }
}

void Generator::CellBytes(const GlyphEntry& entry, const TableCell& cell,
                          std::vector<uint8_t>& out) const {
  const DrawnGlyph& glyph = Glyph(entry);
  out.resize(cell.Bytes());
  FitGlyphToCell(GlyphBytes(glyph), glyph.width, glyph.rows, cell, out.data());
}

std::vector<const GlyphEntry*> Generator::CutEntries(TableKind kind) const {
  std::vector<const GlyphEntry*> cut;
  const TableCell cell = CellOf(kind, settings_);
  for (const GlyphEntry& entry : kind == TableKind::kThin ? thinList_ : wideList_) {
    if (IsCut(Glyph(entry).width, Glyph(entry).rows, cell)) cut.push_back(&entry);
  }
  return cut;
}

void Generator::WriteGlyphPreview(const std::function<void(std::u16string_view piece)>& sink,
                                  size_t pieceLength) const {
  std::u16string piece;
  for (char16_t unit : sample_) {
    const DrawnGlyph& glyph = glyphs_[glyphOfUnit_[unit]];
    AppendPreviewLines(GlyphBytes(glyph), glyph.width, glyph.rows, piece);
    if (piece.size() >= pieceLength) {
      sink(piece);
      piece.clear();
    }
  }
  if (!piece.empty()) sink(piece);
}

const std::u16string& Generator::GlyphPreviewText() const {
  if (!previewWritten_) {
    size_t length = 0;
    for (char16_t unit : sample_) {
      const DrawnGlyph& glyph = glyphs_[glyphOfUnit_[unit]];
      length +=
          glyph.rows * (2 * ((size_t{glyph.width} + 7) / 8) + 1 + 2 * size_t{glyph.width} + 2);
    }
    glyphPreviewText_.reserve(length);
    WriteGlyphPreview([this](std::u16string_view piece) { glyphPreviewText_.append(piece); });
    previewWritten_ = true;
  }
  return glyphPreviewText_;
}

}  // namespace pindot
