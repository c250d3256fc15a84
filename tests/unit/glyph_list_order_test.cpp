// Ordering long lists: already ordered, scrambled with repeats, and lists of mixed key choices.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

#include "glyph/glyph_list.h"
#include "text/code_page.h"

namespace pindot {
namespace {

// Entry i is character `units[i]` with its place i in dataText, so equal characters differ.
GlyphList ListOf(const std::u16string& units, bool sortByUnicode, const CodePage& codePage) {
  GlyphList list;
  for (size_t i = 0; i < units.size(); ++i) {
    list.Append(
        MakeGlyphEntry(units[i], u"#" + std::u16string(1, char16_t(i)), sortByUnicode, codePage));
  }
  return list;
}

std::vector<std::u16string> Places(const GlyphList& list) {
  std::vector<std::u16string> places;
  for (const GlyphEntry& entry : list) places.push_back(entry.dataText);
  return places;
}

TEST(GlyphListOrder, LongListsSortStablyByKeyAndRelink) {
  const CodePage codePage(936);
  // 600 units from 40 characters in a scrambled order, every character many times; the second
  // case the same characters in ascending order, repeats side by side.
  std::u16string scrambled;
  for (int i = 0; i < 600; ++i) scrambled.push_back(char16_t(0x4e00 + (i * 37 + i / 40) % 40));
  std::u16string ascending = scrambled;
  std::sort(ascending.begin(), ascending.end());
  for (const std::u16string& units : {scrambled, ascending}) {
    for (bool unicode : {true, false}) {
      GlyphList list = ListOf(units, unicode, codePage);
      std::set<const GlyphEntry*> addresses;
      for (const GlyphEntry& entry : list) addresses.insert(&entry);
      // Expected: places ordered by key, equal keys in their sample order.
      std::vector<std::pair<int32_t, size_t>> keyed;
      size_t place = 0;
      for (const GlyphEntry& entry : list) keyed.emplace_back(KeyOf(entry), place++);
      std::sort(keyed.begin(), keyed.end());
      std::vector<std::u16string> expected;
      for (const auto& [key, at] : keyed)
        expected.push_back(u"#" + std::u16string(1, char16_t(at)));

      list.SortByKey();
      EXPECT_EQ(Places(list), expected) << (unicode ? "unicode" : "ansi");
      std::set<const GlyphEntry*> after;
      for (const GlyphEntry& entry : list) after.insert(&entry);
      EXPECT_EQ(after, addresses);  // the same entries, relinked
    }
  }
}

TEST(GlyphListOrder, MixedKeyChoicesFollowTheLaterEntrysChoice) {
  // Never made by one Generate, but the rule holds: in each merge the later entry's choice
  // decides. 'b' (Unicode key 0x62) then 'a' with an ANSI key: KeyLess(a, b) compares ANSI codes,
  // 0x61 < 0x62, so 'a' goes first.
  const CodePage codePage(1252);
  GlyphList list;
  list.Append(MakeGlyphEntry(u'b', u"#0", true, codePage));
  GlyphEntry a = MakeGlyphEntry(u'a', u"#1", false, codePage);
  list.Append(a);
  list.SortByKey();
  EXPECT_EQ(Places(list), (std::vector<std::u16string>{u"#1", u"#0"}));

  // The later entry's choice decides even where each entry's own key says otherwise: b's
  // Unicode key 0x62 is below a's ANSI key 0x65, but a compares ANSI codes, 0x65 < b's 0x70.
  GlyphList mixed;
  GlyphEntry b = MakeGlyphEntry(u'b', u"#0", true, codePage);
  b.ansiValue = 0x70;
  mixed.Append(b);
  a.ansiValue = 0x65;
  mixed.Append(a);
  mixed.SortByKey();
  EXPECT_EQ(Places(mixed), (std::vector<std::u16string>{u"#1", u"#0"}));
}

}  // namespace
}  // namespace pindot
