// A table's entries in table order, each with its glyph as the table's cell holds it.
#pragma once

#include <cstdint>
#include <iterator>
#include <vector>

#include "glyph/generator.h"
#include "glyph/glyph_entry.h"
#include "glyph/glyph_list.h"
#include "glyph/table_cell.h"

namespace pindot {

// One entry of a table beside its glyph and its table's cell.
class FittedEntry {
 public:
  FittedEntry(const GlyphEntry& entry, const DrawnGlyph& glyph, const uint8_t* glyphBytes,
              const TableCell& cell)
      : entry_(&entry), glyph_(&glyph), glyphBytes_(glyphBytes), cell_(&cell) {}

  const GlyphEntry& Entry() const { return *entry_; }
  // Whether the glyph is wider or taller than the cell, so that fitting it cuts pixels off.
  bool Cut() const { return IsCut(glyph_->width, glyph_->rows, *cell_); }
  // The glyph fitted to the cell (see FitGlyphToCell): cell.Bytes() bytes into `out`.
  void FitInto(uint8_t* out) const;
  void FitInto(std::vector<uint8_t>& out) const;

 private:
  const GlyphEntry* entry_;
  const DrawnGlyph* glyph_;
  const uint8_t* glyphBytes_;
  const TableCell* cell_;
};

// The entries of one table of the generator's last run, walked in table order. Every writer and
// every report that speaks of what a table holds reads it through this walk.
class FittedEntries {
 public:
  FittedEntries(const Generator& generator, TableKind kind);
  // The same entries fitted to another cell, for a format that keeps both tables in one.
  FittedEntries(const Generator& generator, TableKind kind, const TableCell& cell);

  const TableCell& Cell() const { return cell_; }
  uint32_t Count() const { return list_->GetCount(); }

  class Iterator {
   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = FittedEntry;
    using difference_type = std::ptrdiff_t;
    using pointer = void;
    using reference = FittedEntry;

    Iterator(const FittedEntries& table, GlyphList::const_iterator at) : table_(&table), at_(at) {}
    FittedEntry operator*() const;
    Iterator& operator++() {
      ++at_;
      return *this;
    }
    bool operator==(const Iterator& other) const { return at_ == other.at_; }
    bool operator!=(const Iterator& other) const { return at_ != other.at_; }

   private:
    const FittedEntries* table_;
    GlyphList::const_iterator at_;
  };

  Iterator begin() const { return Iterator(*this, list_->begin()); }
  Iterator end() const { return Iterator(*this, list_->end()); }

 private:
  const Generator* generator_;
  const GlyphList* list_;
  TableCell cell_;
};

}  // namespace pindot
