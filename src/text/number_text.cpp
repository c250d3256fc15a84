#include "text/number_text.h"

namespace pindot {

namespace {

template <typename Text>
void AppendHexDigits(Text& text, uint64_t value, int minimumDigits, const char* digits) {
  int count = 1;
  while (count < 16 && (value >> (4 * count)) != 0) ++count;
  if (count < minimumDigits) count = minimumDigits;
  for (int shift = 4 * (count - 1); shift >= 0; shift -= 4) {
    text.push_back(
        static_cast<typename Text::value_type>(shift < 64 ? digits[(value >> shift) & 0xF] : '0'));
  }
}

int DigitValue(char c, int base) {
  int digit = -1;
  if (c >= '0' && c <= '9') digit = c - '0';
  if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
  if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
  return digit < base ? digit : -1;
}

}  // namespace

void AppendHex(std::u16string& text, uint64_t value, int minimumDigits) {
  AppendHexDigits(text, value, minimumDigits, kHexDigits);
}

void AppendHex(std::string& text, uint64_t value, int minimumDigits) {
  AppendHexDigits(text, value, minimumDigits, kHexDigits);
}

std::string HexText(uint64_t value) {
  std::string text = "0x";
  AppendHex(text, value);
  return text;
}

void AppendDecimal(std::u16string& text, int64_t value) {
  // The magnitude is taken unsigned, so the lowest value negates safely.
  uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  char digits[20];
  int count = 0;
  do {
    digits[count++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (value < 0) text.push_back(u'-');
  while (count > 0) text.push_back(static_cast<char16_t>(digits[--count]));
}

void AppendOctalEscape(std::string& text, uint8_t byte) {
  const char escape[4] = {'\\', static_cast<char>('0' + (byte >> 6)),
                          static_cast<char>('0' + ((byte >> 3) & 7)),
                          static_cast<char>('0' + (byte & 7))};
  text.append(escape, 4);
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r';
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::string CodePointName(char32_t codePoint) {
  std::string name = "U+";
  AppendHexDigits(name, codePoint, 4, kUpperHexDigits);
  return name;
}

std::optional<uint64_t> ParseNumber(std::string_view text, uint64_t maximum) {
  int base = 10;
  if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty()) return std::nullopt;
  uint64_t value = 0;
  for (char c : text) {
    const int digit = DigitValue(c, base);
    if (digit < 0 || static_cast<uint64_t>(digit) > maximum ||
        value > (maximum - static_cast<uint64_t>(digit)) / base) {
      return std::nullopt;
    }
    value = value * base + static_cast<uint64_t>(digit);
  }
  return value;
}

}  // namespace pindot
