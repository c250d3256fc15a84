// The table of Windows faces' metrics, read from text.
#include "font/named_face_metrics.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "base/user_error.h"

namespace pindot {
namespace {

TEST(NamedFaceMetrics, ReadsANameThenUnitsPerEmAscentAndDescent) {
  const auto table = ParseNamedFaceMetrics(
      "# comment\n\n宋体 256 220 36\r\n  MS Sans Serif\t2048  1854 434  \nSimHei 256 220 36",
      "faces.txt");
  ASSERT_EQ(table.size(), 3u);
  EXPECT_EQ(table[0].name, "宋体");
  EXPECT_EQ(table[1].name, "MS Sans Serif");  // a name may hold blanks
  const VerticalMetrics& sans = table[1].metrics;
  EXPECT_EQ(std::tie(sans.unitsPerEm, sans.ascent, sans.descent), std::tuple(2048L, 1854L, 434L));
  EXPECT_EQ(table[2].metrics.descent, 36);  // the last line needs no line break
}

TEST(NamedFaceMetrics, RefusesLinesThatAreNotANameAndThreeNumbers) {
  for (std::string line : {"SimSun 256 220", "256 220 36", "SimSun 256 220 3x", "SimSun 0 220 36",
                           "SimSun 256 -1 36", "SimSun 256 0 0"}) {
    EXPECT_THROW(ParseNamedFaceMetrics(line, "faces.txt"), UserError) << line;
  }
  EXPECT_THAT([] { ParseNamedFaceMetrics("# first\nSimSun 256 220\n", "faces.txt"); },
              ::testing::ThrowsMessage<UserError>(
                  "font metrics file \"faces.txt\", line 2: expected a face name, then its units "
                  "per em, ascent and descent"));
}

}  // namespace
}  // namespace pindot
