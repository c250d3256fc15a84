#include "glyph/glyph_entry.h"

#include "text/code_page.h"
#include "text/number_text.h"

namespace pindot {

namespace {

// "0x%04x": at least four lower-case digits; code numbers never need more.
std::u16string FormatCode(uint32_t value) {
  std::u16string text = u"0x";
  AppendHex(text, value, 4);
  return text;
}

int HexDigitValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

struct CharacterCodes {
  std::u16string unicodeText;
  std::u16string ansiText;
};

CharacterCodes FormatCharacterCodes(char16_t unit, const CodePage& codePage) {
  std::string_view bytes = codePage.EncodeUnit(unit);
  // The first byte is the low half: a lead byte D6 with trail D0 gives 0xd0d6.
  uint32_t ansi = 0;
  if (!bytes.empty()) ansi = static_cast<unsigned char>(bytes[0]);
  if (bytes.size() > 1) ansi |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[1])) << 8;
  return CharacterCodes{FormatCode(unit), FormatCode(ansi)};
}

}  // namespace

int32_t ParseCodeText(std::u16string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == u' ' || (text[i] >= u'\t' && text[i] <= u'\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
    negative = text[i] == u'-';
    ++i;
  }
  // "0x" counts as a prefix only when a digit follows; otherwise the "0" is the number.
  if (i + 2 < text.size() && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X') &&
      HexDigitValue(text[i + 2]) >= 0) {
    i += 2;
  }
  int64_t value = 0;
  for (; i < text.size() && HexDigitValue(text[i]) >= 0; ++i) {
    value = value * 16 + HexDigitValue(text[i]);
    if (value > INT32_MAX) value = INT64_C(0x80000000);  // saturates; code texts never get here
  }
  if (negative) value = -value;
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(value);
}

GlyphEntry MakeGlyphEntry(char16_t unit, std::u16string dataText, bool sortByUnicode,
                          const CodePage& codePage) {
  GlyphEntry entry;
  CharacterCodes codes = FormatCharacterCodes(unit, codePage);
  entry.unicodeText = std::move(codes.unicodeText);
  entry.ansiText = std::move(codes.ansiText);
  entry.dataText = std::move(dataText);
  entry.character.assign(1, unit);
  entry.keyIsUnicode = sortByUnicode;
  entry.unicodeValue = ParseCodeText(entry.unicodeText);
  entry.ansiValue = ParseCodeText(entry.ansiText);
  return entry;
}

bool KeyLess(const GlyphEntry& a, const GlyphEntry& b) {
  return a.keyIsUnicode ? a.unicodeValue < b.unicodeValue : a.ansiValue < b.ansiValue;
}

bool KeyEquals(const GlyphEntry& a, const GlyphEntry& b) {
  return a.keyIsUnicode ? a.unicodeValue == b.unicodeValue : a.ansiValue == b.ansiValue;
}

}  // namespace pindot
