#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "export_test_font.h"
#include "golden.h"
#include "text/user_error.h"

namespace pindot {
namespace {

namespace fs = std::filesystem;
using namespace testing;

// "path: reason" for each file that was not written.
std::string Failures(const ExportReport& report) {
  std::string text;
  for (const ExportFailure& failure : report.failures)
    text += failure.path + ": " + failure.reason + "\n";
  return text;
}

// Both files of the test sample, exported as "song7.txt"; a mismatch writes <golden>.actual.
TEST(ExportTest, GoldenFilesForEachKeyAndCodePage) {
  struct Case {
    std::string name;
    unsigned codePage;
    bool sortByUnicode;
  };
  for (const Case& c :
       {Case{"export_unicode_936", 936, true}, Case{"export_ansi_936", 936, false},
        Case{"export_unicode_1252", 1252, true}, Case{"export_ansi_1252", 1252, false}}) {
    SCOPED_TRACE(c.name);
    TempFolder folder;
    Generator generator{CodePage(c.codePage)};
    ASSERT_TRUE(ExportTestFont(generator, kTestSample, folder / "song7.txt", c.sortByUnicode)
                    .failures.empty());
    for (std::string extension : {".h", ".c"}) {
      ExpectMatchesGolden(c.name + extension + ".txt",
                          ReadFileBytes(folder / ("song7" + extension)));
    }
  }
}

TEST(ExportTest, PathsAreDerivedAsTheSaveChooserGivesThem) {
  struct Case {
    std::string fullPath;
    std::u16string title;
    std::string stem;  // of both paths
  };
  for (const Case& c :
       {Case{"/home/u/song16", u"song16", "/home/u/song16"},
        Case{"/home/v1.2/a.txt", u"a", "/home/v1.2/a"},
        Case{"/home/v1.2/song16", u"song16", "/home/v1.2/song16"}, Case{"abc.abc", u"abc", "abc"},
        Case{"out/song16.h", u"song16", "out/song16"}, Case{"out/a.b.c", u"a.b", "out/a.b"},
        Case{"out/song16.", u"song16", "out/song16"}}) {
    SCOPED_TRACE(c.fullPath);
    ExportPaths paths = DeriveExportPaths(c.fullPath);
    EXPECT_EQ(paths.fileTitle, c.title);
    EXPECT_EQ(paths.headerPath, c.stem + ".h");
    EXPECT_EQ(paths.sourcePath, c.stem + ".c");
  }
  for (const char* path : {"", "out/", "out/..", "bad\xff.txt"}) {
    EXPECT_THROW(DeriveExportPaths(path), UserError) << path;
  }
}

// W = 10, H = 7: a thin cell holds 1 x 7 bytes, a wide one 2 x 7. At W = 18 the thin cell is 9
// wide, two bytes a row, so an 8-pixel glyph has rows too short.
TEST(ExportTest, FindOversizedGlyphsCountsBytesAgainstTheDeclaredCell) {
  AsciiCanvas canvas = MakeTestFont();
  for (auto [unit, width] : {std::pair{u'w', 9}, {u'v', 8}, {u'M', 16}, {u'W', 17}, {u'0', 0}}) {
    canvas.SetGlyph(unit, std::vector<std::string>(7, std::string(width, '#')));
  }
  struct Case {
    uint32_t width;
    std::u16string sample;
    std::u16string found;
  };
  for (const Case& c :
       {Case{10, u"WvMw0i\u4e2d", u"w thin W wide "}, Case{18, u"vw", u"v thin "}}) {
    TempFolder folder;
    Generator generator{CodePage(1252)};
    ExportTestFont(generator, c.sample, folder / "o", true, FileSystemCalls::System(), c.width,
                   canvas);
    std::u16string found;
    for (const OversizedGlyph& glyph : FindOversizedGlyphs(generator)) {
      found += glyph.character + (glyph.inThinTable ? u" thin " : u" wide ");
    }
    EXPECT_EQ(found, c.found) << c.width;
  }
}

TEST(ExportTest, EncodeSourceTextEscapesBackslashTrailBytesOnlyInTheCharacterLiteral) {
  std::string out;  // in code page 936 U+4E57 is 81 5C, U+4E2D is D6 D0
  EncodeSourceText(u"\u4e57 EX_FONT_CHAR(\"\u4e57\")\r\nEX_FONT_CHAR(\"\\\"\u4e2d\") \u4e57",
                   CodePage(936), out);
  EXPECT_EQ(out, "\x81\\ EX_FONT_CHAR(\"\\201\\134\")\r\nEX_FONT_CHAR(\"\\\"\xd6\xd0\") \x81\\");
}

// One system call failing while the header is written: the reason is given in words, the old
// header keeps every byte, no temporary file is left, and the source is still written (in short
// writes of 100 bytes).
TEST(ExportTest, FailingCallKeepsThePreviousFileAndWritesTheOther) {
  struct Case {
    std::string call;
    int error;
  };
  for (const Case& c :
       {Case{"write", ENOSPC}, Case{"fsync", EIO}, Case{"close", EDQUOT}, Case{"rename", EXDEV}}) {
    SCOPED_TRACE(c.call);
    TempFolder folder;
    std::ofstream(folder / "song.h") << "old header";
    int failed = 0;  // only the first such call fails
    auto fails = [&](const std::string& call) {
      return call == c.call && failed++ == 0 && (errno = c.error) != 0;
    };
    const FileSystemCalls& system = FileSystemCalls::System();
    FileSystemCalls calls = system;
    calls.write = [&](int fd, const void* bytes, size_t count) -> ssize_t {
      return fails("write") ? -1 : system.write(fd, bytes, std::min<size_t>(count, 100));
    };
    calls.fsync = [&](int fd) { return fails("fsync") ? -1 : system.fsync(fd); };
    calls.close = [&](int fd) { return system.close(fd) != 0 || fails("close") ? -1 : 0; };
    calls.rename = [&](const char* from, const char* to) {
      return fails("rename") ? -1 : system.rename(from, to);
    };
    Generator generator{CodePage(1252)};
    EXPECT_EQ(Failures(ExportTestFont(generator, u"ij", folder / "song", true, calls)),
              folder / "song.h: " + std::strerror(c.error) + "\n");
    EXPECT_EQ(ReadFileBytes(folder / "song.h"), "old header");
    EXPECT_NE(ReadFileBytes(folder / "song.c").find("EX_FONT_UNICODE_VAL(0x006a)"),
              std::string::npos);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path), {}), 2);
  }
}

