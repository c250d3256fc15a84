// pindot build: a manifest's fonts made as the command line makes them, all or nothing, unchanged
// files left alone, clashing names refused.
#include "cli/build_command.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "cli/pindot_command.h"
#include "export_test_font.h"
#include "golden.h"
#include "output/source_template.h"

namespace pindot {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

const std::string kFonts = PINDOT_TEST_DIR "/fonts/";

struct Outcome {
  int status;
  std::string err;
};

Outcome Pindot(std::vector<std::string> arguments) {
  std::string name = "pindot";
  std::vector<char*> argv = {name.data()};
  for (std::string& argument : arguments) argv.push_back(argument.data());
  std::ostringstream out, err;
  const int status = RunPindot(static_cast<int>(argv.size()), argv.data(), out, err);
  EXPECT_EQ(out.str(), "");  // a build prints nothing
  return {status, err.str()};
}

// Two fonts: the worked example, its sample from a file beside the manifest, and grid8 with ANSI
// keys and a sheet. Paths are relative to the manifest's folder.
const std::string kTwoFonts = R"([[font]]
font-file = ")" + kFonts + R"(worked_example.bdf"
text-file = "texts/sample.txt"
output = "out/worked.h"

[[font]]
font-file = ")" + kFonts + R"(grid8.bdf"
size = 8
text = "AI中"
sort = "ansi"
codepage = 1252
underline = false
sheet = "out/grid8.png"
output = "out/grid8"
)";

// A project folder holding fonts.toml and the sample file.
struct Project {
  testing::TempFolder folder;
  std::string manifest = folder / "project/fonts.toml";

  explicit Project(const std::string& text = kTwoFonts) {
    fs::create_directories(folder.path / "project/texts");
    std::ofstream(folder / "project/texts/sample.txt") << "j\xe4\xb8\xadij";
    Write(text);
  }
  void Write(const std::string& text) const { std::ofstream(manifest) << text; }
  std::string operator/(const std::string& name) const { return folder / ("project/" + name); }
};

const char* const kOutputs[] = {"out/worked.h", "out/worked.c", "out/grid8.h", "out/grid8.c",
                                "out/grid8.png"};

// Fonts that give every other key: a face by name, an em, styles, ranges and sets, what is left
// out, const tables, a name, a zoomed sheet, the other formats.
const std::string kEveryKey = R"(
[[font]]
font = "Unifont"
em-size = 16
width = 20
bold = true
italic = true
strikeout = true
text = "中"
range = ["0x41-0x43"]
charset = ["ASCII"]
exclude = "B"
exclude-range = ["0x61-0x7a"]
const = true
name = "uni"
sheet = "out/uni.png"
sheet-zoom = 2
output = "out/uni"
[[font]]
font-file = ")" + kFonts + R"(grid8.bdf"
text = "AI"
format = "raw"
layout = "pages-lsb"
rotate = 90
name = "r"
output = "out/raw"
[[font]]
font-file = ")" + kFonts + R"(grid8.bdf"
text = "AI"
format = "lvgl"
bpp = 2
name = "l"
output = "out/lvgl.c"
)";

// The command line that makes each [[font]] of `manifest`, run in its folder: `key = value` as
// --key value (a list of one), true as the flag alone, output as -o.
std::vector<std::vector<std::string>> CommandLines(const std::string& manifest) {
  std::vector<std::vector<std::string>> runs;
  std::istringstream lines(manifest);
  for (std::string line; std::getline(lines, line);) {
    std::smatch field, quoted;
    if (line == "[[font]]") runs.emplace_back();
    if (!std::regex_match(line, field, std::regex("([a-z-]+) = (.*)")) || field[2] == "false")
      continue;
    const std::string value = field[2];
    runs.back().push_back(field[1] == "output" ? "-o" : "--" + field[1].str());
    if (value != "true")
      runs.back().push_back(
          std::regex_search(value, quoted, std::regex("\"([^\"]*)\"")) ? quoted[1].str() : value);
  }
  return runs;
}

