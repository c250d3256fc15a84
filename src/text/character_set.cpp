#include "text/character_set.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <memory>
#include <optional>

#include "base/user_error.h"
#include "text/number_text.h"
#include "text/utf.h"

namespace pindot {

namespace {

constexpr char32_t kLastCodePoint = 0x10FFFF;

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

[[noreturn]] void ThrowRangeError(std::string_view text, const std::string& reason) {
  throw UserError("character range \"" + std::string(text) + "\": " + reason);
}

// One end of a range: hexadecimal after 0x, otherwise decimal.
char32_t ParseRangeEnd(std::string_view whole, std::string_view text) {
  text = TrimBlanks(text);
  if (std::optional<uint64_t> value = ParseNumber(text, kLastCodePoint)) {
    return static_cast<char32_t>(*value);
  }
  const bool hexadecimal = text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  const std::string_view digits = text.substr(hexadecimal ? 2 : 0);
  if (digits.empty()) {
    ThrowRangeError(whole, "expected A-B with A and B decimal or hexadecimal after 0x");
  }
  const std::string_view allowed = hexadecimal ? "0123456789abcdefABCDEF" : "0123456789";
  if (digits.find_first_not_of(allowed) != std::string_view::npos) {
    ThrowRangeError(whole, "\"" + std::string(text) + "\" is not a " +
                               (hexadecimal ? "hexadecimal" : "decimal") + " number");
  }
  ThrowRangeError(whole, "\"" + std::string(text) + "\" is beyond the last code point " +
                             HexText(kLastCodePoint));
}

struct IconvCloser {
  void operator()(iconv_t* descriptor) const {
    iconv_close(*descriptor);
    delete descriptor;
  }
};
using IconvHandle = std::unique_ptr<iconv_t, IconvCloser>;

bool IsControlCode(char32_t codePoint) {
  return codePoint < 0x20 || (codePoint >= 0x7F && codePoint <= 0x9F);
}

enum class Decoded { kCharacter, kIncomplete, kNothing };

// Decodes one byte sequence completely; kCharacter when it is exactly one code point.
Decoded DecodeSequence(iconv_t descriptor, const unsigned char* bytes, size_t count,
                       char32_t& codePoint) {
  iconv(descriptor, nullptr, nullptr, nullptr, nullptr);  // back to the initial shift state
  char input[2] = {static_cast<char>(bytes[0]), count > 1 ? static_cast<char>(bytes[1]) : '\0'};
  unsigned char output[16];
  char* in = input;
  size_t inLeft = count;
  char* out = reinterpret_cast<char*>(output);
  size_t outLeft = sizeof output;
  if (iconv(descriptor, &in, &inLeft, &out, &outLeft) == static_cast<size_t>(-1)) {
    return errno == EINVAL ? Decoded::kIncomplete : Decoded::kNothing;
  }
  if (iconv(descriptor, nullptr, nullptr, &out, &outLeft) == static_cast<size_t>(-1)) {
    return Decoded::kNothing;
  }
  if (sizeof output - outLeft != 4) return Decoded::kNothing;
  codePoint = static_cast<char32_t>(output[0] | output[1] << 8 | output[2] << 16 |
                                    static_cast<uint32_t>(output[3]) << 24);
  return Decoded::kCharacter;
}

}  // namespace

CharacterRange ParseCharacterRange(std::string_view text) {
  std::string_view trimmed = TrimBlanks(text);
  if (trimmed.empty()) ThrowRangeError(text, "empty; expected A-B, e.g. 0x20-0x7e");
  size_t dash = trimmed.find('-');
  if (dash == std::string_view::npos) {
    ThrowRangeError(text, "expected A-B, two numbers joined by \"-\"");
  }
  CharacterRange range;
  range.first = ParseRangeEnd(text, trimmed.substr(0, dash));
  range.last = ParseRangeEnd(text, trimmed.substr(dash + 1));
  if (range.first > range.last) {
    ThrowRangeError(text, "reversed: " + HexText(range.first) + " is above " + HexText(range.last));
  }
  return range;
}

void AppendCharacterRange(std::u16string& out, const CharacterRange& range) {
  for (char32_t codePoint = range.first;; ++codePoint) {
    AppendCodePoint(out, codePoint);
    if (codePoint == range.last) break;
  }
}

void AppendCharacterSet(std::u16string& out, const std::string& name) {
  iconv_t opened = iconv_open("UTF-32LE", name.c_str());
  if (opened == reinterpret_cast<iconv_t>(-1)) {
    throw UserError("unknown character set \"" + name + "\": iconv cannot convert from it");
  }
  IconvHandle descriptor(new iconv_t(opened));
  size_t before = out.size();
  unsigned char bytes[2];
  char32_t codePoint = 0;
  for (unsigned lead = 0; lead <= 0xFF; ++lead) {
    bytes[0] = static_cast<unsigned char>(lead);
    Decoded single = DecodeSequence(*descriptor, bytes, 1, codePoint);
    if (single == Decoded::kCharacter) {
      if (!IsControlCode(codePoint)) AppendCodePoint(out, codePoint);
      continue;
    }
    if (single != Decoded::kIncomplete) continue;
    for (unsigned trail = 0; trail <= 0xFF; ++trail) {
      bytes[1] = static_cast<unsigned char>(trail);
      if (DecodeSequence(*descriptor, bytes, 2, codePoint) == Decoded::kCharacter &&
          !IsControlCode(codePoint)) {
        AppendCodePoint(out, codePoint);
      }
    }
  }
  if (out.size() == before) {
    throw UserError("character set \"" + name + "\" encodes no character in one or two bytes");
  }
}

}  // namespace pindot
