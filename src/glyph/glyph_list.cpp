#include "glyph/glyph_list.h"

#include <algorithm>
#include <iterator>
#include <utility>
#include <vector>

namespace pindot {

void GlyphList::SortByKey() {
  if (entries_.size() < 2) return;
  // One pass first: a list made from a range of characters is in order already, and when all
  // entries share one key choice the keys can be sorted apart from the entries.
  const bool keyIsUnicode = entries_.front().keyIsUnicode;
  bool oneKeyChoice = true;
  bool inOrder = true;
  for (auto earlier = entries_.begin(), later = std::next(earlier); later != entries_.end();
       earlier = later++) {
    oneKeyChoice = oneKeyChoice && later->keyIsUnicode == keyIsUnicode;
    inOrder = inOrder && !KeyLess(*later, *earlier);
  }
  if (!oneKeyChoice) {
    // std::list::sort is a stable merge sort that relinks nodes: no entry is copied or moved. In
    // its merge the later entry is the first operand, so the later entry's key choice decides.
    entries_.sort(
        [](const GlyphEntry& later, const GlyphEntry& earlier) { return KeyLess(later, earlier); });
    return;
  }
  if (inOrder) return;  // a stable sort would leave every entry where it is
  // With one key choice KeyLess compares plain numbers: the keys are sorted stably in an array,
  // which walks memory in order, and the entries are then relinked in that order, not copied.
  std::vector<std::pair<int32_t, std::list<GlyphEntry>::iterator>> order;
  order.reserve(entries_.size());
  for (auto entry = entries_.begin(); entry != entries_.end(); ++entry) {
    order.emplace_back(KeyOf(*entry), entry);
  }
  std::stable_sort(order.begin(), order.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  for (const auto& keyed : order) entries_.splice(entries_.end(), entries_, keyed.second);
}

void GlyphList::RemoveDuplicateKeys() {
  if (entries_.empty()) return;
  auto kept = entries_.begin();
  for (auto next = std::next(kept); next != entries_.end();) {
    if (KeyEquals(*kept, *next)) {
      next = entries_.erase(next);
    } else {
      kept = next++;
    }
  }
}

void OrderGlyphLists(GlyphList& thinList, GlyphList& wideList) {
  if (thinList.GetCount() >= 2) thinList.SortByKey();
  thinList.RemoveDuplicateKeys();
  if (wideList.GetCount() >= 2) wideList.SortByKey();
  wideList.RemoveDuplicateKeys();
}

}  // namespace pindot
