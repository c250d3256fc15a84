#include "text/character_set.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <memory>

#include "text/user_error.h"

namespace pindot {

namespace {

constexpr char32_t kLastCodePoint = 0x10FFFF;

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

std::string HexText(uint64_t value) {
  static const char kDigits[] = "0123456789abcdef";
  std::string digits;
  do {
    digits.insert(digits.begin(), kDigits[value % 16]);
    value /= 16;
  } while (value != 0);
  return "0x" + digits;
}

[[noreturn]] void ThrowRangeError(std::string_view text, const std::string& reason) {
  throw UserError("character range \"" + std::string(text) + "\": " + reason);
}

// One end of a range: hexadecimal after 0x, otherwise decimal.
char32_t ParseRangeEnd(std::string_view whole, std::string_view text) {
  text = TrimBlanks(text);
  int base = 10;
  std::string_view digits = text;
  if (digits.size() >= 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
    base = 16;
    digits.remove_prefix(2);
  }
  if (digits.empty()) {
    ThrowRangeError(whole, "expected A-B with A and B decimal or hexadecimal after 0x");
  }
  uint64_t value = 0;
  for (char c : digits) {
    int digit = -1;
    if (c >= '0' && c <= '9') digit = c - '0';
    if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    if (digit < 0) {
      ThrowRangeError(whole, "\"" + std::string(text) + "\" is not a " +
                                 (base == 16 ? "hexadecimal" : "decimal") + " number");
    }
    value = value * base + digit;
    if (value > kLastCodePoint) {
      ThrowRangeError(whole, "\"" + std::string(text) + "\" is beyond the last code point " +
                                 HexText(kLastCodePoint));
    }
  }
  return static_cast<char32_t>(value);
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

void AppendCharacter(std::u16string& out, char32_t codePoint) {
  if (codePoint <= 0xFFFF) {
    out.push_back(static_cast<char16_t>(codePoint));
  } else {
    codePoint -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (codePoint >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF)));
  }
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
    AppendCharacter(out, codePoint);
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
      if (!IsControlCode(codePoint)) AppendCharacter(out, codePoint);
      continue;
    }
    if (single != Decoded::kIncomplete) continue;
    for (unsigned trail = 0; trail <= 0xFF; ++trail) {
      bytes[1] = static_cast<unsigned char>(trail);
      if (DecodeSequence(*descriptor, bytes, 2, codePoint) == Decoded::kCharacter &&
          !IsControlCode(codePoint)) {
        AppendCharacter(out, codePoint);
      }
    }
  }
  if (out.size() == before) {
    throw UserError("character set \"" + name + "\" encodes no character in one or two bytes");
  }
}

}  // namespace pindot
