#include "text/character_set.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "base/user_error.h"
#include "text/code_page.h"

namespace pindot {
namespace {

// Ranges are parsed, and bad ones reported, in the pindot runs above.
TEST(CharacterSet, RangesAppendEveryCodePoint) {
  // Surrogate code points stay single units; beyond U+FFFF each character is a pair.
  std::u16string text;
  AppendCharacterRange(text, {0xD7FF, 0xD800});
  AppendCharacterRange(text, {0xFFFF, 0x10001});
  EXPECT_EQ(text, (std::u16string{0xD7FF, 0xD800, 0xFFFF, 0xD800, 0xDC00, 0xD800, 0xDC01}));
}

// Every occurrence goes; a pair is one character (its lone halves stay unless named alone).
TEST(CharacterSet, RemovedCharactersLeaveEveryOccurrence) {
  const std::u16string pair = u"\U0001F600";  // D83D DE00
  const std::tuple<std::u16string, std::u16string, std::vector<CharacterRange>, std::u16string>
      cases[] = {
          // sample, characters, ranges, what stays
          {u"a\uffe3b\uffe3", u"\uffe3", {}, u"ab"},
          {u"abcABC", u"", {{0x41, 0x42}, {0x63, 0x63}}, u"abC"},
          {u"x" + pair + u"\xd83d", pair, {}, u"x\xd83d"},
          {u"x" + pair + u"y", u"", {{0x1F600, 0x1F600}}, u"xy"},
          {u"x" + pair, u"\xd83d", {}, u"x" + pair},
      };
  for (const auto& [sample, characters, ranges, kept] : cases) {
    std::u16string text = sample;
    RemoveCharacters(text, characters, ranges);
    EXPECT_EQ(text, kept);
  }
}

TEST(CharacterSet, SetsAppendEveryCharacterInCodeOrderWithoutControlCodes) {
  // ASCII, then CP1252's 123 bytes from 0x80 (euro) to 0xFF; ISO-8859-1 without its C1 controls.
  std::u16string western;
  AppendCharacterSet(western, "CP1252");
  AppendCharacterSet(western, "ISO-8859-1");
  EXPECT_EQ(western.size(), 95u + 123u + 95u + 96u);
  EXPECT_EQ(western.substr(0, 2) + western.substr(93, 4) + western[217], u" !}~\u20ac\u201a\u00ff");
  // GB2312 after a few units: ASCII, then 7,445 characters from A1A1 (U+3000) to F7FE (U+9F44).
  std::u16string text = u"1234567";
  AppendCharacterSet(text, "GB2312");
  EXPECT_EQ(text.size(), 7u + 95u + 7445u);
  EXPECT_EQ(text.substr(100, 3) + text.back(), u"}~\u3000\u9f44");
  EXPECT_THROW(AppendCharacterSet(text, "UTF-32LE"), UserError);  // nothing in one or two bytes
}

// The sets Windows reads through a code page: one character per code, which the code page writes
// with exactly the bytes of that code, so each entry keeps its own ANSI key (a character the code
// page lacks would be a second 0x20). Where glibc's table differs, the code page's character
// counts.
TEST(CharacterSet, WindowsSetsHoldTheCodePageCharacterOfEachCode) {
  const std::tuple<const char*, unsigned, size_t, std::u16string> cases[] = {
      // glibc: A1A4 U+30FB (no character to 936), A1AA U+2015 (A844 to 936).
      {"GB2312", 936, 95 + 7445, u"\u00b7\u2014"},
      // iconv's CP950 is glibc's BIG5, but A2CC (U+5341, written A451) and the box drawings
      // F9E9..F9EB, F9F9..F9FD repeat a character written elsewhere; A2A4 is U+2550.
      {"BIG5", 950, 95 + 13911 - 10, u"\u5341\u2550"},
      // glibc: 5C U+00A5, 7E U+203E, 8160 U+301C, ... 8191 U+00A2 (8 codes differ).
      {"SHIFT_JIS", 932, 95 + 63 + 6879, u"\\~\uff5e\uffe0"},
      // glibc's A2E8 (U+327E, added to KS X 1001 in 2002) is no character to code page 949.
      {"EUC-KR", 949, 95 + 8227 - 1, u"\u3000\u8a70"},
  };
  for (const auto& [name, number, count, present] : cases) {
    std::u16string text;
    AppendCharacterSet(text, name);
    EXPECT_EQ(text.size(), count) << name;
    EXPECT_EQ(text[0], u' ') << name;
    const CodePage codePage(number);
    std::string previous;
    for (char16_t unit : text) {
      const std::string bytes(codePage.EncodeUnit(unit));  // its ANSI key, read little-endian
      EXPECT_LT(previous, bytes) << name << " U+" << std::hex << static_cast<int>(unit);
      previous = bytes;
    }
    for (char16_t unit : present) {
      EXPECT_NE(text.find(unit), text.npos) << name << " U+" << std::hex << static_cast<int>(unit);
    }
  }
}

// iconv's names for the four sets, in any case and with its suffixes, are read the same way; an
// empty name, which iconv would read as the locale's character set, is refused.
TEST(CharacterSet, WindowsSetsAreKnownByEveryIconvSpelling) {
  const std::pair<std::string, std::string> spellings[] = {
      {"gb2312", "GB2312"},  {" csGB2312//", "GB2312"},     {"Big-5", "BIG5"},
      {"sjis", "SHIFT_JIS"}, {"euckr//TRANSLIT", "EUC-KR"},
  };
  for (const auto& [spelling, name] : spellings) {
    std::u16string spelled, named;
    AppendCharacterSet(spelled, spelling);
    AppendCharacterSet(named, name);
    EXPECT_EQ(spelled, named) << spelling;
  }
  std::u16string text;
  for (const char* empty : {"", " //"}) EXPECT_THROW(AppendCharacterSet(text, empty), UserError);
}

}  // namespace
}  // namespace pindot
