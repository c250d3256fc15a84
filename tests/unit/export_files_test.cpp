#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "export_test_font.h"
#include "output/exporter.h"

namespace pindot {
namespace {

namespace fs = std::filesystem;
using testing::ApplyTestSettings;
using testing::AsciiCanvas;
using testing::MakeTestFont;

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

class ExportFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "pindot-export-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }

  ExportReport Export(Generator& generator, std::u16string_view sample, const fs::path& path,
                      const FileSystemCalls& calls = FileSystemCalls::System()) {
    AsciiCanvas canvas = MakeTestFont();
    NoProgress progress;
    return ExportFontFiles(generator, sample, canvas, progress, path.string(), calls);
  }

  fs::path folder_;
};

TEST_F(ExportFilesTest, FilesAreInTheCodePageWithoutByteOrderMarkOrZero) {
  struct Case {
    const char* name;
    unsigned codePage;
    std::string zhong;  // U+4E2D
    std::string euro;   // U+20AC
  };
  for (const Case& c : {Case{"936", 936, "\xd6\xd0", "\x80"}, Case{"1252", 1252, " ", "\x80"}}) {
    SCOPED_TRACE(c.name);
    Generator generator{CodePage(c.codePage)};
    ApplyTestSettings(generator, true);
    ExportReport report = Export(generator, testing::kTestSample, folder_ / "song7.txt");
    EXPECT_TRUE(report.failures.empty());
    EXPECT_EQ(report.paths.headerPath, (folder_ / "song7.h").string());
    EXPECT_EQ(report.paths.sourcePath, (folder_ / "song7.c").string());

    const std::string header = ReadAll(folder_ / "song7.h");
    const std::string source = ReadAll(folder_ / "song7.c");
    for (const std::string* text : {&header, &source}) {
      EXPECT_EQ(text->find('\0'), std::string::npos);
      ASSERT_GE(text->size(), 2u);
      EXPECT_EQ(text->substr(text->size() - 2), "\r\n");
    }
    EXPECT_EQ(header.substr(0, 20), "#ifndef KV_SONG7_H\r\n");
    EXPECT_EQ(source.substr(0, 20), "#include \"song7.h\"\r\n");
    EXPECT_TRUE(Contains(source, "EX_FONT_CHAR(\"" + c.zhong + "\")\r\n"));
    EXPECT_TRUE(Contains(source, "EX_FONT_CHAR(\"" + c.euro + "\")\r\n"));
    // Escaped in the font data text, so the C string literals stay whole.
    EXPECT_TRUE(Contains(source, "EX_FONT_CHAR(\"\\\"\")"));
    EXPECT_TRUE(Contains(source, "EX_FONT_CHAR(\"\\\\\")"));
    EXPECT_TRUE(Contains(source, "EX_FONT_CHAR(\"\\r\")"));
  }
}

TEST_F(ExportFilesTest, GenerateRunsFirstAndTheSourceCarriesItsData) {
  Generator generator{CodePage(1252)};
  ApplyTestSettings(generator, true);
  AsciiCanvas canvas = MakeTestFont();
  NoProgress progress;
  generator.Generate(u"AAAA", canvas, progress);  // a stale run that the export must replace

  ExportReport report = Export(generator, u"ij", folder_ / "f");
  ASSERT_TRUE(report.failures.empty());
  EXPECT_EQ(generator.ThinList().GetCount(), 2u);
  const std::string source = ReadAll(folder_ / "f.c");
  EXPECT_TRUE(Contains(source, "EX_FONT_UNICODE_VAL(0x0069)"));
  EXPECT_FALSE(Contains(source, "EX_FONT_UNICODE_VAL(0x0041)"));
  // The data text goes in between the include and the count definitions, unchanged.
  std::string data;
  generator.GetCodePage().Encode(generator.FontDataText(), data);
  const std::string expected = "#include \"f.h\"\r\n\r\n" + data + "\r\n#undef thin_char_nr\r\n";
  EXPECT_EQ(source.substr(0, expected.size()), expected);
}

// The thin table is declared (W + 1) >> 1 wide; the source must name that array, whatever the
// advance of "a" (thinWidth) is.
TEST_F(ExportFilesTest, SourceNamesTheThinTableTheDataDeclares) {
  struct Case {
    uint32_t width;
    int32_t thinWidth;
    const char* name;
  };
  for (const Case& c : {Case{10, 3, "thin_ansi_font5x7"}, Case{9, 7, "thin_ansi_font5x7"},
                        Case{11, 6, "thin_ansi_font6x7"}, Case{16, 8, "thin_ansi_font8x7"}}) {
    SCOPED_TRACE(c.name);
    Generator generator{CodePage(1252)};
    ApplyTestSettings(generator, false);
    generator.Settings().width = c.width;
    generator.Settings().thinWidth = c.thinWidth;
    ASSERT_TRUE(Export(generator, u"ij", folder_ / "t.c").failures.empty());
    const std::string source = ReadAll(folder_ / "t.c");
    const std::string name = c.name;
    EXPECT_TRUE(Contains(source, "} " + name + "[2] = "));
    EXPECT_TRUE(
        Contains(source, "#define thin_char_nr sizeof(" + name + ")/sizeof(" + name + "[0]) "));
    EXPECT_TRUE(Contains(source, "(unsigned char*)" + name + "[i].data;"));
    EXPECT_TRUE(Contains(source, "\tEXFONT_data_init(&thin_font7, " +
                                     std::to_string((c.width + 1) >> 1) + ", 7, thin_char_nr, "));
  }
}

TEST_F(ExportFilesTest, EmptyListsGiveZeroCounts) {
  struct Case {
    const char* name;
    std::u16string sample;
    bool thinDefined;
    bool wideDefined;
  };
  const Case cases[] = {
      {"only wide", u"\u4e2d\u56fd", false, true},
      {"only thin", u"ij", true, false},
      {"nothing", u"", false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Generator generator{CodePage(936)};
    ApplyTestSettings(generator, true);
    ASSERT_TRUE(Export(generator, c.sample, folder_ / "e.txt").failures.empty());
    const std::string source = ReadAll(folder_ / "e.c");
    EXPECT_EQ(Contains(source, "#define thin_char_nr 0\r\n"), !c.thinDefined);
    EXPECT_EQ(Contains(source, "#define wide_char_nr 0\r\n"), !c.wideDefined);
    EXPECT_EQ(Contains(source, "thin_unicode_font"), c.thinDefined);
    EXPECT_EQ(Contains(source, "wide_unicode_font"), c.wideDefined);
    EXPECT_TRUE(fs::exists(folder_ / "e.h"));
  }
  // With no characters at all the data line is empty.
  const std::string expected = "#include \"e.h\"\r\n\r\n\r\n#undef thin_char_nr\r\n";
  EXPECT_EQ(ReadAll(folder_ / "e.c").substr(0, expected.size()), expected);
}

TEST_F(ExportFilesTest, HeaderThatCannotBeWrittenIsReportedAndTheSourceStillWritten) {
  fs::create_directory(folder_ / "song.h");
  Generator generator{CodePage(1252)};
  ApplyTestSettings(generator, true);
  ExportReport report = Export(generator, u"ij", folder_ / "song.txt");
  ASSERT_EQ(report.failures.size(), 1u);
  EXPECT_EQ(report.failures[0].path, (folder_ / "song.h").string());
  EXPECT_EQ(report.failures[0].reason, std::strerror(EISDIR));
  EXPECT_TRUE(Contains(ReadAll(folder_ / "song.c"), "EX_FONT_UNICODE_VAL(0x006a)"));
}

TEST_F(ExportFilesTest, FullDiskOnTheHeaderKeepsTheOldHeader) {
  std::ofstream(folder_ / "song.h", std::ios::binary) << "old header";
  FileSystemCalls calls = FileSystemCalls::System();
  int writes = 0;
  calls.write = [&writes](int fd, const void* bytes, size_t count) -> ssize_t {
    if (writes++ == 0) {
      errno = ENOSPC;
      return -1;
    }
    return ::write(fd, bytes, count);
  };
  Generator generator{CodePage(1252)};
  ApplyTestSettings(generator, true);
  ExportReport report = Export(generator, u"ij", folder_ / "song", calls);
  ASSERT_EQ(report.failures.size(), 1u);
  EXPECT_EQ(report.failures[0].path, (folder_ / "song.h").string());
  EXPECT_EQ(report.failures[0].reason, std::strerror(ENOSPC));
  EXPECT_EQ(ReadAll(folder_ / "song.h"), "old header");
  EXPECT_TRUE(Contains(ReadAll(folder_ / "song.c"), "#include \"song.h\""));
}

TEST_F(ExportFilesTest, BothFailuresNameTheirFiles) {
  Generator generator{CodePage(1252)};
  ApplyTestSettings(generator, true);
  ExportReport report = Export(generator, u"ij", folder_ / "missing" / "song.txt");
  ASSERT_EQ(report.failures.size(), 2u);
  EXPECT_EQ(report.failures[0].path, (folder_ / "missing" / "song.h").string());
  EXPECT_EQ(report.failures[1].path, (folder_ / "missing" / "song.c").string());
  EXPECT_EQ(report.failures[1].reason, std::strerror(ENOENT));
}

// W = 10, H = 7: a thin cell holds ((5 + 7) >> 3) x 7 = 7 bytes, a wide one ((10 + 7) >> 3) x 7
// = 14. A thin glyph 9 wide has two bytes a row (14), a wide glyph 17 wide three (21).
TEST(FindOversizedGlyphsTest, CountsBytesAgainstTheDeclaredCell) {
  AsciiCanvas canvas = MakeTestFont();
  const std::string row9(9, '.');
  const std::string row8(8, '.');
  const std::string row16(16, '.');
  const std::string row17(17, '#');
  canvas.SetGlyph(u'w', std::vector<std::string>(7, row9));   // thin, 14 bytes: too many
  canvas.SetGlyph(u'v', std::vector<std::string>(7, row8));   // thin, 7 bytes: fits
  canvas.SetGlyph(u'M', std::vector<std::string>(7, row16));  // wide, 14 bytes: fits
  canvas.SetGlyph(u'W', std::vector<std::string>(7, row17));  // wide, 21 bytes: too many
  canvas.SetGlyph(u'0', {"", "", "", "", "", "", ""});        // no bytes at all: fits
  Generator generator{CodePage(1252)};
  ApplyTestSettings(generator, true);
  NoProgress progress;
  generator.Generate(u"WvMw0i\u4e2d", canvas, progress);

  std::vector<OversizedGlyph> found = FindOversizedGlyphs(generator);
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0].character, u"w");
  EXPECT_TRUE(found[0].inThinTable);
  EXPECT_EQ(found[1].character, u"W");
  EXPECT_FALSE(found[1].inThinTable);

  // W = 18 declares the thin cell 9 wide, two bytes a row: an 8-pixel glyph has rows too short.
  generator.Settings().width = 18;
  generator.Generate(u"vw", canvas, progress);
  found = FindOversizedGlyphs(generator);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].character, u"v");
}

TEST(EncodeSourceTextTest, BackslashTrailBytesAreEscapedOnlyInsideTheCharacterLiteral) {
  CodePage gbk(936);  // U+4E57 is 81 5C, U+4E2D is D6 D0
  std::string out;
  EncodeSourceText(u"\u4e57 EX_FONT_CHAR(\"\u4e57\")\r\nEX_FONT_CHAR(\"\\\"\u4e2d\") \u4e57", gbk,
                   out);
  EXPECT_EQ(out,
            std::string("\x81\\ EX_FONT_CHAR(\"\\201\\134\")\r\nEX_FONT_CHAR(\"\\\"\xd6\xd0\") "
                        "\x81\\"));
}

}  // namespace
}  // namespace pindot
