#include "font/font_lookup.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>

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

// SimSun and its relatives fill their em: 220 units above the baseline and 36 below, of 256.
TEST(FontLookup, StandInsTakeTheMetricsOfTheWindowsFaceTheyDrawFor) {
  const std::pair<std::string, std::optional<VerticalMetrics>> cases[] = {
      {"宋体", VerticalMetrics{256, 220, 36}},
      {"新宋体", VerticalMetrics{256, 220, 36}},
      {"simsun", VerticalMetrics{256, 220, 36}},
      {"N SimSun", VerticalMetrics{256, 220, 36}},
      {"黑体", VerticalMetrics{256, 220, 36}},
      {"SimHei", VerticalMetrics{256, 220, 36}},
      {"Fixedsys", std::nullopt},        // Unifont keeps its own
      {"AR PL UMing CN", std::nullopt},  // no stand-in: asked for by its own name
  };
  for (const auto& [asked, expected] : cases) {
    FontSpec fontSpec;
    fontSpec.faceName = FromUtf8(asked);
    const std::optional<VerticalMetrics> metrics = ResolveFace(fontSpec).namedFaceMetrics;
    ASSERT_EQ(metrics.has_value(), expected.has_value()) << asked;
    if (!metrics) continue;
    EXPECT_EQ(metrics->unitsPerEm, expected->unitsPerEm) << asked;
    EXPECT_EQ(metrics->ascent, expected->ascent) << asked;
    EXPECT_EQ(metrics->descent, expected->descent) << asked;
  }
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
