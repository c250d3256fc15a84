#include "text/string_table.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>

namespace pindot {
namespace {

TEST(StringTable, LanguageComesFromTheFirstLocaleVariableThatIsSet) {
  const char* names[] = {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"};
  const std::pair<std::array<const char*, 4>, Language> cases[] = {
      {{"zh_CN:en_US", "", "", "en_US.UTF-8"}, Language::kChinese},
      {{"", "zh_SG.UTF-8", "de_DE", "de_DE"}, Language::kChinese},
      {{"", "", "en_GB.UTF-8", "zh_CN.UTF-8"}, Language::kEnglish},
      {{"", "", "", "C"}, Language::kEnglish}};  // last: the tests' own environment again
  for (const auto& [values, expected] : cases) {
    for (int i = 0; i < 4; ++i) setenv(names[i], values[i], 1);
    EXPECT_EQ(LanguageFromEnvironment(), expected) << values[0] << values[1] << values[3];
  }
}

}  // namespace
}  // namespace pindot
