#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/pindot_command.h"

namespace pindot {
namespace {

namespace fs = std::filesystem;

const std::string kFonts = std::string(PINDOT_TEST_DIR) + "/fonts/";

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

class CliExportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "pindot-cli-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
  }
  void TearDown() override { fs::remove_all(folder_); }

  Outcome Pindot(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "pindot");
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    std::ostringstream out;
    std::ostringstream err;
    int status = RunPindot(static_cast<int>(arguments.size()), argv.data(), out, err);
    return {status, out.str(), err.str()};
  }

  std::string Path(const std::string& name) const { return (folder_ / name).string(); }

  fs::path folder_;
};

// The chosen path names the pair as the save chooser would, and the data is not printed: -o
// replaces --data as the default output.
TEST_F(CliExportTest, OutputWritesBothFilesInsteadOfPrinting) {
  struct Case {
    const char* name;
    std::string output;
    std::string title;
  };
  for (const Case& c : {Case{"extension", "song8.txt", "song8"}, Case{"no extension", "g8", "g8"},
                        Case{"the header itself", "h8.h", "h8"}}) {
    SCOPED_TRACE(c.name);
    Outcome run = Pindot({"--font-file", kFonts + "grid8.bdf", "--text", "AIa\xe4\xb8\xad",
                          "--codepage", "936", "-o", Path(c.output)});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "");
    const std::string header = ReadAll(folder_ / (c.title + ".h"));
    const std::string source = ReadAll(folder_ / (c.title + ".c"));
    EXPECT_TRUE(
        Contains(header, "void install_unicode_8x8_font(draw_pixel_func my_draw_pixel);\r\n"));
    EXPECT_TRUE(Contains(source, "#include \"" + c.title + ".h\"\r\n"));
    // U+4E2D in code page 936 is D6 D0.
    EXPECT_TRUE(Contains(source, "EX_FONT_CHAR(\"\xd6\xd0\")\r\n"));
  }
}

TEST_F(CliExportTest, SourceHoldsTheDataThatDataPrints) {
  Outcome data = Pindot({"--font-file", kFonts + "grid8.bdf", "--text", "gaA", "--sort", "ansi",
                         "--codepage", "1252", "--data"});
  ASSERT_EQ(data.status, 0) << data.err;
  Outcome both = Pindot({"--font-file", kFonts + "grid8.bdf", "--text", "gaA", "--sort", "ansi",
                         "--codepage", "1252", "--data", "-o", Path("f.c")});
  ASSERT_EQ(both.status, 0) << both.err;
  EXPECT_EQ(both.out, data.out);
  EXPECT_TRUE(Contains(ReadAll(folder_ / "f.c"), "#include \"f.h\"\r\n\r\n" + data.out + "\r\n"));
  EXPECT_TRUE(Contains(ReadAll(folder_ / "f.h"), "extern EXFONT g_ansi_font8;"));

  Outcome preview = Pindot(
      {"--font-file", kFonts + "grid8.bdf", "--text", "gaA", "--preview", "--output", Path("p")});
  ASSERT_EQ(preview.status, 0) << preview.err;
  EXPECT_FALSE(Contains(preview.out, "EX_FONT_CHAR"));
  EXPECT_TRUE(Contains(preview.out, "11"));
  EXPECT_TRUE(fs::exists(folder_ / "p.c"));
}

TEST_F(CliExportTest, FileThatCannotBeWrittenFailsWithPathAndReasonAndTheOtherIsWritten) {
  fs::create_directory(folder_ / "song.h");
  Outcome run =
      Pindot({"--font-file", kFonts + "grid8.bdf", "--text", "A", "-o", Path("song.txt")});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "pindot: cannot write \"" + Path("song.h") + "\": Is a directory\n");
  EXPECT_TRUE(Contains(ReadAll(folder_ / "song.c"), "#include \"song.h\""));

  Outcome missing =
      Pindot({"--font-file", kFonts + "grid8.bdf", "--text", "A", "-o", Path("missing/song.txt")});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err, "pindot: cannot write \"" + Path("missing/song.h") +
                             "\": No such file or directory\npindot: cannot write \"" +
                             Path("missing/song.c") + "\": No such file or directory\n");
}

TEST_F(CliExportTest, PathThatNamesNoFileIsAnErrorBeforeAnythingIsWritten) {
  Outcome run = Pindot({"--font-file", kFonts + "grid8.bdf", "--text", "A", "-o", Path("") + "/"});
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(Contains(run.err, "names no file")) << run.err;
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_), {}), 0);
}

// oversized.bdf: width 10 (from U+4E2D), height 4; "W" is thin but 9 pixels (two bytes a row where
// the 5 x 4 cell has one), "M" is wide but 17 pixels (three bytes a row where 10 x 4 has two).
TEST_F(CliExportTest, GlyphsThatDoNotFitTheirCellAreNamedButKept) {
  Outcome run = Pindot({"--font-file", kFonts + "oversized.bdf", "--text", "iWM\xe4\xb8\xad",
                        "--codepage", "1252", "-o", Path("big.txt")});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(
      run.err,
      "pindot: warning: U+0057 \"W\" does not fit the thin table's 5 x 4 cell; its bytes are "
      "exported as they are\n"
      "pindot: warning: U+004D \"M\" does not fit the wide table's 10 x 4 cell; its bytes are "
      "exported as they are\n");
  // W: rows #.......# / #.......# / #...#...# / .#.#.#.#. -> 80 80, 80 80, 88 80, 55 00
  EXPECT_TRUE(
      Contains(ReadAll(folder_ / "big.c"), "{0x80, 0x80, 0x80, 0x80, 0x88, 0x80, 0x55, 0x00}"));

  Outcome quiet = Pindot({"--font-file", kFonts + "oversized.bdf", "--text", "iWM", "--data"});
  EXPECT_EQ(quiet.status, 0);
  EXPECT_EQ(quiet.err, "") << "only an export warns";
}

}  // namespace
}  // namespace pindot
