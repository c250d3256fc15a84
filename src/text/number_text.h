// Numbers as Pindot writes and reads them: hexadecimal and decimal digits, "U+XXXX" names.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pindot {

// Lower-case digits, as every generated text writes hexadecimal.
inline constexpr char kHexDigits[] = "0123456789abcdef";
// Upper-case digits, as characters are named to people ("U+4E2D") and as some formats write codes.
inline constexpr char kUpperHexDigits[] = "0123456789ABCDEF";

// "\ooo", the C escape of a byte: 0x1b -> "\033".
void AppendOctalEscape(std::string& text, uint8_t byte);

// A space, a tab or a carriage return: what people leave around the values they type.
bool IsBlank(char c);
// `text` without the blanks at either end.
std::string_view TrimBlanks(std::string_view text);

// `value` in lower-case hexadecimal, zero-padded to at least `minimumDigits` digits, no prefix.
void AppendHex(std::u16string& text, uint64_t value, int minimumDigits = 1);
void AppendHex(std::string& text, uint64_t value, int minimumDigits = 1);
// "0x" and at least one digit: HexText(255) is "0xff".
std::string HexText(uint64_t value);

// Signed decimal, no leading zeros, a sign only when negative.
void AppendDecimal(std::u16string& text, int64_t value);

// "U+0041", "U+1F600": upper-case digits, at least four, as characters are named to people.
std::string CodePointName(char32_t codePoint);

// A whole number as people type it on a command line: decimal ("010" is ten), or hexadecimal after
// "0x" or "0X". Nothing for an empty text, other characters, or a value above `maximum`.
std::optional<uint64_t> ParseNumber(std::string_view text, uint64_t maximum = UINT64_MAX);

}  // namespace pindot
