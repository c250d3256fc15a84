#include "text/code_page.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "base/user_error.h"

namespace pindot {
namespace {

std::string UnitByUnit(const CodePage& codePage, std::u16string_view text) {
  std::string bytes;
  for (char16_t unit : text) bytes.append(codePage.EncodeUnit(unit));
  return bytes;
}

// A unit the code page lacks, a lone surrogate half too, is a space.
TEST(CodePage, EncodesUnitByUnitWithASpaceForWhatIsMissing) {
  const std::tuple<unsigned, std::u16string, std::string> cases[] = {
      {936, u"a\u4e2d\r\n\u00e9\xd83d\xde00", std::string("a\xd6\xd0\r\n\xa8\xa6  ", 9)},
      {1252, u"\u4e2d\u00e9\u20ac", " \xe9\x80"},
      {932, u"\u30a2\u00a5", "\x83\x41\x5c"},
  };
  for (const auto& [number, text, bytes] : cases) {
    EXPECT_EQ(UnitByUnit(CodePage(number), text), bytes) << number;
  }
  EXPECT_THROW(CodePage(12345), UserError);
}

// Whole texts convert exactly as their units do one by one, across every block and buffer edge.
TEST(CodePage, EncodesTextsAsTheirUnits) {
  const CodePage gbk(936);
  // U+4E2D is D6 D0 in code page 936, U+00E9 is A8 A6 (not its Latin-1 byte E9); U+0E01 (Thai) is
  // not in it and becomes a space.
  const std::u16string ascii(5000, u'x');
  std::vector<std::u16string> cases = {u"", u"a\u4e2db\u00e9\u0e01", ascii,
                                       std::u16string(3000, u'\u4e2d')};
  // One unit that is not ASCII at the edges of the 64-unit blocks and of the 4096-byte buffer.
  for (size_t at : {0, 1, 63, 64, 65, 127, 128, 2047, 2048, 4095, 4096, 4999}) {
    for (char16_t unit : {u'\u4e2d', u'\u0e01', u'\u00e9'}) {
      cases.push_back(ascii);
      cases.back()[at] = unit;
    }
  }
  for (const std::u16string& text : cases) {
    std::string bytes = "pre";  // appended to, never replaced
    gbk.Encode(text, bytes);
    EXPECT_EQ(bytes, "pre" + UnitByUnit(gbk, text)) << text.size();
  }
}

TEST(CodePage, DefaultFollowsTheLocaleAndTheEnvironment) {
  const std::pair<const char*, unsigned> cases[] = {
      {"zh_CN.UTF-8", 936},  {"zh_TW.UTF-8", 950}, {"ja_JP.UTF-8", 932},  {"ko_KR", 949},
      {"ru_RU.UTF-8", 1251}, {"tr_TR", 1254},      {"pl_PL.UTF-8", 1250}, {"th_TH", 874},
      {"de_DE@euro", 1252},  {"C", 1252},
  };
  for (const auto& [locale, codePage] : cases) EXPECT_EQ(CodePageForLocale(locale), codePage);

  setenv("LC_ALL", "ja_JP.UTF-8", 1);
  setenv("PINDOT_CODEPAGE", "936", 1);
  EXPECT_EQ(DefaultCodePageNumber(), 936u);
  unsetenv("PINDOT_CODEPAGE");
  EXPECT_EQ(DefaultCodePageNumber(), 932u);
  setenv("PINDOT_CODEPAGE", "0936", 1);  // decimal, not octal
  EXPECT_EQ(DefaultCodePageNumber(), 936u);
  setenv("PINDOT_CODEPAGE", "0x3a8", 1);
  EXPECT_EQ(DefaultCodePageNumber(), 936u);
  setenv("PINDOT_CODEPAGE", "gbk", 1);
  EXPECT_THROW(DefaultCodePageNumber(), UserError);
  unsetenv("PINDOT_CODEPAGE");
  unsetenv("LC_ALL");
}

}  // namespace
}  // namespace pindot
