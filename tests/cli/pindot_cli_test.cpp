// Runs the built pindot as a separate process with a fixed environment.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "golden.h"

extern char** environ;

namespace pindot {
namespace {

using testing::ExpectMatchesGolden;
using testing::ReadFileBytes;

struct ProcessRun {
  int status = -1;
  std::string out;
  std::string err;
};

std::string TestFont(const char* name) {
  return std::string(PINDOT_TEST_DIR) + "/fonts/" + name;
}

std::string TempPath(const std::string& name) {
  return ::testing::TempDir() + "pindot_cli_" + std::to_string(getpid()) + "_" + name;
}

std::string WriteTempFile(const std::string& name, const std::string& bytes) {
  std::string path = TempPath(name);
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

// The environment of every run: the C locale unless a case sets another, no code page forced.
std::vector<std::string> Environment(const std::vector<std::string>& settings) {
  std::vector<std::string> environment = {
      "PATH=/usr/bin:/bin", "LANG=C",    "LC_ALL=",         "LANGUAGE=",
      "LC_MESSAGES=",       "LC_CTYPE=", "PINDOT_CODEPAGE="};
  if (const char* home = std::getenv("HOME")) environment.push_back(std::string("HOME=") + home);
  for (const std::string& setting : settings) {
    std::string name = setting.substr(0, setting.find('=') + 1);
    for (std::string& existing : environment) {
      if (existing.compare(0, name.size(), name) == 0) existing = setting;
    }
    if (std::find(environment.begin(), environment.end(), setting) == environment.end()) {
      environment.push_back(setting);
    }
  }
  return environment;
}

ProcessRun RunPindotProcess(const std::vector<std::string>& arguments,
                            const std::vector<std::string>& settings = {}) {
  static int counter = 0;
  ++counter;
  std::string outPath = TempPath("out" + std::to_string(counter));
  std::string errPath = TempPath("err" + std::to_string(counter));
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  std::vector<std::string> argumentStrings{PINDOT_EXECUTABLE};
  argumentStrings.insert(argumentStrings.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& argument : argumentStrings) argv.push_back(argument.data());
  argv.push_back(nullptr);
  std::vector<std::string> environmentStrings = Environment(settings);
  std::vector<char*> envp;
  for (std::string& setting : environmentStrings) envp.push_back(setting.data());
  envp.push_back(nullptr);

  ProcessRun run;
  pid_t pid = 0;
  int spawned = posix_spawn(&pid, PINDOT_EXECUTABLE, &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) {
    ADD_FAILURE() << "cannot start " << PINDOT_EXECUTABLE;
    return run;
  }
  int status = 0;
  waitpid(pid, &status, 0);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  run.out = ReadFileBytes(outPath);
  run.err = ReadFileBytes(errPath);
  unlink(outPath.c_str());
  unlink(errPath.c_str());
  return run;
}

size_t CountLines(const std::string& text) {
  return std::count(text.begin(), text.end(), '\n');
}

const std::vector<std::string> kWorkedExample = {"--font-file", TestFont("worked_example.bdf"),
                                                 "--text", "j\xe4\xb8\xadij"};  // "j中ij"

std::vector<std::string> With(std::vector<std::string> arguments,
                              const std::vector<std::string>& more) {
  arguments.insert(arguments.end(), more.begin(), more.end());
  return arguments;
}

TEST(PindotCommand, WorkedExampleComesOutByteForByte) {
  ProcessRun data = RunPindotProcess(With(kWorkedExample, {"--data"}));
  EXPECT_EQ(data.status, 0) << data.err;
  EXPECT_EQ(data.err, "");  // the file has every character, and a file has no asked name
  ExpectMatchesGolden("font_data_worked_example.txt", data.out);
  EXPECT_EQ(CountLines(data.out), 28u);

  // --data is the default.
  EXPECT_EQ(RunPindotProcess(kWorkedExample).out, data.out);

  ProcessRun ansi = RunPindotProcess(With(kWorkedExample, {"--sort", "ansi", "--codepage", "936"}));
  EXPECT_EQ(ansi.status, 0) << ansi.err;
  ExpectMatchesGolden("font_data_worked_example_ansi936.txt", ansi.out);
}

TEST(PindotCommand, PreviewShowsEveryUnitsRowsInSampleOrder) {
  ProcessRun preview = RunPindotProcess(With(kWorkedExample, {"--preview"}));
  EXPECT_EQ(preview.status, 0) << preview.err;
  ExpectMatchesGolden("glyph_preview_worked_example.txt", preview.out);
  // j, 中, i, j: two rows each, repeats kept.
  EXPECT_EQ(preview.out.substr(0, 25), "20     11\r\nc0 1111  \r\nff ");

  // Both: the preview, an empty line, the font data text.
  ProcessRun both = RunPindotProcess(With(kWorkedExample, {"--preview", "--data"}));
  ProcessRun data = RunPindotProcess(kWorkedExample);
  EXPECT_EQ(both.out, preview.out + "\r\n" + data.out);
}

TEST(PindotCommand, DefaultRunInTheCLocaleUsesFixedsysThroughTheAliasFile) {
  ProcessRun run = RunPindotProcess({});
  EXPECT_EQ(run.status, 0) << run.err;
  // "0123456789abcd": fourteen thin characters of Unifont, 8 x 16; no wide table.
  EXPECT_NE(run.out.find("struct _thin_unicode_font8x16 {unsigned short value; unsigned char "
                         "data[1][16];} thin_unicode_font8x16[14] = \r\n"),
            std::string::npos);
  EXPECT_EQ(run.out.find("wide_"), std::string::npos);
  EXPECT_NE(run.out.find("\t\tEX_FONT_CHAR(\"d\")\r\n\t\tEX_FONT_UNICODE_VAL(0x0064)"),
            std::string::npos);
  // The face really used is named, once, on its own line.
  EXPECT_NE(run.err.find("\"Fixedsys\""), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("\"Unifont\""), std::string::npos) << run.err;
  EXPECT_EQ(CountLines(run.err), 1u) << run.err;
  // No progress bar when standard error is not a terminal.
  EXPECT_EQ(run.err.find('\r'), std::string::npos);
}

TEST(PindotCommand, ChineseLocaleUsesItsSampleTextFaceAndCodePage) {
  ProcessRun run = RunPindotProcess({"--sort", "ansi"}, {"LANG=zh_CN.UTF-8"});
  EXPECT_EQ(run.status, 0) << run.err;
  for (const char* character : {"中", "国", "人"}) {
    EXPECT_NE(run.out.find(std::string("EX_FONT_CHAR(\"") + character + "\")"), std::string::npos)
        << character;
  }
  // Code page 936 from the locale: 中 is D6 D0, key 0xd0d6.
  EXPECT_NE(run.out.find("EX_FONT_ANSI_VAL(0xd0d6)"), std::string::npos);
  EXPECT_NE(run.out.find("wide_ansi_font"), std::string::npos);
  EXPECT_EQ(run.out.find("thin_"), std::string::npos);
  EXPECT_NE(run.err.find("\"宋体\""), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("AR PL UMing CN"), std::string::npos) << run.err;

  // LANGUAGE picks the strings but not the code page.
  ProcessRun english = RunPindotProcess({"--sort", "ansi"}, {"LANGUAGE=zh_CN", "LANG=C"});
  EXPECT_NE(english.out.find("EX_FONT_ANSI_VAL(0x0020)"), std::string::npos) << english.out;
}

TEST(PindotCommand, SampleTextIsTextThenFileThenRangesThenCharsets) {
  std::string file = WriteTempFile("order.txt", "\xe4\xb8\xad");  // 中
  std::string font = TestFont("worked_example.bdf");
  ProcessRun expected =
      RunPindotProcess({"--font-file", font, "--text", "j\xe4\xb8\xadij", "--preview"});
  // Given in another order on the command line.
  ProcessRun run = RunPindotProcess({"--range", "0x69-0x69", "--preview", "--font-file", font,
                                     "--text-file", file, "--range", "106-106", "--text", "j"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, expected.out);
  // A character set comes after every range.
  ProcessRun charset = RunPindotProcess(
      {"--font-file", font, "--charset", "ASCII", "--range", "0x4e2d-0x4e2d", "--preview"});
  EXPECT_EQ(charset.out.substr(0, 22), "ff 1111111111111111\r\n1");
}

TEST(PindotCommand, TextFileDropsItsByteOrderMarkAndGetsCrLfLineBreaks) {
  std::string font = TestFont("worked_example.bdf");
  ProcessRun typed = RunPindotProcess({"--font-file", font, "--text", "i\r\nj", "--preview"});
  for (std::string bytes : {std::string("\xef\xbb\xbfi\nj"), std::string("i\r\nj")}) {
    std::string file = WriteTempFile("breaks.txt", bytes);
    ProcessRun run =
        RunPindotProcess({"--font-file", font, "--text-file", file, "--preview", "--data"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.substr(0, typed.out.size()), typed.out);
    EXPECT_NE(run.out.find("EX_FONT_UNICODE_VAL(0x000d)"), std::string::npos);
    EXPECT_NE(run.out.find("EX_FONT_UNICODE_VAL(0x000a)"), std::string::npos);
    EXPECT_EQ(run.out.find("0xfeff"), std::string::npos);
  }
}

TEST(PindotCommand, WarnsAboutCharactersTheFaceHasNoGlyphFor) {
  // "i", "Z", U+1F600 (D83D DE00), "Z" again.
  ProcessRun run = RunPindotProcess(
      {"--font-file", TestFont("worked_example.bdf"), "--text", "iZ\xf0\x9f\x98\x80Z"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find("\"Pindot Worked\" has no glyph for 3 characters"), std::string::npos)
      << run.err;
  EXPECT_NE(run.err.find(": U+005A U+D83D U+DE00\n"), std::string::npos) << run.err;
  // They are still drawn and written, as glyph 0.
  EXPECT_NE(run.out.find("EX_FONT_UNICODE_VAL(0x005a)"), std::string::npos);
}

TEST(PindotCommand, RepeatedRunsGiveTheSameBytes) {
  const std::vector<std::string> arguments = {"--charset", "GB2312",    "--range",
                                              "0x20-0x7e", "--preview", "--data"};
  ProcessRun first = RunPindotProcess(arguments, {"LANG=zh_CN.UTF-8"});
  ProcessRun second = RunPindotProcess(arguments, {"LANG=zh_CN.UTF-8"});
  EXPECT_EQ(first.status, 0) << first.err;
  EXPECT_GT(first.out.size(), 1000000u);
  EXPECT_TRUE(first.out == second.out);
  EXPECT_EQ(first.err, second.err);
}

TEST(PindotCommand, HelpAndVersion) {
  ProcessRun help = RunPindotProcess({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.err, "");
  for (const char* option : {"--font ", "--font-file", "--size", "--bold", "--italic",
                             "--underline", "--strikeout", "--text ", "--text-file", "--range",
                             "--charset", "--sort", "--codepage", "--preview", "--data"}) {
    EXPECT_NE(help.out.find(option), std::string::npos) << option;
  }
  ProcessRun version = RunPindotProcess({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, std::string("pindot ") + PINDOT_VERSION_TEXT + "\n");
}

struct BadInput {
  const char* name;
  std::vector<std::string> arguments;
  int status;
  std::string message;  // part of the one line on standard error
};

TEST(PindotCommand, BadInputGetsOneLineOnStandardErrorAndNoOutput) {
  std::string notUtf8 = WriteTempFile("latin1.txt", "caf\xe9\n");
  std::string emptyFont = WriteTempFile("empty.ttf", "");
  const BadInput cases[] = {
      {"missing font file",
       {"--font-file", "/nonexistent/x.ttf"},
       1,
       "cannot open font file \"/nonexistent/x.ttf\": No such file or directory"},
      {"directory as font file", {"--font-file", PINDOT_TEST_DIR}, 1, "it is a directory"},
      {"not a font",
       {"--font-file", std::string(PINDOT_TEST_DIR) + "/CMakeLists.txt"},
       1,
       "unknown file format"},
      {"empty font file", {"--font-file", emptyFont}, 1, "cannot open font file"},
      {"unmatched face name",
       {"--font", "No Such Face Pindot"},
       1,
       "no font matches face name \"No Such Face Pindot\""},
      {"size 0", {"--size", "0"}, 2, "--size: \"0\" is not a cell height from 1 to 1000 pixels"},
      {"negative size", {"--size", "-16"}, 2, "\"-16\" is not a cell height"},
      {"negative size joined", {"--size=-1"}, 2, "\"-1\" is not a cell height"},
      {"size above 1000", {"--size", "1001"}, 2, "\"1001\" is not a cell height"},
      {"size not a number", {"--size", "big"}, 2, "\"big\" is not a cell height"},
      {"unknown code page", {"--codepage", "99999"}, 1, "unknown code page 99999"},
      {"code page not a number", {"--codepage", "gbk"}, 2, "--codepage"},
      {"unreadable text file",
       {"--text-file", "/nonexistent/sample.txt"},
       1,
       "cannot read text file \"/nonexistent/sample.txt\": No such file or directory"},
      {"directory as text file", {"--text-file", PINDOT_TEST_DIR}, 1, "Is a directory"},
      {"text file not UTF-8", {"--text-file", notUtf8}, 1, "is not valid UTF-8"},
      {"text not UTF-8", {"--text", "caf\xe9"}, 1, "the --text value is not valid UTF-8"},
      {"empty range", {"--range", ""}, 1, "character range \"\": empty"},
      {"reversed range", {"--range", "0x7e-0x20"}, 1, "reversed"},
      {"range beyond Unicode", {"--range", "0x20-0x110000"}, 1, "beyond the last code point"},
      {"unknown character set",
       {"--charset", "NO-SUCH-SET"},
       1,
       "unknown character set \"NO-SUCH-SET\""},
      {"unknown option", {"--colour"}, 2, "--colour"},
      {"stray argument", {"hello"}, 2, "hello"},
      {"missing option value", {"--font"}, 2, "--font"},
      {"font and font file", {"--font", "Fixedsys", "--font-file", "x.bdf"}, 2, "excludes"},
      {"unknown sort", {"--sort", "size"}, 2, "--sort"},
  };
  for (const BadInput& c : cases) {
    ProcessRun run = RunPindotProcess(c.arguments);
    EXPECT_EQ(run.status, c.status) << c.name << ": " << run.err;
    EXPECT_EQ(run.out, "") << c.name;
    EXPECT_EQ(CountLines(run.err), 1u) << c.name << ": " << run.err;
    EXPECT_EQ(run.err.rfind("pindot: ", 0), 0u) << c.name << ": " << run.err;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << c.name << ": " << run.err;
  }
  unlink(notUtf8.c_str());
  unlink(emptyFont.c_str());
}

TEST(PindotCommand, UnreadableFontFileIsReported) {
  if (geteuid() == 0) GTEST_SKIP() << "root reads every file";
  std::string path = WriteTempFile("locked.bdf", ReadFileBytes(TestFont("grid8.bdf")));
  chmod(path.c_str(), 0);
  ProcessRun run = RunPindotProcess({"--font-file", path});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("Permission denied"), std::string::npos) << run.err;
  unlink(path.c_str());
}

}  // namespace
}  // namespace pindot
