// Export: goldens of both files, paths, oversized glyphs, the source's encoding.
#include <gtest/gtest.h>

#include "base/user_error.h"
#include "export_test_font.h"
#include "golden.h"

namespace pindot {
namespace {

using namespace testing;

// Both files of the test sample, exported as "song7.txt"; a mismatch writes <golden>.actual.
TEST(ExportTest, GoldenFilesForEachKeyAndCodePage) {
  for (std::string name : {"unicode_936", "ansi_936", "unicode_1252", "ansi_1252"}) {
    TempFolder folder;
    Generator generator{CodePage(std::stoi(name.substr(name.find('_') + 1)))};
    ExportTestFont(generator, kTestSample, folder / "song7.txt", name[0] == 'u');
    for (std::string end : {".h", ".c"})
      ExpectMatchesGolden("export_" + name + end + ".txt", ReadFileBytes(folder / ("song7" + end)));
  }
}

TEST(ExportTest, PathsAreDerivedAsTheSaveChooserGivesThem) {
  const std::tuple<std::string, std::u16string, std::string> cases[] = {
      // path, title, stem
      {"/home/v1.2/a.txt", u"a", "/home/v1.2/a"},
      {"/home/v1.2/song16", u"song16", "/home/v1.2/song16"},
      {"abc.abc", u"abc", "abc"},
      {"out/a.b.c", u"a.b", "out/a.b"},
      {"out/song16.", u"song16", "out/song16"}};
  for (const auto& [fullPath, title, stem] : cases) {
    const ExportPaths paths = DeriveExportPaths(fullPath);
    EXPECT_EQ(std::tie(paths.fileTitle, paths.headerPath, paths.sourcePath),
              std::tuple(title, stem + ".h", stem + ".c"));
  }
  for (const char* path : {"", "out/", "out/..", "bad\xff.txt", "q\"uo.txt", "back\\slash.txt",
                           "new\nline.txt", "bell\a.txt", "del\x7f"})
    EXPECT_THROW(DeriveExportPaths(path), UserError) << path;
  EXPECT_EQ(DeriveExportPaths("out/v1.2/song16.txt").headerName, "song16.h");
  // Only the name the source includes counts; folders and the replaced extension may hold anything.
  EXPECT_EQ(DeriveExportPaths("we\"ird\\dir/ok.t\"xt").fileTitle, u"ok");
}

}  // namespace
}  // namespace pindot
