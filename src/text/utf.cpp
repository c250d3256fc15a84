#include "text/utf.h"

#include <cstdint>
#include <cstdio>

#include "base/user_error.h"
#include "text/number_text.h"

namespace pindot {

namespace {

void AppendUtf8CodePoint(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

bool IsHighSurrogate(char16_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char16_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}

// The length of the well-formed UTF-8 sequence at `at`, its code point in `cp`; 0 when the bytes
// there are not one (overlong forms, surrogates and values past U+10FFFF are not).
size_t DecodeUtf8(std::string_view bytes, size_t at, char32_t& cp) {
  const auto lead = static_cast<unsigned char>(bytes[at]);
  if (lead < 0x80) {
    cp = lead;
    return 1;
  }
  size_t length = 0;
  char32_t minimum = 0;
  if ((lead & 0xE0) == 0xC0) {
    length = 2, cp = lead & 0x1F, minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, cp = lead & 0x0F, minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, cp = lead & 0x07, minimum = 0x10000;
  }
  if (length == 0 || at + length > bytes.size()) return 0;
  for (size_t k = 1; k < length; ++k) {
    const auto next = static_cast<unsigned char>(bytes[at + k]);
    if ((next & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (next & 0x3F);
  }
  const bool valid = cp >= minimum && cp <= 0x10FFFF && !(cp >= 0xD800 && cp <= 0xDFFF);
  return valid ? length : 0;
}

}  // namespace

void AppendUtf8(std::string& out, std::u16string_view text) {
  out.reserve(out.size() + text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char16_t unit = text[i];
    if (unit < 0x80) {
      out.push_back(static_cast<char>(unit));
    } else if (IsHighSurrogate(unit) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      char32_t cp = 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) +
                    (static_cast<char32_t>(text[i + 1]) - 0xDC00);
      AppendUtf8CodePoint(out, cp);
      ++i;
    } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
      AppendUtf8CodePoint(out, 0xFFFD);
    } else {
      AppendUtf8CodePoint(out, unit);
    }
  }
}

std::string ToUtf8(std::u16string_view text) {
  std::string out;
  AppendUtf8(out, text);
  return out;
}

std::string Printable(std::string_view text) {
  std::string shown;
  for (size_t i = 0; i < text.size();) {
    char32_t cp = 0;
    size_t length = DecodeUtf8(text, i, cp);
    const char* escape = cp == '\n' ? "\\n" : cp == '\r' ? "\\r" : cp == '\t' ? "\\t" : nullptr;
    if (length == 0) {  // not UTF-8: the byte itself
      length = 1;
      cp = static_cast<unsigned char>(text[i]);
      escape = "\\x";
    } else if (escape == nullptr && IsControlCode(cp)) {
      // C1 controls too: U+009B starts a terminal command as ESC [ does.
      escape = cp < 0x80 ? "\\x" : "\\u00";
    }
    if (escape == nullptr) {
      shown.append(text.substr(i, length));
    } else {
      shown += escape;
      if (escape[1] == 'x' || escape[1] == 'u') {
        shown.push_back(kHexDigits[cp >> 4]);
        shown.push_back(kHexDigits[cp & 0xF]);
      }
    }
    i += length;
  }
  return shown;
}

std::string Quoted(std::string_view text) {
  return "\"" + Printable(text) + "\"";
}

void AppendCodePoint(std::u16string& out, char32_t codePoint) {
  if (codePoint < 0x10000) {
    out.push_back(static_cast<char16_t>(codePoint));
  } else {
    codePoint -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (codePoint >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF)));
  }
}

std::u16string FromUtf8(std::string_view bytes, const std::string& what) {
  std::u16string out;
  out.reserve(bytes.size());
  for (size_t i = 0; i < bytes.size();) {
    char32_t cp = 0;
    const size_t length = DecodeUtf8(bytes, i, cp);
    if (length == 0) {
      char offset[32];
      std::snprintf(offset, sizeof offset, "%zu", i);
      throw UserError(what + " is not valid UTF-8 (bad byte sequence at offset " + offset + ")");
    }
    AppendCodePoint(out, cp);
    i += length;
  }
  return out;
}

}  // namespace pindot
