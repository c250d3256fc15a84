#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "export_test_font.h"
#include "golden.h"
#include "output/exporter.h"

namespace pindot {
namespace {

namespace fs = std::filesystem;

// Both exported files of the shared test font and sample (tests/unit/export_test_font.h), exported
// as "song7.txt", byte for byte. Regenerate: run
//   build/bin/pindot_unit_tests --gtest_filter='ExportGolden*'
// and, after reviewing the difference, copy each tests/golden/export_*.actual over its golden file.
TEST(ExportGoldenTest, HeaderAndSourceForEachKeyAndCodePage) {
  struct Case {
    const char* name;
    unsigned codePage;
    bool sortByUnicode;
  };
  const Case cases[] = {
      {"export_unicode_936", 936, true},
      {"export_ansi_936", 936, false},
      {"export_unicode_1252", 1252, true},
      {"export_ansi_1252", 1252, false},
  };
  std::string pattern = (fs::temp_directory_path() / "pindot-golden-XXXXXX").string();
  ASSERT_NE(mkdtemp(pattern.data()), nullptr);
  const fs::path folder = pattern;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Generator generator{CodePage(c.codePage)};
    testing::ApplyTestSettings(generator, c.sortByUnicode);
    testing::AsciiCanvas canvas = testing::MakeTestFont();
    NoProgress progress;
    ExportReport report = ExportFontFiles(generator, testing::kTestSample, canvas, progress,
                                          (folder / "song7.txt").string());
    ASSERT_TRUE(report.failures.empty());
    testing::ExpectMatchesGolden(std::string(c.name) + ".h.txt",
                                 testing::ReadFileBytes((folder / "song7.h").string()));
    testing::ExpectMatchesGolden(std::string(c.name) + ".c.txt",
                                 testing::ReadFileBytes((folder / "song7.c").string()));
  }
  fs::remove_all(folder);
}

}  // namespace
}  // namespace pindot
