// Whole texts convert exactly as their units do one by one, across every block and buffer edge.
#include <gtest/gtest.h>

#include <string>

#include "text/code_page.h"

namespace pindot {
namespace {

std::string UnitByUnit(const CodePage& codePage, std::u16string_view text) {
  std::string bytes;
  for (char16_t unit : text) bytes.append(codePage.EncodeUnit(unit));
  return bytes;
}

TEST(CodePageEncode, BlockAndBufferEdges) {
  const CodePage gbk(936);
  // U+4E2D is D6 D0 in code page 936, U+00E9 is A8 A6 (not its Latin-1 byte E9); U+0E01 (Thai) is
  // not in it and becomes a space.
  const std::u16string ascii(5000, u'x');
  struct Case {
    const char* name;
    std::u16string text;
  };
  std::vector<Case> cases = {
      {"empty", u""},
      {"short", u"a\u4e2db"},
      {"all ASCII past the 4096-byte buffer", ascii},
      {"CJK only past the buffer", std::u16string(3000, u'\u4e2d')},
  };
  // One unit that is not ASCII at the edges of the 64-unit blocks and of the buffer.
  for (size_t at : {0, 1, 63, 64, 65, 127, 128, 2047, 2048, 4095, 4096, 4999}) {
    std::u16string text = ascii;
    text[at] = u'\u4e2d';
    cases.push_back({"CJK inside ASCII", text});
    text[at] = u'\u0e01';
    cases.push_back({"missing unit inside ASCII", text});
    text[at] = u'\u00e9';
    cases.push_back({"Latin-1 unit inside ASCII", text});
  }
  for (const Case& test : cases) {
    std::string bytes = "pre";  // appended to, never replaced
    gbk.Encode(test.text, bytes);
    EXPECT_EQ(bytes, "pre" + UnitByUnit(gbk, test.text)) << test.name;
  }
  EXPECT_EQ(gbk.Encode(u"a\u4e2d\u0e01b"), "a\xd6\xd0 b");
}

}  // namespace
}  // namespace pindot
