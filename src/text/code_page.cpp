#include "text/code_page.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

#include "base/user_error.h"
#include "text/number_text.h"

namespace pindot {

namespace {

struct UnitBytes {
  char bytes[2] = {0, 0};
  uint8_t length = 0;  // 0: not converted yet
};

}  // namespace

struct CodePage::Cache {
  iconv_t converter = reinterpret_cast<iconv_t>(-1);
  std::vector<UnitBytes> units = std::vector<UnitBytes>(0x10000);

  ~Cache() {
    if (converter != reinterpret_cast<iconv_t>(-1)) iconv_close(converter);
  }
};

CodePage::CodePage(unsigned number) : cache_(std::make_unique<Cache>()) {
  std::string name = "CP" + std::to_string(number);
  cache_->converter = iconv_open(name.c_str(), "UTF-16LE");
  if (cache_->converter == reinterpret_cast<iconv_t>(-1)) {
    throw UserError("unknown code page " + std::to_string(number) +
                    ": the system's iconv has no converter for " + name);
  }
  asciiKept_ = true;
  for (char16_t unit = 0; unit < 0x80; ++unit) {
    std::string_view bytes = EncodeUnit(unit);
    asciiKept_ = asciiKept_ && bytes.size() == 1 && bytes[0] == static_cast<char>(unit);
  }
}

CodePage::~CodePage() = default;
CodePage::CodePage(CodePage&&) noexcept = default;
CodePage& CodePage::operator=(CodePage&&) noexcept = default;

std::string_view CodePage::EncodeUnit(char16_t unit) const {
  UnitBytes& cached = cache_->units[unit];
  if (cached.length == 0) {
    char input[2] = {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
    char output[32] = {};
    char* in = input;
    size_t inLeft = sizeof input;
    char* out = output;
    size_t outLeft = 30;
    iconv(cache_->converter, nullptr, nullptr, nullptr, nullptr);
    size_t result = iconv(cache_->converter, &in, &inLeft, &out, &outLeft);
    size_t written = 30 - outLeft;
    // A unit the code page lacks (a lone surrogate too) becomes the replacement " ". So does one
    // that would need more than two bytes, which no Windows code page does.
    if (result == static_cast<size_t>(-1) || written == 0 || written > 2) {
      cached.bytes[0] = ' ';
      cached.length = 1;
    } else {
      cached.bytes[0] = output[0];
      cached.bytes[1] = output[1];
      cached.length = static_cast<uint8_t>(written);
    }
  }
  return std::string_view(cached.bytes, cached.length);
}

void CodePage::Encode(std::u16string_view text, std::string& out) const {
  out.reserve(out.size() + text.size());
  // Bytes are gathered in a small buffer and appended a few thousand at a time: a font data text
  // is megabytes of units, and a growth check per byte cost more than the conversion. Most of it
  // is ASCII, so blocks of ASCII units are narrowed whole, in loops the compiler vectorises.
  constexpr size_t kBlock = 64;
  char buffer[4096];
  size_t used = 0;
  const char16_t* next = text.data();
  const char16_t* const end = next + text.size();
  bool asciiLately = true;
  const UnitBytes* const units = cache_->units.data();
  while (next != end) {
    if (used + 2 * kBlock > sizeof buffer) {
      out.append(buffer, used);
      used = 0;
    }
    if (asciiKept_ && asciiLately && static_cast<size_t>(end - next) >= kBlock) {
      char16_t bits = 0;
      for (size_t i = 0; i < kBlock; ++i) bits |= next[i];
      if (bits < 0x80) {
        for (size_t i = 0; i < kBlock; ++i) buffer[used + i] = static_cast<char>(next[i]);
        used += kBlock;
        next += kBlock;
        continue;
      }
    }
    // A block with other units, or the last few units: one at a time. A text of CJK units goes
    // this way throughout, without trying blocks, until an ASCII unit ends a block again.
    for (const char16_t* stop = next + std::min<size_t>(kBlock, end - next); next != stop; ++next) {
      const char16_t unit = *next;
      if (unit < 0x80 && asciiKept_) {
        buffer[used++] = static_cast<char>(unit);
      } else {
        const UnitBytes& cached = units[unit];
        if (cached.length == 0) EncodeUnit(unit);  // converts it once and caches it
        buffer[used++] = cached.bytes[0];
        if (cached.length > 1) buffer[used++] = cached.bytes[1];
      }
    }
    asciiLately = next[-1] < 0x80;
  }
  out.append(buffer, used);
}

void CodePage::EncodeAscii(std::string_view text, std::string& out) const {
  if (asciiKept_) {
    out.append(text);
    return;
  }
  for (char c : text) out.append(EncodeUnit(static_cast<char16_t>(static_cast<unsigned char>(c))));
}

unsigned CodePageForLocale(std::string_view localeName) {
  // "zh_CN.UTF-8@euro" -> language "zh", territory "CN"
  std::string_view name = localeName.substr(0, localeName.find_first_of(".@"));
  std::string_view language = name.substr(0, name.find('_'));
  std::string_view territory =
      name.find('_') == std::string_view::npos ? "" : name.substr(name.find('_') + 1);

  struct LanguagePage {
    const char* language;
    unsigned codePage;
  };
  static const LanguagePage kPages[] = {
      {"ja", 932},  {"ko", 949},  {"ru", 1251}, {"uk", 1251}, {"be", 1251}, {"bg", 1251},
      {"mk", 1251}, {"sr", 1251}, {"kk", 1251}, {"ky", 1251}, {"tt", 1251}, {"mn", 1251},
      {"el", 1253}, {"tr", 1254}, {"az", 1254}, {"he", 1255}, {"iw", 1255}, {"ar", 1256},
      {"fa", 1256}, {"ur", 1256}, {"lt", 1257}, {"lv", 1257}, {"et", 1257}, {"vi", 1258},
      {"th", 874},  {"cs", 1250}, {"pl", 1250}, {"hu", 1250}, {"sk", 1250}, {"sl", 1250},
      {"hr", 1250}, {"ro", 1250}, {"sq", 1250}, {"bs", 1250},
  };
  if (language == "zh") {
    return territory == "TW" || territory == "HK" || territory == "MO" ? 950 : 936;
  }
  for (const LanguagePage& page : kPages) {
    if (language == page.language) return page.codePage;
  }
  return 1252;
}

unsigned DefaultCodePageNumber() {
  if (const char* forced = std::getenv("PINDOT_CODEPAGE"); forced != nullptr && *forced != '\0') {
    // Decimal or hexadecimal after 0x, as every number Pindot reads: "01252" is 1252.
    const std::optional<uint64_t> number = ParseNumber(forced, UINT32_MAX);
    if (!number || *number == 0) {
      throw UserError(std::string("PINDOT_CODEPAGE \"") + forced +
                      "\" is not a code page number such as 936 or 1252");
    }
    return static_cast<unsigned>(*number);
  }
  for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') return CodePageForLocale(value);
  }
  return 1252;
}

}  // namespace pindot
