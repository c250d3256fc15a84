#include "font/font_lookup.h"

#include <gtest/gtest.h>

#include <string>

#include "base/user_error.h"
#include "font/font_canvas.h"
#include "text/utf.h"

namespace pindot {
namespace {

// The face that a name resolves to, through the canvas as the generator opens it.
std::unique_ptr<FontCanvas> Open(const std::string& name, int height) {
  FontSpec fontSpec;
  fontSpec.faceName = FromUtf8(name);
  fontSpec.cellHeight = height;
  return FontCanvas::Open(fontSpec);
}

TEST(FontLookup, WindowsNamesFindFreeFontsThroughTheAliasFile) {
  const std::pair<std::string, std::u16string> cases[] = {
      {"SimSun", u"AR PL UMing CN"},    {"新宋体", u"AR PL UMing CN"},
      {"NSimSun", u"AR PL UMing CN"},   {"黑体", u"WenQuanYi Zen Hei"},
      {"SimHei", u"WenQuanYi Zen Hei"}, {"UNI FONT", u"UNI FONT"},
      {"文泉驿正黑", u"文泉驿正黑"}};  // own names, as asked
  for (const auto& [asked, family] : cases) EXPECT_EQ(Open(asked, 16)->ResolvedFamily(), family);
}

TEST(FontLookup, GenericNamesKeepTheSystemsChoice) {
  for (std::string generic : {"monospace", "sans-serif", "serif"})  // NSimSun is monospace too
    EXPECT_NE(Open(generic, 16)->ResolvedFamily(), u"AR PL UMing CN") << generic;
}

TEST(FontLookup, OtherNamesMustExist) {
  for (std::string asked : {"No Such Face Pindot", "Fixedsys Excelsior 9", "宋体宋体", ""})
    EXPECT_THROW(Open(asked, 16), UserError) << asked;  // fontconfig's last resort is no match
}

}  // namespace
}  // namespace pindot
