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
  for (const char* path : {"", "out/", "out/..", "bad\xff.txt"})
    EXPECT_THROW(DeriveExportPaths(path), UserError) << path;
}

// W = 10, H = 7: a thin cell holds 1 x 7 bytes, a wide one 2 x 7. At W = 18 the thin cell is 9
// wide, two bytes a row, so an 8-pixel glyph has rows too short.
TEST(ExportTest, FindOversizedGlyphsCountsBytesAgainstTheDeclaredCell) {
  AsciiCanvas canvas = MakeTestFont();
  for (auto [unit, width] : {std::pair{u'w', 9}, {u'v', 8}, {u'M', 16}, {u'W', 17}, {u'0', 0}})
    canvas.SetGlyph(unit, std::vector<std::string>(7, std::string(width, '#')));
  using Case = std::tuple<uint32_t, std::u16string, std::u16string>;
  for (const auto& [width, sample, expected] :
       {Case{10, u"WvMw0i\u4e2d", u"w thin W wide "}, Case{18, u"vw", u"v thin "}}) {
    TempFolder folder;
    Generator generator{CodePage(1252)};
    ExportTestFont(generator, sample, folder / "o", true, width, FileSystemCalls::System(), canvas);
    std::u16string found;
    for (const OversizedGlyph& glyph : FindOversizedGlyphs(generator))
      found += glyph.character + (glyph.inThinTable ? u" thin " : u" wide ");
    EXPECT_EQ(found, expected) << width;
  }
}

TEST(ExportTest, EncodeSourceTextEscapesBackslashTrailBytesOnlyInTheCharacterLiteral) {
  std::string out;  // in code page 936 U+4E57 is 81 5C, U+4E2D is D6 D0
  EncodeSourceText(u"\u4e57 EX_FONT_CHAR(\"\u4e57\")\r\nEX_FONT_CHAR(\"\\\"\u4e2d\") \u4e57",
                   CodePage(936), out);
  EXPECT_EQ(out, "\x81\\ EX_FONT_CHAR(\"\\201\\134\")\r\nEX_FONT_CHAR(\"\\\"\xd6\xd0\") \x81\\");
}

}  // namespace
}  // namespace pindot
