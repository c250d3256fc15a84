// An ordered sequence of glyph entries that owns them; sorting relinks, it never copies.
#pragma once

#include <cstdint>
#include <list>
#include <vector>

#include "glyph/glyph_entry.h"

namespace pindot {

class GlyphList {
 public:
  using const_iterator = std::list<GlyphEntry>::const_iterator;

  void RemoveAll() { entries_.clear(); }
  void Append(const GlyphEntry& entry) { entries_.push_back(entry); }
  void Append(GlyphEntry&& entry) { entries_.push_back(std::move(entry)); }
  uint32_t GetCount() const { return static_cast<uint32_t>(entries_.size()); }
  bool IsEmpty() const { return entries_.empty(); }
  const_iterator begin() const { return entries_.begin(); }
  const_iterator end() const { return entries_.end(); }

  // Stable ascending sort by key: an entry goes before one that stood earlier only when
  // KeyLess(later, earlier) holds, so entries with equal keys keep their sample order.
  void SortByKey();
  // Keeps the first entry of each run of equal keys (neighbours only); the others are removed, and
  // copied to `removed` when it is given.
  void RemoveDuplicateKeys(std::vector<GlyphEntry>* removed = nullptr);

 private:
  std::list<GlyphEntry> entries_;
};

// Sorts and de-duplicates each list on its own; the two are never compared with each other. The
// entries de-duplication removes go to `removedThin` and `removedWide` when they are given.
void OrderGlyphLists(GlyphList& thinList, GlyphList& wideList,
                     std::vector<GlyphEntry>* removedThin = nullptr,
                     std::vector<GlyphEntry>* removedWide = nullptr);

}  // namespace pindot
