// The header and source templates of an export and the record that fills their placeholders.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pindot {

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

  // Fills both texts, header first in the arguments. The source is filled first, with the title as
  // it is (it names the header file); the header then gets the title as an identifier for its
  // include guard: a-z upper-cased, anything outside A-Z, 0-9 and "_" made "_"; the stored title
  // stays so. "$data$" goes in last, so nothing inside the data is ever replaced.
  void Build(std::u16string& headerText, std::u16string& sourceText);
  // The same, but the source as the pieces around each place of "$data$", for a writer that
  // streams the data between them; the data set with SetData plays no part.
  void BuildAroundData(std::u16string& headerText, std::vector<std::u16string>& sourcePieces);

 private:
  int32_t height_ = 16;
  int32_t wideWidth_ = 16;
  int32_t thinWidth_ = 8;
  bool isAnsi_ = true;
  std::u16string fileTitle_;
  std::u16string data_;
  bool thinTableEmpty_ = false;
  bool wideTableEmpty_ = false;
};

}  // namespace pindot
