#include "text/code_page.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "text/user_error.h"
#include "text/utf.h"

namespace pindot {
namespace {

TEST(CodePage, UnknownNumberIsAClearError) {
  try {
    CodePage codePage(12345);
    FAIL() << "code page 12345 opened";
  } catch (const UserError& error) {
    EXPECT_NE(std::string(error.what()).find("unknown code page 12345"), std::string::npos);
  }
}

TEST(CodePage, EncodesWholeTextsUnitByUnit) {
  CodePage gbk(936);
  EXPECT_EQ(gbk.Encode(u"a\u4e2d\r\n\u00e9"), std::string("a\xd6\xd0\r\n\xa8\xa6", 7));
  // A pair outside the code page becomes two spaces, one per unit.
  EXPECT_EQ(gbk.Encode(u"\xd83d\xde00!"), "  !");
  CodePage western(1252);
  EXPECT_EQ(western.Encode(u"\u4e2d\u00e9"), " \xe9");
}

struct LocaleCase {
  const char* locale;
  unsigned codePage;
};

TEST(CodePage, DefaultFollowsTheLocaleAsWindowsDoes) {
  const LocaleCase cases[] = {
      {"zh_CN.UTF-8", 936}, {"zh_SG", 936},       {"zh_TW.UTF-8", 950},  {"zh_HK", 950},
      {"ja_JP.UTF-8", 932}, {"ko_KR.UTF-8", 949}, {"ru_RU.UTF-8", 1251}, {"el_GR", 1253},
      {"tr_TR", 1254},      {"he_IL", 1255},      {"ar_EG", 1256},       {"lv_LV", 1257},
      {"vi_VN", 1258},      {"th_TH", 874},       {"pl_PL.UTF-8", 1250}, {"de_DE@euro", 1252},
      {"C", 1252},          {"POSIX", 1252},      {"en_US.UTF-8", 1252},
  };
  for (const LocaleCase& c : cases) {
    EXPECT_EQ(CodePageForLocale(c.locale), c.codePage) << c.locale;
  }
}

TEST(CodePage, EnvironmentOverridesTheLocale) {
  setenv("LC_ALL", "ja_JP.UTF-8", 1);
  setenv("PINDOT_CODEPAGE", "936", 1);
  EXPECT_EQ(DefaultCodePageNumber(), 936u);
  unsetenv("PINDOT_CODEPAGE");
  EXPECT_EQ(DefaultCodePageNumber(), 932u);
  setenv("PINDOT_CODEPAGE", "gbk", 1);
  EXPECT_THROW(DefaultCodePageNumber(), UserError);
  unsetenv("PINDOT_CODEPAGE");
  unsetenv("LC_ALL");
}

TEST(Utf, RoundTripsAndMarksLoneSurrogates) {
  const std::u16string text = u"a\u00e9\u4e2d\xd83d\xde00";
  EXPECT_EQ(ToUtf8(text), "a\xc3\xa9\xe4\xb8\xad\xf0\x9f\x98\x80");
  EXPECT_EQ(FromUtf8(ToUtf8(text)), text);
  EXPECT_EQ(ToUtf8(u"\xd83dx\xde00"), "\xef\xbf\xbdx\xef\xbf\xbd");
}

TEST(Utf, RejectsMalformedInputWithTheOffset) {
  const char* bad[] = {"\xff", "ab\xc3", "\xc0\xaf", "\xed\xa0\x80", "\xf4\x90\x80\x80"};
  for (const char* bytes : bad) {
    EXPECT_THROW(FromUtf8(bytes, "sample.txt"), UserError) << bytes;
  }
  try {
    FromUtf8("ab\xc3", "sample.txt");
  } catch (const UserError& error) {
    EXPECT_STREQ(error.what(), "sample.txt is not valid UTF-8 (bad byte sequence at offset 2)");
  }
}

}  // namespace
}  // namespace pindot
