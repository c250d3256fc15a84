// The built pindot run as a user runs it, in a fixed environment; its progress bar; character sets.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "base/user_error.h"
#include "cli/pindot_command.h"
#include "cli/terminal_progress.h"
#include "golden.h"
#include "text/character_set.h"

namespace pindot {
namespace {

const std::string kTests = PINDOT_TEST_DIR;
const std::string kTemp = PINDOT_SCRATCH_DIR "/" + std::to_string(getpid());  // per process
const std::string kFont = kTests + "/fonts/worked_example.bdf";

struct Outcome {
  int status;
  std::string out, err;
};

// Only PATH, HOME and `environment` are set; no argument holds a single quote.
Outcome Pindot(const std::vector<std::string>& arguments,
               const std::string& environment = "LANG=C") {
  std::string command =
      "env -i PATH=/usr/bin:/bin HOME=\"$HOME\" " + environment + " " + PINDOT_EXECUTABLE;
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

using ::testing::HasSubstr;

TEST(PindotCommand, WorkedExampleComesOutByteForByteAndStylesAndMissingGlyphsAsAsked) {
  Outcome data = Pindot({"--font-file", kFont, "--text", "j中ij", "--data"});
  EXPECT_TRUE(data.status == 0 && data.err.empty()) << data.err;
  testing::ExpectMatchesGolden("font_data_worked_example.txt", data.out);
  Outcome preview = Pindot({"--font-file", kFont, "--text", "j中ij", "--preview"});
  testing::ExpectMatchesGolden("glyph_preview_worked_example.txt", preview.out);
  // The sample is --text, --text-file (its byte order mark dropped), each --range, each --charset.
  Outcome run = Pindot({"--charset", "ASCII", "--range", "0X69-0x69", "--preview", "--font-file",
                        kFont, "--text-file", WriteTemp("order.txt", "\xef\xbb\xbf中"), "--range",
                        " 0106 - 106 ", "--text", "j"});  // 0106 is decimal too
  EXPECT_EQ(run.out.substr(0, preview.out.size()), preview.out);
  EXPECT_EQ(ReadSampleTextFile(WriteTemp("breaks.txt", "i\nj\r\nk\n")), u"i\r\nj\r\nk\r\n");
  // grid8's "I" (.#..): bold .##.., italic rows 1-3 a pixel right, lines in rows 5 and 8.
  run = Pindot({"--font-file", kTests + "/fonts/grid8.bdf", "--size", "8", "--text",
                "IZ\xf0\x9f\x98\x80Z", "--bold", "--italic", "--underline", "--strikeout"});
  EXPECT_EQ(run.err,
            "pindot: warning: \"Pindot Grid8\" has no glyph for 3 characters of the "
            "sample text, drawn as its glyph 0: U+005A U+D83D U+DE00\n");
  EXPECT_THAT(run.out, HasSubstr("{0x30, 0x30, 0x30, 0x60, 0xf8, 0x60, 0x00, 0xf8}"));
  EXPECT_THAT(run.out, HasSubstr("EX_FONT_UNICODE_VAL(0x005a)"));  // still drawn, as glyph 0
}

// The language is that of the first of LANGUAGE, LC_ALL, LC_MESSAGES and LANG that is set.
TEST(PindotCommand, DefaultRunsFollowTheLanguageAndGiveTheSameBytesEveryTime) {
  Outcome english = Pindot({}, "LANGUAGE= LC_ALL=C LC_MESSAGES=zh_CN.UTF-8 LANG=zh_CN.UTF-8");
  EXPECT_THAT(english.out, HasSubstr("data[1][16];} thin_unicode_font8x16[14] = \r\n"));
  EXPECT_EQ(english.err,  // the face really used, and no progress bar off a terminal
            "pindot: warning: no face named \"Fixedsys\" is installed; drawing with "
            "\"Unifont\" (/usr/share/fonts/opentype/unifont/unifont.otf)\n");
  // 中国人 at 宋体's 16 x 16 (AR PL UMing sized as 宋体), and 中 by its code page 936 bytes D6 D0,
  // low byte first.
  Outcome chinese = Pindot({"--sort", "ansi", "--codepage", "936"},
                           "LANGUAGE=zh_CN:en_US LC_ALL=en_US.UTF-8 LANG=en_US.UTF-8");
  EXPECT_THAT(chinese.out, HasSubstr("wide_ansi_font16x16[3]"));
  EXPECT_THAT(chinese.out, HasSubstr("\t\tEX_FONT_CHAR(\"中\")\r\n\t\tEX_FONT_ANSI_VAL(0xd0d6)"));
  EXPECT_THAT(chinese.err, HasSubstr("\"宋体\" is installed; drawing with \"AR PL UMing CN\""));
  const std::string gb2312 = "LANGUAGE= LC_ALL= LC_MESSAGES=zh_CN.UTF-8 LANG=C";
  const std::string first = Pindot({"--charset", "GB2312", "--preview", "--data"}, gb2312).out;
  EXPECT_THAT(first, HasSubstr("wide_unicode_font16x16["));
  EXPECT_TRUE(first.size() > 1000000 &&
              first == Pindot({"--charset", "GB2312", "--preview", "--data"}, gb2312).out);
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
      {{"--range", "65"}, 1, "expected A-B"},
      {{"--range", "0-1114112"}, 1, "beyond the last code point 0x10ffff"},
      {{"--range", "0x20-0x1g"}, 1, "\"0x1g\" is not a hexadecimal number"},
      {{"--charset", "NO-SUCH-SET"}, 1, "unknown character set \"NO-SUCH-SET\""},
      {{"--colour"}, 2, "--colour"},
  };
  for (const auto& [arguments, status, message] : cases) {
    Outcome run = Pindot(arguments);
    EXPECT_TRUE(run.status == status && run.out.empty() && run.err.rfind("pindot: ", 0) == 0 &&
                run.err.find(message) != std::string::npos &&
                run.err.find('\n') == run.err.size() - 1)
        << status << " " << message << ": " << run.status << " " << run.err;
  }
}

}  // namespace
}  // namespace pindot