// Every file of a build is what the command line writes with the same options.
TEST(BuildCommandTest, EachFontIsWhatTheCommandLineExports) {
  Project project(kTwoFonts + kEveryKey);
  const Outcome run = Pindot({"build", project.manifest});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  fs::rename(project / "out", project / "built");
  const fs::path working = fs::current_path();
  fs::current_path(project / "");
  for (const std::vector<std::string>& arguments : CommandLines(kTwoFonts + kEveryKey))
    EXPECT_EQ(Pindot(arguments).status, 0) << arguments.back();
  fs::current_path(working);
  size_t files = 0;
  for (const fs::directory_entry& built : fs::directory_iterator(project / "built")) {
    const std::string name = built.path().filename().string();
    EXPECT_GT(fs::file_size(built.path()), 100u) << name;
    EXPECT_EQ(testing::ReadFileBytes(built.path()),
              testing::ReadFileBytes(project / ("out/" + name)))
        << name;
    ++files;
  }
  EXPECT_EQ(files, 11u);  // 3 EXFONT pairs, 2 sheets, raw .h and .c, the LVGL source
}

// A second run with the manifest unchanged rewrites nothing; an underline changes grid8's pixels,
// so its source and sheet, while its header and the other font stay. The outputs are first dated
// a day long past, so that a rewrite shows even within the same second.
TEST(BuildCommandTest, OnlyFilesWhoseBytesChangeAreRewritten) {
  const std::pair<const char*, std::set<std::string>> cases[] = {
      {"underline = false", {}}, {"underline = true", {"out/grid8.c", "out/grid8.png"}}};
  for (const auto& [underline, rewritten] : cases) {
    Project project;
    ASSERT_EQ(Pindot({"build", project.manifest}).status, 0);
    const auto old = std::filesystem::file_time_type::clock::now() - std::chrono::hours(24);
    for (const char* name : kOutputs) std::filesystem::last_write_time(project / name, old);
    std::string changed = kTwoFonts;
    project.Write(changed.replace(changed.find("underline = false"), 17, underline));
    ASSERT_EQ(Pindot({"build", project.manifest}).status, 0);
    for (const char* name : kOutputs) {
      EXPECT_EQ(std::filesystem::last_write_time(project / name) != old, rewritten.count(name) == 1)
          << underline << ": " << name;
    }
  }
}

// A mistake in the manifest, or an option beside "build" (each font's options belong in the
// manifest): one line, exit status 2 as for any usage error, no file or folder made. An unknown
// key and a TOML syntax error stand for every kind of manifest mistake.
TEST(BuildCommandTest, AUsageErrorExitsTwoAndWritesNothing) {
  const std::tuple<std::vector<std::string>, std::string, std::string> cases[] = {
      // options before "build", a line put before grid8's output (line 14), the error
      {{}, "sise = 16", "fonts.toml:14: key \"sise\": unknown key"},
      {{}, "output = \"unterminated", "fonts.toml:14: Error while parsing string"},
      {{"--size", "8"}, "", "pindot: --size cannot be given with build: each font's options go"},
  };
  for (const auto& [options, mistake, error] : cases) {
    std::string text = kTwoFonts;
    const Project project(text.insert(text.rfind("output"), mistake + "\n"));
    std::vector<std::string> arguments = options;
    arguments.insert(arguments.end(), {"build", project.manifest});
    const Outcome run = Pindot(arguments);
    EXPECT_EQ(run.status, 2) << error;
    EXPECT_THAT(run.err, HasSubstr(error));
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
    EXPECT_FALSE(fs::exists(project / "out")) << error;
  }
  EXPECT_EQ(Pindot({"build"}).status, 2);  // no manifest
}

// The first font is made, then the second (at line 6) fails: nothing is written, and the first
// font's old file is as it was.
TEST(BuildCommandTest, AFailingSecondFontLeavesTheFirstUnwritten) {
  const std::string grid8 = "font-file = \"" + kFonts + "grid8.bdf\"\n";
  const std::pair<std::string, std::string> cases[] = {
      {"font-file = \"none.bdf\"\noutput = \"out/grid8\"", "fonts.toml:6: cannot open font file"},
      {grid8 + "text = \"Z\"\noutput = \"out/grid8\"",
       "fonts.toml:6: --strict: not every character came out as asked"},
      {grid8 + "text = \"A\"\noutput = \"plain/x\"", "fonts.toml:6: cannot write \""},
  };
  for (const auto& [secondFont, error] : cases) {
    const Project project(kTwoFonts.substr(0, kTwoFonts.rfind("[[font]]")) + "[[font]]\n" +
                          secondFont + "\n");
    fs::create_directories(project / "out");
    std::ofstream(project / "out/worked.h") << "old";
    std::ofstream(project / "plain") << "a file where a folder would be";
    const Outcome run = Pindot({"build", "--strict", project.manifest});
    EXPECT_EQ(run.status, 1) << secondFont;
    EXPECT_THAT(run.err, HasSubstr(error));
    EXPECT_EQ(testing::ReadFileBytes(project / "out/worked.h"), "old") << secondFont;
    EXPECT_EQ(std::distance(fs::directory_iterator(project / "out"), {}), 1) << secondFont;
  }
}

