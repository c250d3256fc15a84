// The built pindot run as a user runs it, in a fixed environment; and its terminal progress bar.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/pindot_command.h"
#include "cli/terminal_progress.h"
#include "golden.h"

namespace pindot {
namespace {

const std::string kTests = PINDOT_TEST_DIR;
const std::string kTemp = PINDOT_SCRATCH_DIR "/" + std::to_string(getpid());  // per process
const std::string kFont = kTests + "/fonts/worked_example.bdf";
const std::vector<std::string> kWorked = {"--font-file", kFont, "--text", "j中ij"};

struct Outcome {
  int status;
  std::string out, err;
};

// Only PATH, HOME and `environment` are set; no argument holds a single quote.
Outcome Pindot(std::vector<std::string> arguments, const std::vector<std::string>& more = {},
               const std::string& environment = "LANG=C") {
  std::string command =
      "env -i PATH=/usr/bin:/bin HOME=\"$HOME\" " + environment + " " + PINDOT_EXECUTABLE;
  arguments.insert(arguments.end(), more.begin(), more.end());
  for (const std::string& argument : arguments) command += " '" + argument + "'";
  const int status =
      std::system((command + " </dev/null >" + kTemp + ".out 2>" + kTemp + ".err").c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, testing::ReadFileBytes(kTemp + ".out"),
          testing::ReadFileBytes(kTemp + ".err")};
}

std::string WriteTemp(const std::string& name, const std::string& bytes) {
  std::ofstream(kTemp + name, std::ios::binary) << bytes;
  return kTemp + name;
}

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(PindotCommand, WorkedExampleComesOutByteForByte) {
  Outcome data = Pindot(kWorked, {"--data"});
  EXPECT_TRUE(data.status == 0 && data.err.empty()) << data.err;
  testing::ExpectMatchesGolden("font_data_worked_example.txt", data.out);
  Outcome preview = Pindot(kWorked, {"--preview"});
  testing::ExpectMatchesGolden("glyph_preview_worked_example.txt", preview.out);
  EXPECT_EQ(Pindot(kWorked, {"--data", "--preview"}).out, preview.out + "\r\n" + data.out);
  // The sample text is --text, then --text-file, then each --range, then each --charset.
  Outcome run = Pindot({"--range", "0x69-0x69", "--preview", "--font-file", kFont, "--text-file",
                        WriteTemp("order.txt", "中"), "--range", "106-106", "--text", "j"});
  EXPECT_EQ(run.out, preview.out);
  Outcome charset =
      Pindot({"--font-file", kFont, "--charset", "ASCII", "--range", "0x4e2d-0x4e2d", "--preview"});
  EXPECT_EQ(charset.out.substr(0, 22), "ff 1111111111111111\r\n1");  // 中 first
  // A text file loses its byte order mark, and its line breaks become CR LF.
  EXPECT_EQ(ReadSampleTextFile(WriteTemp("breaks.txt", "\xef\xbb\xbfi\nj\r\nk\n")),
            u"i\r\nj\r\nk\r\n");
}

TEST(PindotCommand, DefaultRunsFollowTheLanguageAndGiveTheSameBytesEveryTime) {
  Outcome english = Pindot({});
  // "0123456789abcd": fourteen thin characters of Unifont, 8 x 16.
  EXPECT_TRUE(Has(english.out, "data[1][16];} thin_unicode_font8x16[14] = \r\n"));
  // The face really used, on one line of its own; no progress bar off a terminal.
  EXPECT_TRUE(Has(english.err, "\"Fixedsys\" is installed; drawing with \"Unifont\""))
      << english.err;
  EXPECT_EQ(english.err.find_first_of("\r\n"), english.err.size() - 1) << english.err;

  Outcome chinese = Pindot({"--sort", "ansi"}, {}, "LANG=zh_CN.UTF-8");
  // 中国人 at AR PL UMing's 15 x 16, and 中 by its code page 936 bytes D6 D0, low byte first.
  EXPECT_TRUE(Has(chinese.out, "wide_ansi_font15x16[3]"));
  EXPECT_TRUE(Has(chinese.out, "\t\tEX_FONT_CHAR(\"中\")\r\n\t\tEX_FONT_ANSI_VAL(0xd0d6)"));
  EXPECT_TRUE(Has(chinese.err, "\"宋体\" is installed; drawing with \"AR PL UMing CN\""));
  const std::vector<std::string> gb2312 = {"--charset", "GB2312", "--preview", "--data"};
  const std::string first = Pindot(gb2312, {}, "LANG=zh_CN.UTF-8").out;
  EXPECT_TRUE(first.size() > 1000000 && first == Pindot(gb2312, {}, "LANG=zh_CN.UTF-8").out);
}

TEST(PindotCommand, WarnsOfCharactersWithoutAGlyphAndPassesTheStyles) {
  Outcome run = Pindot({"--font-file", kFont, "--text", "iZ\xf0\x9f\x98\x80Z"});  // D83D DE00
  EXPECT_TRUE(Has(run.err, "\"Pindot Worked\" has no glyph for 3 characters")) << run.err;
  EXPECT_TRUE(Has(run.err, ": U+005A U+D83D U+DE00\n")) << run.err;
  EXPECT_TRUE(Has(run.out, "EX_FONT_UNICODE_VAL(0x005a)"));  // still drawn, as glyph 0
  // grid8's "I" (.#..): bold .##.., italic rows 1-3 a pixel right, lines in rows 5 and 8.
  Outcome styled = Pindot({"--font-file", kTests + "/fonts/grid8.bdf", "--size", "8", "--text", "I",
                           "--bold", "--italic", "--underline", "--strikeout"});
  EXPECT_TRUE(Has(styled.out, "{0x30, 0x30, 0x30, 0x60, 0xf8, 0x60, 0x00, 0xf8}")) << styled.out;
  EXPECT_EQ(Pindot({"--version"}).out, std::string("pindot ") + PINDOT_VERSION_TEXT + "\n");
}

TEST(PindotCommand, BadInputGetsOneLineOnStandardErrorAndNoOutput) {
  const std::tuple<std::vector<std::string>, int, std::string> cases[] = {
      {{"--font-file", "/none/x.ttf"}, 1, "font file \"/none/x.ttf\": No such file or directory"},
      {{"--font-file", kTests}, 1, "cannot open font file \"" + kTests + "\": it is a directory"},
      {{"--font-file", kTests + "/CMakeLists.txt"}, 1, "CMakeLists.txt\": unknown file format"},
      {{"--font", "No Such Face"}, 1, "no font matches face name \"No Such Face\""},
      {{"--size", "0"}, 2, "--size: \"0\" is not a cell height from 1 to 1000 pixels"},
      {{"--size", "-16"}, 2, "\"-16\" is not a cell height"},
      {{"--size", "1001"}, 2, "\"1001\" is not a cell height"},
      {{"--codepage", "99999"}, 1, "unknown code page 99999"},
      {{"--text-file", "/none/t.txt"}, 1, "text file \"/none/t.txt\": No such file or directory"},
      {{"--text-file", WriteTemp("latin1.txt", "caf\xe9")}, 1, "latin1.txt\" is not valid UTF-8"},
      {{"--text", "caf\xe9"}, 1, "the --text value is not valid UTF-8"},
      {{"--range", ""}, 1, "character range \"\": empty"},
      {{"--range", "0x7e-0x20"}, 1, "character range \"0x7e-0x20\": reversed"},
      {{"--charset", "NO-SUCH-SET"}, 1, "unknown character set \"NO-SUCH-SET\""},
      {{"--colour"}, 2, "--colour"},
  };
  for (const auto& [arguments, status, message] : cases) {
    Outcome run = Pindot(arguments);
    EXPECT_TRUE(run.status == status && run.out.empty() && run.err.rfind("pindot: ", 0) == 0 &&
                Has(run.err, message) && run.err.find('\n') == run.err.size() - 1)
        << status << " " << message << ": " << run.status << " " << run.err;
  }
}

TEST(TerminalProgress, RedrawsOnlyWhenThePercentageChangesAndWipesItsLine) {
  std::ostringstream terminal;
  { TerminalProgress unused(terminal); }  // never drawn, so nothing to wipe
  {
    TerminalProgress progress(terminal);
    progress.SetRange(100000);  // beyond 16 bits
    for (int i = 0; i < 100000; ++i) progress.Step();
    progress.SetRange(0);  // a new stage, empty and so complete
  }
  const std::string text = terminal.str();  // 0% .. 100%, 100% for the second stage, the wipe
  EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), 104);
  EXPECT_EQ(text.substr(text.size() - 98),
            "\r[" + std::string(40, '#') + "] 100%\r" + std::string(48, ' ') + "\r");
}

}  // namespace
}  // namespace pindot
