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

TEST(Utf, PrintableKeepsANameOnOneLine) {
  EXPECT_EQ(Printable("a\nb\r\t\x07\x7f\xc3\xa9"), "a\\nb\\r\\t\\x07\\x7f\xc3\xa9");
}

}  // namespace
}  // namespace pindot
