#include "text/code_page.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "base/user_error.h"

namespace pindot {
namespace {

TEST(CodePage, EncodesUnitByUnitWithASpaceForWhatIsMissing) {
  EXPECT_EQ(CodePage(936).Encode(u"a\u4e2d\r\n\u00e9\xd83d\xde00"),
            std::string("a\xd6\xd0\r\n\xa8\xa6  ", 9));
  EXPECT_EQ(CodePage(1252).Encode(u"\u4e2d\u00e9"), " \xe9");
  EXPECT_EQ(CodePage(932).Encode(u"\u30a2"), "\x83\x41");
  try {
    CodePage unknown(12345);
    FAIL() << "code page 12345 opened";
  } catch (const UserError& error) {
    EXPECT_NE(std::string(error.what()).find("unknown code page 12345"), std::string::npos);
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
