#include "glyph/glyph_list.h"

#include <iterator>

namespace pindot {

void GlyphList::SortByKey() {
  // std::list::sort is a stable merge sort that relinks nodes: no entry is copied or moved. In its
  // merge the later entry is the first operand, so the later entry's key choice decides.
  entries_.sort(
      [](const GlyphEntry& later, const GlyphEntry& earlier) { return KeyLess(later, earlier); });
}

void GlyphList::RemoveDuplicateKeys(std::vector<GlyphEntry>* removed) {
  if (entries_.empty()) return;
  auto kept = entries_.begin();
  for (auto next = std::next(kept); next != entries_.end();) {
    if (KeyEquals(*kept, *next)) {
      if (removed != nullptr) removed->push_back(*next);
      next = entries_.erase(next);
    } else {
      kept = next++;
    }
  }
}

void OrderGlyphLists(GlyphList& thinList, GlyphList& wideList, std::vector<GlyphEntry>* removedThin,
                     std::vector<GlyphEntry>* removedWide) {
  if (thinList.GetCount() >= 2) thinList.SortByKey();
  thinList.RemoveDuplicateKeys(removedThin);
  if (wideList.GetCount() >= 2) wideList.SortByKey();
  wideList.RemoveDuplicateKeys(removedWide);
}

}  // namespace pindot
