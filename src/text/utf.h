// Conversions between the UTF-16 texts of the core and the UTF-8 of terminals, files and paths.
#pragma once

#include <string>
#include <string_view>

namespace pindot {

// C0 and C1 control codes and DEL (U+0000..U+001F, U+007F..U+009F): no face draws them, no
// character set is sampled for them, and none reaches a terminal as it is.
constexpr bool IsControlCode(char32_t codePoint) {
  return codePoint < 0x20 || (codePoint >= 0x7F && codePoint <= 0x9F);
}

// A lone surrogate becomes U+FFFD; everything else converts exactly.
std::string ToUtf8(std::u16string_view text);
void AppendUtf8(std::string& out, std::u16string_view text);

// Throws UserError naming `what` when the bytes are not well-formed UTF-8.
std::u16string FromUtf8(std::string_view bytes, const std::string& what = "text");

// A name as a message shows it, on one line and sending the terminal nothing it would act on:
// control characters as C escapes ("\\n", "\\x1b", C1 ones "\\u009b"), bytes that are not UTF-8 as
// "\\xff". Printable text is left as it is, so a message can be passed through it twice.
std::string Printable(std::string_view text);
// The same between double quotes, as messages name files and values: "out/song16.h".
std::string Quoted(std::string_view text);

// Appends one code point (0..0x10FFFF) as one or two UTF-16 units: up to U+FFFF as one unit,
// surrogate code points too, since every unit is drawn on its own.
void AppendCodePoint(std::u16string& out, char32_t codePoint);

}  // namespace pindot
