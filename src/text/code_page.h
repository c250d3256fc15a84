// Windows ANSI code pages (936, 1252, ...) converted through iconv, one UTF-16 unit at a time.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace pindot {

// Every UTF-16 unit maps to at most two bytes; what the code page lacks (lone surrogates included)
// maps to one space byte, as the Windows conversion does with " " as its replacement.
// Conversions are cached per unit, so converting large texts costs one table look-up per unit.
class CodePage {
 public:
  // Throws UserError when iconv has no such Windows code page.
  explicit CodePage(unsigned number);
  ~CodePage();
  CodePage(const CodePage&) = delete;
  CodePage& operator=(const CodePage&) = delete;
  CodePage(CodePage&&) noexcept;
  CodePage& operator=(CodePage&&) noexcept;

  // The bytes of one unit: one or two; a space (0x20) when the code page lacks it.
  std::string_view EncodeUnit(char16_t unit) const;
  // A whole text, unit by unit, appended to `out`.
  void Encode(std::u16string_view text, std::string& out) const;
  // An ASCII text appended to `out`: copied as it is where the code page keeps ASCII, as every
  // ANSI code page does; unit by unit otherwise.
  void EncodeAscii(std::string_view text, std::string& out) const;

 private:
  struct Cache;
  bool asciiKept_ = false;  // ASCII maps to itself, as in every ANSI code page: a fast path
  std::unique_ptr<Cache> cache_;
};

// The code page Windows would pick from the system locale: from PINDOT_CODEPAGE when that is set,
// otherwise from LC_ALL / LC_CTYPE / LANG (zh_CN 936, ja 932, ru 1251, ..., everything else 1252).
// Only the number; opening it may still fail.
unsigned DefaultCodePageNumber();
unsigned CodePageForLocale(std::string_view localeName);

}  // namespace pindot
