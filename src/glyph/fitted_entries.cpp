#include "glyph/fitted_entries.h"

namespace pindot {

void FittedEntry::FitInto(uint8_t* out) const {
  FitGlyphToCell(glyphBytes_, glyph_->width, glyph_->rows, *cell_, out);
}

void FittedEntry::FitInto(std::vector<uint8_t>& out) const {
  out.resize(cell_->Bytes());
  FitInto(out.data());
}

FittedEntries::FittedEntries(const Generator& generator, TableKind kind)
    : FittedEntries(generator, kind, CellOf(kind, generator.Settings())) {}

FittedEntries::FittedEntries(const Generator& generator, TableKind kind, const TableCell& cell)
    : generator_(&generator),
      list_(kind == TableKind::kThin ? &generator.ThinList() : &generator.WideList()),
      cell_(cell) {}

FittedEntry FittedEntries::Iterator::operator*() const {
  const DrawnGlyph& glyph = table_->generator_->Glyph(*at_);
  return FittedEntry(*at_, glyph, table_->generator_->GlyphBytes(glyph), table_->cell_);
}

}  // namespace pindot