// A directory or a path under a regular file is reported with the reason; a symbolic link is
// followed and its target replaced, keeping its mode; a 255-byte name is written.
TEST(ExportTest, TargetsOfEveryKind) {
  TempFolder folder;
  fs::create_directory(folder / "dir.h");
  std::ofstream(folder / "plain") << "file";
  std::ofstream(folder / "real") << "old";
  fs::permissions(folder / "real", fs::perms(0640));
  fs::create_symlink(folder / "real", folder / "link.h");
  Generator generator{CodePage(1252)};
  EXPECT_EQ(Failures(ExportTestFont(generator, u"i", folder / "dir")),
            folder / "dir.h: Is a directory\n");
  EXPECT_EQ(Failures(ExportTestFont(generator, u"i", folder / "plain/a")),
            folder / "plain/a.h: Not a directory\n" + folder / "plain/a.c: Not a directory\n");
  EXPECT_EQ(Failures(ExportTestFont(generator, u"i", folder / "link")), "");
  EXPECT_EQ(Failures(ExportTestFont(generator, u"i", folder / std::string(253, 'n'))), "");
  EXPECT_TRUE(fs::is_empty(folder / "dir.h"));
  EXPECT_TRUE(fs::exists(folder / "dir.c"));
  EXPECT_EQ(ReadFileBytes(folder / "plain"), "file");
  EXPECT_TRUE(fs::is_symlink(folder / "link.h"));
  EXPECT_EQ(ReadFileBytes(folder / "real").substr(0, 19), "#ifndef KV_LINK_H\r\n");
  EXPECT_EQ(fs::status(folder / "real").permissions(), fs::perms(0640));
  EXPECT_TRUE(fs::exists(folder / (std::string(253, 'n') + ".c")));
}

}  // namespace
}  // namespace pindot
