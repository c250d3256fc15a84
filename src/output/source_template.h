// The header and source templates of an export and the record that fills their placeholders.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "glyph/generator_settings.h"
#include "glyph/table_cell.h"

namespace pindot {

// What the exporter streams between the pieces of the source: the font data text, and with const
// items each table's items, one "\t{.value = ..., .data = ...}" line per entry.
enum class StreamedPart { kData, kThinItems, kWideItems };

// Filled once per export: set every field, then Build. Placeholders are "$height$",
// "$thin_width$", "$wide_width$", "$is_ansi$", "$filename$" and, in the source only, "$data$".
class SourceTemplate {
 public:
  SourceTemplate() = default;
  virtual ~SourceTemplate() = default;

  void SetHeight(int32_t value) { height_ = value; }
  void SetWideWidth(int32_t value) { wideWidth_ = value; }
  void SetThinWidth(int32_t value) { thinWidth_ = value; }
  void SetIsAnsi(int32_t value) { isAnsi_ = value != 0; }
  void SetFileTitle(std::u16string_view value) { fileTitle_ = value; }
  void SetData(std::u16string_view value) { data_ = value; }
  // The font data text declares no table for an empty list, so the source must not name it:
  // its count becomes 0 and the library gets no items for it.
  void SetThinTableEmpty(bool value) { thinTableEmpty_ = value; }
  void SetWideTableEmpty(bool value) { wideTableEmpty_ = value; }
  // The items the library is handed are read-only data initialised at compile time instead of
  // arrays filled by loops at installation: a font then takes no RAM per glyph.
  void SetConstItems(bool value) { constItems_ = value; }
  // Every C name of the export made from `value` (g_NAME, install_NAME, thin_NAME, wide_NAME and
  // their items and records) instead of the height, the widths and the sort; empty: those.
  void SetName(std::u16string_view value) { name_ = value; }

  // Fills both texts, header first in the arguments. The source is filled first, with the title as
  // it is (it names the header file); the header then gets the title as an identifier for its
  // include guard: a-z upper-cased, anything outside A-Z, 0-9 and "_" made "_"; the stored title
  // stays so. No value is searched for placeholders, so nothing in the data or the title is ever
  // replaced.
  void Build(std::u16string& headerText, std::u16string& sourceText);
  // The same, but the source as the pieces around its streamed parts, for a writer that streams
  // `streamedParts[i]` between pieces i and i + 1; the data set with SetData plays no part.
  void BuildAroundData(std::u16string& headerText, std::vector<std::u16string>& sourcePieces,
                       std::vector<StreamedPart>& streamedParts);
  // The global names the source defines: the font object, the installation function and each
  // present table. Two exports sharing one do not link together.
  std::vector<std::string> ExportedNames() const;

 private:
  // Every placeholder but the streamed ones, in one pass each; `title` goes in last, so nothing in
  // it is replaced.
  void FillValues(std::u16string& text, std::u16string_view title) const;

  int32_t height_ = 16;
  int32_t wideWidth_ = 16;
  int32_t thinWidth_ = 8;
  bool isAnsi_ = true;
  std::u16string fileTitle_;
  std::u16string data_;
  bool thinTableEmpty_ = false;
  bool wideTableEmpty_ = false;
  bool constItems_ = false;
  std::u16string name_;

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
