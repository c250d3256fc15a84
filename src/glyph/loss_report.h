// What a run lost without being asked to, kind by kind, and its lines for the user to read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "glyph/generator.h"
#include "glyph/table_cell.h"
#include "text/string_table.h"

namespace pindot {

// How many characters a line about a loss names before it says how many more there are.
constexpr size_t kCharactersListed = 8;

struct LossReport {
  std::u16string family;             // the face that drew, as the messages name it
  std::vector<char16_t> missing;     // the face has no glyph: drawn as its glyph 0
  std::vector<char16_t> leftOut[2];  // per table: ANSI code of an earlier character
  std::vector<char16_t> cut[2];      // per table: wider or taller than the cell
  TableCell cells[2];                // thin, wide
  bool referenceMissing = false;     // "中", which cells are measured on, is missing:
  TableCell referenceBox;            // the missing-glyph box it was measured as
  std::optional<int> askedHeight;    // a bitmap face had no strike of this height...
  std::optional<int> strikeHeight;   // ...and drew with this one

  // Characters that do not come out as asked: missing, left out or cut. What --strict fails on.
  bool LostCharacters() const;
  // Nothing at all to tell.
  bool Empty() const;
};

// The generator's part of the report: the entries left out and cut, per table.
LossReport FindLosses(const Generator& generator);

struct LossLines {
  std::vector<std::u16string> lines;  // one per kind of loss and table
  bool shortened = false;             // some list of characters named only its first few
};

// One line per kind, in the language, each naming the first eight characters it is about (all of
// them when `listAll`, and `moreHint` after a shortened list): `"DejaVu Sans" has no glyph for 2
// characters of the sample text, drawn as its glyph 0: U+4E2D "中", U+56FD "国"`.
LossLines DescribeLosses(const LossReport& report, Language language, bool listAll,
                         std::u16string_view moreHint = {});

}  // namespace pindot
