// pindot build: a manifest's fonts made as the command line makes them, all or nothing, unchanged
// files left alone, clashing names refused.
#include "cli/build_command.h"

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/manifest.h"
#include "cli/pindot_command.h"
#include "export_test_font.h"
#include "golden.h"

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

// Each output's inode and modification time, after setting the time to a day long past so that a
// rewrite shows even within the same second.
std::vector<std::pair<ino_t, long>> AgeAndStat(const Project& project) {
  std::vector<std::pair<ino_t, long>> stats;
  for (const char* name : kOutputs) {
    const timespec old[2] = {{1000000000, 0}, {1000000000, 0}};
    utimensat(AT_FDCWD, (project / name).c_str(), old, 0);
    struct stat status {};
    stat((project / name).c_str(), &status);
    stats.emplace_back(status.st_ino, status.st_mtim.tv_sec);
  }
  return stats;
}

TEST(BuildCommandTest, EachFontIsWhatTheCommandLineExports) {
  Project project;
  const Outcome run = Pindot({"build", project.manifest});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  const std::string reference = project.folder / "reference/";
  EXPECT_EQ(Pindot({"--font-file", kFonts + "worked_example.bdf", "--text", "j\xe4\xb8\xadij", "-o",
                    reference + "worked.h"})
                .status,
            0);
  EXPECT_EQ(Pindot({"--font-file", kFonts + "grid8.bdf", "--size", "8", "--text", "AI\xe4\xb8\xad",
                    "--sort", "ansi", "--codepage", "1252", "--sheet", reference + "grid8.png",
                    "-o", reference + "grid8"})
                .status,
            0);
  for (const char* name : kOutputs) {
    const std::string built = testing::ReadFileBytes(project / name);
    EXPECT_GT(built.size(), 100u) << name;
    EXPECT_EQ(built, testing::ReadFileBytes(reference + fs::path(name).filename().string()))
        << name;
  }
}

TEST(BuildCommandTest, ASecondRunRewritesNothing) {
  Project project;
  ASSERT_EQ(Pindot({"build", project.manifest}).status, 0);
  const auto before = AgeAndStat(project);
  ASSERT_EQ(Pindot({"build", project.manifest}).status, 0);
  for (size_t i = 0; i < std::size(kOutputs); ++i) {
    struct stat status {};
    stat((project / kOutputs[i]).c_str(), &status);
    EXPECT_EQ(status.st_ino, before[i].first) << kOutputs[i];
    EXPECT_EQ(status.st_mtim.tv_sec, before[i].second) << kOutputs[i];
  }
}

// An underline changes grid8's pixels, so its source and sheet; its header and the other font stay.
TEST(BuildCommandTest, ChangingOneFontRewritesOnlyItsChangedFiles) {
  Project project;
  ASSERT_EQ(Pindot({"build", project.manifest}).status, 0);
  const auto before = AgeAndStat(project);
  std::string underlined = kTwoFonts;
  underlined.replace(underlined.find("underline = false"), 17, "underline = true");
  project.Write(underlined);
  ASSERT_EQ(Pindot({"build", project.manifest}).status, 0);
  const std::map<std::string, bool> rewritten = {{"out/worked.h", false},
                                                 {"out/worked.c", false},
                                                 {"out/grid8.h", false},
                                                 {"out/grid8.c", true},
                                                 {"out/grid8.png", true}};
  for (size_t i = 0; i < std::size(kOutputs); ++i) {
    struct stat status {};
    stat((project / kOutputs[i]).c_str(), &status);
    EXPECT_EQ(status.st_mtim.tv_sec != before[i].second, rewritten.at(kOutputs[i])) << kOutputs[i];
  }
}

// A mistake in the manifest: one line, exit status 2 as for a usage error, no file or folder made.
TEST(BuildCommandTest, AManifestMistakeExitsTwoAndWritesNothing) {
  for (const char* mistake : {"sise = 16", "size = \"16\"", "size = 0", "sort = \"code\"",
                              "output = \"out/\"", "output = \"unterminated"}) {
    std::string text = kTwoFonts;
    text.insert(text.rfind("output"), std::string(mistake) + "\n");
    const Project project(text);
    const Outcome run = Pindot({"build", project.manifest});
    EXPECT_EQ(run.status, 2) << mistake;
    EXPECT_THAT(run.err, ::testing::StartsWith("pindot: " + project.manifest + ":1"));
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
    EXPECT_FALSE(fs::exists(project / "out")) << mistake;
  }
}

// Each font's options belong in the manifest; the command's own beside "build" are a usage error.
TEST(BuildCommandTest, TheCommandsOwnOptionsWithBuildAreAUsageError) {
  const Project project;
  const Outcome run = Pindot({"--size", "8", "build", project.manifest});
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err,
            "pindot: --size cannot be given with build: each font's options go in the manifest "
            "(see pindot build --help)\n");
  EXPECT_EQ(Pindot({"build"}).status, 2);
  EXPECT_FALSE(fs::exists(project / "out"));
}

// The first font is made, then the second (at line 6) fails: nothing is written, and the first
// font's old file is as it was.
TEST(BuildCommandTest, AFailingSecondFontLeavesTheFirstUnwritten) {
  const std::string grid8 = "font-file = \"" + kFonts + "grid8.bdf\"\n";
  const std::pair<std::string, std::string> cases[] = {
      {"font-file = \"none.bdf\"\noutput = \"out/grid8\"", "fonts.toml:6: cannot open font file"},
      {grid8 + "text = \"Z\"\noutput = \"out/grid8\"",
       "fonts.toml:6: --strict: not every character came out as asked"},
      {grid8 + "charset = [\"NO-SUCH\"]\noutput = \"out/grid8\"",
       "fonts.toml:6: unknown character set \"NO-SUCH\""},
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
                         "sort do not link together; give one another size or sort\n");
  EXPECT_FALSE(fs::exists(project / "a"));
  EXPECT_FALSE(fs::exists(project / "b"));
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
    const std::vector<std::string> names = ExportedNames(generator);
    EXPECT_EQ(names.size(), std::string(name) == "both tables" ? 4u : 3u) << name;
    for (const std::string& each : names) {
      // Defined where a declaration ends: "name[", "name(" or "name; ".
      EXPECT_THAT(source, ::testing::ContainsRegex(each + "(\\[[0-9]|\\(draw|; )")) << each;
    }
  }
}

}  // namespace
}  // namespace pindot
