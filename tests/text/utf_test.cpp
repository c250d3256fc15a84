#include "text/utf.h"

#include <gtest/gtest.h>

#include "base/user_error.h"

namespace pindot {
namespace {

TEST(Utf, ConvertsBothWays) {
  const std::u16string text = u"a\u00e9\u4e2d\xd83d\xde00";
  EXPECT_EQ(FromUtf8(ToUtf8(text)), text);
  EXPECT_EQ(ToUtf8(u"\xd83dx\xde00"), "\xef\xbf\xbdx\xef\xbf\xbd");  // lone halves
}

TEST(Utf, RejectsMalformedInput) {
  for (const char* bad : {"\xff", "ab\xc3", "\xc0\xaf", "\xed\xa0\x80", "\xf4\x90\x80\x80"}) {
    EXPECT_THROW(FromUtf8(bad, "sample.txt"), UserError) << bad;
  }
}

// Control characters (C1 ones too: U+009B starts a terminal command) and bytes that are not
// UTF-8 are escaped, text is kept; escaping twice changes nothing more.
TEST(Utf, PrintableKeepsANameOnOneLine) {
  const std::pair<std::string, std::string> cases[] = {
      {"a\nb\r\t\x07\x7f\xc3\xa9", "a\\nb\\r\\t\\x07\\x7f\xc3\xa9"},
      {"\x1b[2J\xc2\x9b\xc2\xa0", "\\x1b[2J\\u009b\xc2\xa0"},
      {"\xff\xe4\xb8\xad\xe4\xb8", "\\xff\xe4\xb8\xad\\xe4\\xb8"},
      {"\xed\xa0\x80\xc0\xaf\xf0\x9f\x98\x80", "\\xed\\xa0\\x80\\xc0\\xaf\xf0\x9f\x98\x80"},
  };
  for (const auto& [raw, shown] : cases) {
    EXPECT_EQ(Printable(raw), shown);
    EXPECT_EQ(Printable(shown), shown);
  }
}

}  // namespace
}  // namespace pindot
