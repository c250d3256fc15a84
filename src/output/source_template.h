// The header and source templates of an export and the record that fills their placeholders.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "glyph/generator.h"
#include "glyph/generator_settings.h"
#include "glyph/table_cell.h"

namespace pindot {

// The include guard the header gets for a file title: "KV_", the title with a-z upper-cased and
// every unit that cannot stand in an identifier made "_", then "_H" ("16px-font.v2" ->
// KV_16PX_FONT_V2_H; the "KV_" in front keeps a leading digit valid).
std::string IncludeGuardOf(std::u16string_view fileTitle);

// What the exporter streams between the pieces of the source: the font data text, and with const
// items each table's items, one "\t{.value = ..., .data = ...}" line per entry.
enum class StreamedPart { kData, kThinItems, kWideItems };

// Filled once per export (For), then built (BuildAroundData). Placeholders are "$height$",
// "$thin_width$", "$wide_width$", "$is_ansi$", "$filename$" and, in the source only, "$data$".
class SourceTemplate {
 public:
  // Filled for the generator's last run: its height, both cells' widths (the thin table is
  // declared (W + 1) >> 1 wide, whatever the advance of "a" is), its key kind, its empty tables.
  static SourceTemplate For(const Generator& generator, std::u16string_view fileTitle,
                            bool constItems = false, std::u16string_view name = u"");

  // Fills both texts, header first in the arguments, the source as the pieces around its streamed
  // parts, for a writer that streams `streamedParts[i]` between pieces i and i + 1. The source gets
  // the title as it is (it names the header file), the header gets it as its include guard makes
  // it (IncludeGuardOf). No value is searched for placeholders, so nothing in the title is ever
  // replaced.
  void BuildAroundData(std::u16string& headerText, std::vector<std::u16string>& sourcePieces,
                       std::vector<StreamedPart>& streamedParts) const;
  // The global names the source defines: the font object, the installation function and each
  // present table. Two exports sharing one do not link together.
  std::vector<std::string> ExportedNames() const;

 private:
  // What every name an export defines is made of: the cell, the key kind and the font's own name.
  static SourceTemplate NamedAfter(const GeneratorSettings& settings, std::u16string_view name);
  // Every placeholder but the streamed ones, in one pass each; `title` goes in last, so nothing in
  // it is replaced.
  void FillValues(std::u16string& text, std::u16string_view title) const;

  int32_t height_ = 16;
  int32_t wideWidth_ = 16;
  int32_t thinWidth_ = 8;
  bool isAnsi_ = true;
  std::u16string fileTitle_;
  // The font data text declares no table for an empty list, so the source must not name it:
  // its count becomes 0 and the library gets no items for it.
  bool thinTableEmpty_ = false;
  bool wideTableEmpty_ = false;
  // The items the library is handed are read-only data initialised at compile time instead of
  // arrays filled by loops at installation: a font then takes no RAM per glyph.
  bool constItems_ = false;
  // Every C name of the export made from it (g_NAME, install_NAME, thin_NAME, wide_NAME and their
  // items and records) instead of the height, the widths and the sort; empty: those.
  std::u16string name_;

  friend std::string IncludeGuardOf(std::u16string_view fileTitle);
  friend std::u16string TableNameOf(TableKind kind, const GeneratorSettings& settings,
                                    std::u16string_view name);
};

// The name of a table as the templates make it: "thin_unicode_font8x16", or with a name
// "thin_NAME".
std::u16string TableNameOf(TableKind kind, const GeneratorSettings& settings,
                           std::u16string_view name);

// Whether `text` can be a C name: a letter or "_", then letters, digits and "_" (ASCII only).
bool IsCIdentifier(std::string_view text);

}  // namespace pindot