// A second path to one file, through a linked folder or a hard link, is caught as a second
// spelling is: the second font's sheet would overwrite the first's header.
TEST(BuildCommandTest, OneFileReachedByTwoPathsIsRefused) {
  const std::string font = "font-file = \"" + kFonts + "grid8.bdf\"\ntext = \"A\"\n";
  for (const std::string sheet : {"alias/one.h", "out/two.h"}) {
    const Project project("[[font]]\n" + font + "output = \"out/one\"\n[[font]]\n" + font +
                          "sort = \"ansi\"\noutput = \"b/two\"\nsheet = \"" + sheet + "\"\n");
    fs::create_directories(project / "out");
    fs::create_directory_symlink("out", project / "alias");
    std::ofstream(project / "out/one.h") << "old";
    fs::create_hard_link(project / "out/one.h", project / "out/two.h");
    const Outcome run = Pindot({"build", project.manifest});
    EXPECT_EQ(run.status, 2) << sheet;
    EXPECT_THAT(run.err, HasSubstr("is also written by the font at " + project.manifest + ":1"));
    EXPECT_EQ(testing::ReadFileBytes(project / "out/one.h"), "old");
  }
}

TEST(BuildCommandTest, FontsWhoseNamesClashAreRefusedNamingBoth) {
  // grid8 at its own 8 pixels, twice with Unicode keys: both would define g_unicode_font8.
  const std::string font = "font-file = \"" + kFonts + "grid8.bdf\"\ntext = \"A\"\n";
  const Project project("[[font]]\n" + font + "output = \"a/one\"\n[[font]]\n" + font +
                        "sort = \"ansi\"\noutput = \"b/two\"\n[[font]]\n" + font +
                        "output = \"c/three\"\n");
  const Outcome run = Pindot({"build", project.manifest});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "pindot: " + project.manifest + ":10: \"" + (project / "c/three") +
                         "\" and \"" + (project / "a/one") + "\" (" + project.manifest +
                         ":1) would both define g_unicode_font8: fonts of the same height and "
                         "sort do not link together; give one another size or sort, or a name\n");
  EXPECT_FALSE(fs::exists(project / "a"));
  EXPECT_FALSE(fs::exists(project / "b"));
  // Named, the same two fonts link together; one name given twice does not.
  const Project named("[[font]]\n" + font + "name = \"one\"\noutput = \"a/one\"\n[[font]]\n" +
                      font + "name = \"three\"\noutput = \"c/three\"\n");
  EXPECT_EQ(Pindot({"build", named.manifest}).status, 0);
  const Project twice("[[font]]\n" + font + "name = \"one\"\noutput = \"a/one\"\n[[font]]\n" +
                      font + "size = 16\nname = \"one\"\noutput = \"c/three\"\n");
  EXPECT_THAT(Pindot({"build", twice.manifest}).err,
              HasSubstr("would both define g_one: give one another name\n"));
}

// The names the clash check knows are the ones the exported files define, include guard too.
TEST(BuildCommandTest, ExportedNamesAreThoseTheFilesDefine) {
  using Case = std::tuple<const char*, std::u16string, bool, uint32_t>;
  for (const auto& [name, sample, unicode, width] :
       {Case{"both tables", testing::kTestSample, true, 10}, Case{"thin only", u"ij", false, 9},
        Case{"wide only", u"\u4e2d", true, 10}}) {
    testing::TempFolder folder;
    Generator generator{CodePage(936)};
    ASSERT_EQ(
        testing::ExportTestFont(generator, sample, folder / "16px-font.v2.txt", unicode, width),
        "");
    const std::string header = testing::ReadFileBytes(folder / "16px-font.v2.h");
    const std::string source = testing::ReadFileBytes(folder / "16px-font.v2.c");
    EXPECT_EQ(header.substr(0, header.find('\r')), "#ifndef " + IncludeGuardOf(u"16px-font.v2"));
    const std::vector<std::string> names =
        SourceTemplate::For(generator, u"16px-font.v2").ExportedNames();
    EXPECT_EQ(names.size(), std::string(name) == "both tables" ? 4u : 3u) << name;
    for (const std::string& each : names) {
      // Defined where a declaration ends: "name[", "name(" or "name; ".
      EXPECT_THAT(source, ::testing::ContainsRegex(each + "(\\[[0-9]|\\(draw|; )")) << each;
    }
  }
}

}  // namespace
}  // namespace pindot
