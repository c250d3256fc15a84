#include "font/font_lookup.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "base/user_error.h"
#include "font/font_canvas.h"
#include "font/font_metrics.h"
#include "glyph/generator.h"
#include "glyph/loss_report.h"
#include "text/character_set.h"
#include "text/utf.h"

namespace pindot {
namespace {

// The face that a name resolves to, through the canvas as the generator opens it.
std::unique_ptr<FontCanvas> Open(const std::string& name, int height) {
  FontRequest fontRequest;
  fontRequest.faceName = FromUtf8(name);
  fontRequest.cellHeight = height;
  return FontCanvas::Open(fontRequest);
}

TEST(FontLookup, WindowsNamesFindFreeFontsThroughTheAliasFile) {
  const std::pair<std::string, std::u16string> cases[] = {
      {"SimSun", u"AR PL UMing CN"},         {"新宋体", u"AR PL UMing CN"},
      {"NSimSun", u"AR PL UMing CN"},        {"黑体", u"WenQuanYi Zen Hei Mono"},
      {"SimHei", u"WenQuanYi Zen Hei Mono"}, {"UNI FONT", u"UNI FONT"},
      {"文泉驿正黑", u"文泉驿正黑"}};  // own names, as asked
  for (const auto& [asked, family] : cases) EXPECT_EQ(Open(asked, 16)->ResolvedFamily(), family);
}

// SimSun and its relatives fill their em: 220 units above the baseline and 36 below, of 256.
// Unifont drawing Fixedsys, and a face asked for by its own name, keep their own metrics.
TEST(FontLookup, StandInsTakeTheMetricsOfTheWindowsFaceTheyDrawFor) {
  for (std::string asked :
       {"宋体", "新宋体", "simsun", "N SimSun", "黑体", "SimHei", "Fixedsys", "AR PL UMing CN"}) {
    FontRequest fontRequest;
    fontRequest.faceName = FromUtf8(asked);
    const std::optional<VerticalMetrics> metrics = ResolveFace(fontRequest).namedFaceMetrics;
    ASSERT_EQ(metrics.has_value(), asked != "Fixedsys" && asked != "AR PL UMing CN") << asked;
    if (!metrics) continue;
    EXPECT_EQ(metrics->unitsPerEm, 256) << asked;
    EXPECT_EQ(metrics->ascent, 220) << asked;
    EXPECT_EQ(metrics->descent, 36) << asked;
  }
}

// Windows' SimSun and SimHei have half-width Latin letters: all of ASCII goes to the thin table,
// whatever the size, and nothing is cut.
TEST(FontLookup, StandInsKeepLatinHalfWidth) {
  for (std::string asked : {"宋体", "黑体", "SimHei"}) {
    for (int height : {12, 16, 24}) {
      FontRequest fontRequest{FromUtf8(asked), "", height};
      const auto canvas = FontCanvas::Open(fontRequest);
      Generator generator{CodePage(1252)};
      MeasureFont(*canvas, fontRequest, generator.Settings());
      std::u16string sample = u"中";
      AppendCharacterRange(sample, {0x20, 0x7e});
      NoProgress progress;
      generator.Generate(sample, *canvas, progress);
      EXPECT_EQ(generator.ThinList().GetCount(), 95u) << asked << " " << height;
      EXPECT_EQ(generator.WideList().GetCount(), 1u) << asked << " " << height;
      EXPECT_TRUE(FindLosses(generator).cut[0].empty()) << asked << " " << height;
    }
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
