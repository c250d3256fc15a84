// The header and source templates of an export and the record that fills their placeholders.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

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

  // Fills both texts and hands out copies, header first. The source is filled first, with the
  // title as it is; the header then gets the title upper-cased (a-z only), and the stored title
  // stays upper-cased. "$data$" goes in last, so nothing inside the data is ever replaced.
  void Build(std::u16string& headerText, std::u16string& sourceText);

  const std::u16string& FileTitle() const { return fileTitle_; }

 private:
  int32_t height_ = 16;
  int32_t wideWidth_ = 16;
  int32_t thinWidth_ = 8;
  bool isAnsi_ = true;
  std::u16string fileTitle_;
  std::u16string data_;
  std::u16string headerText_;
  std::u16string sourceText_;
  bool thinTableEmpty_ = false;
  bool wideTableEmpty_ = false;
};

// The templates before any replacement; every line ends with CR LF.
std::u16string HeaderTemplateText();
// With both tables present this is the template as exported for every usual sample; an empty
// table's count is defined as 0, its items pointer is null and its copy loop is left out (a loop
// `i < 0` over a size_t would be a warning, and so would an unused counter).
std::u16string SourceTemplateText(bool thinTableEmpty = false, bool wideTableEmpty = false);

// Replaces every non-overlapping occurrence of `placeholder`, found left to right, in one pass:
// the inserted text is not searched again. Case-sensitive.
void ReplacePlaceholder(std::u16string& text, std::u16string_view placeholder,
                        std::u16string_view value);

}  // namespace pindot
