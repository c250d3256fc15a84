// The built pindot run as a user runs it, in a fixed environment; its progress bar; character sets.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "cli/pindot_command.h"
#include "cli/sample_text_file.h"
#include "golden.h"

namespace pindot {
namespace {

const std::string kTests = PINDOT_TEST_DIR;
const std::string kTemp = PINDOT_SCRATCH_DIR "/" + std::to_string(getpid());  // per process
const std::string kFont = kTests + "/fonts/worked_example.bdf";
const std::string kGrid8 = kTests + "/fonts/grid8.bdf";
const std::string kDejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

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

TEST(PindotCommand, WorkedExampleMatchesTheGoldenFiles) {
  const Outcome data = Pindot({"--font-file", kFont, "--text", "j中ij", "--data"});
  EXPECT_EQ(data.status, 0);
  EXPECT_EQ(data.err, "");
  testing::ExpectMatchesGolden("font_data_worked_example.txt", data.out);
  const Outcome preview = Pindot({"--font-file", kFont, "--text", "j中ij", "--preview"});
  testing::ExpectMatchesGolden("glyph_preview_worked_example.txt", preview.out);
}

// The sample is --text, --text-file (its byte order mark dropped), each --range, each --charset,
// whatever order the options come in: here "j中ij" as in the worked example, then ASCII.
TEST(PindotCommand, SampleIsTextThenTextFileThenRangesThenCharacterSets) {
  const Outcome run =
      Pindot({"--charset", "ASCII", "--range", "0X69-0x69", "--preview", "--font-file", kFont,
              "--text-file", WriteTemp("order.txt", "\xef\xbb\xbf中"), "--range", " 0106 - 106 ",
              "--text", "j"});  // 0106 is decimal too
  const std::string preview =
      testing::ReadFileBytes(testing::GoldenPath("glyph_preview_worked_example.txt"));
  EXPECT_EQ(run.out.substr(0, preview.size()), preview);
}

TEST(PindotCommand, TextFileLineBreaksBecomeCrLf) {
  EXPECT_EQ(ReadSampleTextFile(WriteTemp("breaks.txt", "i\nj\r\nk\n")), u"i\r\nj\r\nk\r\n");
}

// Whatever does not come out as asked is said, one line per kind, whatever is printed or written.
TEST(PindotCommand, WarningsAreOneLinePerKind) {
  const std::string oversized = kTests + "/fonts/oversized.bdf", cut = "iWM\xe4\xb8\xad";
  // oversized.bdf, 10 x 4: "W" (9 pixels) fits the wide cell, "M" (17) is cut to its 10 pixels.
  const std::string cutLine =
      "pindot: warning: the wide table's 10 x 4 cell is too small for 1 "
      "glyph, cut to fit: U+004D \"M\"\n";
  const std::tuple<const char*, std::vector<std::string>, std::string> cases[] = {
      {"missing glyphs",
       {"--font-file", kGrid8, "--size", "8", "--text", "IZ\xf0\x9f\x98\x80Z"},
       "pindot: warning: \"Pindot Grid8\" has no glyph for 3 characters of the sample text, drawn "
       "as its glyph 0: U+005A \"Z\", U+D83D, U+DE00\n"},
      // grid8 has A, I and U+4E2D but no Z, U+0100 or U+0101; code page 1252 has A, I and Z but
      // none of the others, whose ANSI code is then the space's: of the wide table's A, Z, U+0100,
      // U+0101 and U+4E2D (8 wide; I is thin), the last two share U+0100's 0x0020.
      {"missing and left out",
       {"--font-file", kGrid8, "--text", "AIZ\xc4\x80\xc4\x81\xe4\xb8\xad", "--sort", "ansi",
        "--codepage", "1252"},
       "pindot: warning: \"Pindot Grid8\" has no glyph for 3 characters of the sample text, drawn "
       "as its glyph 0: U+005A \"Z\", U+0100 \"\xc4\x80\", U+0101 \"\xc4\x81\"\n"
       "pindot: warning: the wide table leaves out 2 characters whose ANSI code is that of an "
       "earlier character (a character the code page lacks gets the space's code, 0x0020): "
       "U+0101 \"\xc4\x81\", U+4E2D \"\xe4\xb8\xad\"\n"},
      {"cut, preview", {"--font-file", oversized, "--text", cut, "--preview"}, cutLine},
      {"cut, export", {"--font-file", oversized, "--text", cut, "-o", kTemp + "-cut"}, cutLine},
      // LVGL's glyphs have no cell to be cut to; they hold no character beyond U+FFFF.
      {"lvgl",
       {"--font-file", oversized, "--text", cut + "\xf0\x9f\x98\x80", "--format", "lvgl", "--name",
        "f", "-o", kTemp + "-lvgl"},
       "pindot: warning: \"Pindot Oversized\" has no glyph for 2 characters of the sample text, "
       "drawn as its glyph 0: U+D83D, U+DE00\npindot: warning: 1 character beyond U+FFFF left out: "
       "the lvgl font holds U+0020..U+FFFF\n"},
      {"another strike",
       {"--font-file", kGrid8, "--size", "20", "--text", "A"},
       "pindot: warning: \"Pindot Grid8\" has no 20-pixel size: drawn with its 8-pixel strike\n"},
      {"gfx codes the sample lacks",
       {"--font-file", kDejaVu, "--text", "ACEGI", "--format", "gfx", "--name", "g"},
       "pindot: warning: 4 codes between U+0041 and U+0049 are not in the sample: the GFX font "
       "has empty glyphs for them: U+0042, U+0044, U+0046, U+0048\n"},
      {"no \xe4\xb8\xad, width given",
       {"--font-file", kDejaVu, "--text", "a", "--width", "12"},
       ""},
      // Control codes such as a line break, DEL and C1 are in no face: drawing them as glyph 0
      // loses nothing.
      {"line breaks",
       {"--font-file", kFont, "--text-file", WriteTemp("two.txt", "i\nj\n"), "--strict"},
       ""},
      {"DEL and C1 controls", {"--font-file", kFont, "--range", "0x7f-0x9f", "--strict"}, ""},
  };
  for (const auto& [name, arguments, warnings] : cases) {
    const Outcome run = Pindot(arguments);
    EXPECT_EQ(run.status, 0) << name;
    EXPECT_EQ(run.err, warnings) << name;
  }
}

TEST(PindotCommand, TablesHoldWhatTheOptionsAskFor) {
  const std::tuple<const char*, std::vector<std::string>, std::string> cases[] = {
      // grid8's "I" (.#..): bold .##.., italic rows 1-3 a pixel right, lines in rows 5 and 8.
      {"styles",
       {"--font-file", kGrid8, "--size", "8", "--text", "I", "--bold", "--italic", "--underline",
        "--strikeout"},
       "{0x30, 0x30, 0x30, 0x60, 0xf8, 0x60, 0x00, 0xf8}"},
      {"a missing glyph drawn as glyph 0",
       {"--font-file", kGrid8, "--size", "8", "--text", "Z"},
       "EX_FONT_UNICODE_VAL(0x005a)"},
      // Numbers are decimal, or hexadecimal after 0x, never octal: a cell of 10, not 8, and code
      // page 1252, not 682.
      {"leading zeros",
       {"--font-file", kDejaVu, "--size", "010", "--text", "\xc3\xa9", "--sort", "ansi",
        "--codepage", "01252"},
       "font5x10[1] = "
       "\r\n{\r\n\t{\r\n\t\tEX_FONT_CHAR(\"\xc3\xa9\")\r\n\t\tEX_FONT_ANSI_VAL(0x00e9)"},
      // --em-size is the em as a font chooser gives it (--size, the cell height, is read above):
      // DejaVu Sans with an em of 16 pixels has a 19-pixel cell.
      {"em size", {"--font-file", kDejaVu, "--em-size", "16", "--text", "a"}, "x19[1] = "},
      {"const",
       {"--font-file", kFont, "--text", "ij", "--const"},
       "\r\nconst struct _thin_unicode_font4x2 "},
      // grid8's "I" in LVGL's format: six pixels 111111.. at 2 bits, 11 11 11 11 11 11 -> 0xff
      // 0xf0.
      {"lvgl, 2 bits",
       {"--font-file", kGrid8, "--text", "I", "--format", "lvgl", "--name", "g", "--bpp", "2"},
       "\n    0xff, 0xf0,\n"},
      {"name", {"--font-file", kFont, "--text", "i", "--name", "w2"}, "struct _thin_w2 {"},
      {"excluded range",
       {"--font-file", kFont, "--text", "ij", "--exclude-range", "106-106"},
       "thin_unicode_font4x2[1] = "},
      // grid8's "I" in its 4 x 8 thin cell, column 1 of rows 0 to 5, turned clockwise: row 1 of
      // an 8 x 4 cell, columns 2 to 7; one page, a byte per column, row 1 in bit 1.
      {"raw, pages-lsb, turned 90",
       {"--font-file", kGrid8, "--size", "8", "--text", "I", "--format", "raw", "--name", "r",
        "--layout", "pages-lsb", "--rotate", "90"},
       "/* 0x0049 */\n  0x00, 0x00, 0x02, 0x02, 0x02, 0x02, 0x02, 0x02,\n"},
      {"gfx, from the lowest code to the highest",
       {"--font-file", kDejaVu, "--text", "IGECA", "--format", "gfx", "--name", "g"},
       "static const GFXfont g PROGMEM = {(uint8_t *)g_bitmaps, (GFXglyph *)g_glyphs, 0x41, "
       "0x49, "},
  };
  for (const auto& [name, arguments, part] : cases) {
    EXPECT_THAT(Pindot(arguments).out, HasSubstr(part)) << name;
  }
}

// A warning names the first eight characters; --verbose names them all.
TEST(PindotCommand, VerboseNamesEveryCharacter) {
  EXPECT_THAT(Pindot({"--font-file", kGrid8, "--range", "0x100-0x10f"}).err,
              HasSubstr("U+0107 \"\xc4\x87\" and 8 more (--verbose lists all)\n"));
  EXPECT_THAT(Pindot({"--font-file", kGrid8, "--range", "0x100-0x10f", "--verbose"}).err,
              HasSubstr("U+010E \"\xc4\x8e\", U+010F \"\xc4\x8f\"\n"));
}

// --strict turns a lost character into a failure: exit status 1, nothing printed or written.
TEST(PindotCommand, StrictFailsOnALostCharacterAndWritesNothing) {
  const Outcome run = Pindot(
      {"--font-file", kGrid8, "--text", "AZ", "--strict", "--preview", "-o", kTemp + "-strict"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_THAT(run.err, HasSubstr("has no glyph for 1 character"));
  EXPECT_THAT(run.err, HasSubstr("pindot: --strict: not every character came out as asked"));
  for (const char* end : {".h", ".c"})
    EXPECT_FALSE(std::filesystem::exists(kTemp + "-strict" + end));
  // A character left out on purpose is no loss.
  EXPECT_EQ(Pindot({"--font-file", kGrid8, "--text", "AZ", "--strict", "--exclude", "Z"}).status,
            0);
}

// A file that cannot be written is named with its reason and the other is written all the same,
// in the code page asked for (U+4E2D: D6 D0); standard output, written only once the whole run
// has succeeded, gets nothing.
TEST(PindotCommand, AFailedExportPrintsNothingButTheFileItCouldNotWrite) {
  std::filesystem::create_directories(kTemp + "-dir.h");
  const Outcome run = Pindot({"--font-file", kGrid8, "--text", "A\xe4\xb8\xad", "--codepage", "936",
                              "--data", "--preview", "-o", kTemp + "-dir"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "pindot: cannot write \"" + kTemp + "-dir.h\": Is a directory\n");
  EXPECT_THAT(testing::ReadFileBytes(kTemp + "-dir.c"),
              HasSubstr("EX_FONT_CHAR(\"\xd6\xd0\")\r\n"));
}

// The language is that of the first of LANGUAGE, LC_ALL, LC_MESSAGES and LANG that is set.
TEST(PindotCommand, DefaultRunFollowsTheLanguage) {
  const Outcome english = Pindot({}, "LANGUAGE= LC_ALL=C LC_MESSAGES=zh_CN.UTF-8 LANG=zh_CN.UTF-8");
  EXPECT_THAT(english.out, HasSubstr("data[1][16];} thin_unicode_font8x16[14] = \r\n"));
  EXPECT_EQ(english.err,  // the face really used, and no progress bar off a terminal
            "pindot: warning: no face named \"Fixedsys\" is installed; drawing with "
            "\"Unifont\" (/usr/share/fonts/opentype/unifont/unifont.otf)\n");
  // 中国人 at 宋体's 16 x 16 (AR PL UMing sized as 宋体), and 中 by its code page 936 bytes D6 D0,
  // low byte first.
  const Outcome chinese = Pindot({"--sort", "ansi", "--codepage", "936"},
                                 "LANGUAGE=zh_CN:en_US LC_ALL=en_US.UTF-8 LANG=en_US.UTF-8");
  EXPECT_THAT(chinese.out, HasSubstr("wide_ansi_font16x16[3]"));
  EXPECT_THAT(chinese.out, HasSubstr("\t\tEX_FONT_CHAR(\"中\")\r\n\t\tEX_FONT_ANSI_VAL(0xd0d6)"));
  EXPECT_THAT(chinese.err, HasSubstr("\"宋体\" is installed; drawing with \"AR PL UMing CN\""));
}

// SIGINT, SIGTERM or SIGHUP between the renames of a run waits until every file is in place: the
// pair of an export and the set of a build all come from the one run, and no hidden file is left.
TEST(PindotCommand, ASignalBetweenTheRenamesWaitsForTheLast) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "a preloaded library cannot come before AddressSanitizer's runtime";
#endif
  const std::string font = "font-file = \"" + kGrid8 + "\"\ntext = \"A\"\n";
  std::ofstream(kTemp + "fonts.toml")
      << "[[font]]\n"
      << font << "output = \"" << kTemp << "set/a\"\n[[font]]\n"
      << font << "sort = \"ansi\"\noutput = \"" << kTemp << "set/b\"\n[[font]]\nfont-file = \""
      << kFont << "\"\ntext = \"i\"\noutput = \"" << kTemp << "set/c\"\n";
  const std::vector<std::string> runs[] = {{"--font-file", kGrid8, "-o", kTemp + "set/a"},
                                           {"build", kTemp + "fonts.toml"}};
  for (const std::vector<std::string>& arguments : runs) {
    for (const int number : {SIGINT, SIGTERM, SIGHUP}) {
      std::filesystem::remove_all(kTemp + "set");
      std::filesystem::create_directories(kTemp + "set");
      const size_t files = arguments.front() == "build" ? 6 : 2;
      for (const char* name : {"a.h", "a.c", "b.h", "b.c", "c.h", "c.c"})
        std::ofstream(kTemp + "set/" + name) << "old";
      Pindot(arguments, std::string("LANG=C LD_PRELOAD=") + PINDOT_SIGNAL_AT_RENAME +
                            " PINDOT_SIGNAL_AT_RENAME=" + std::to_string(number));
      size_t replaced = 0;
      for (const auto& entry : std::filesystem::directory_iterator(kTemp + "set")) {
        EXPECT_NE(entry.path().filename().string()[0], '.') << entry.path();
        replaced += testing::ReadFileBytes(entry.path()) != "old";
      }
      EXPECT_EQ(replaced, files) << arguments.front() << " " << strsignal(number);
    }
  }
}

// Each font's files wait for the others without holding a handle open: a manifest of many fonts
// builds under a limit of open files far below three per font.
TEST(PindotCommand, ABuildOfManyFontsKeepsFewFilesOpen) {
  std::ofstream manifest(kTemp + "many.toml");
  for (int font = 0; font < 40; ++font) {
    manifest << "[[font]]\nfont-file = \"" << kGrid8 << "\"\ntext = \"A\"\nname = \"f" << font
             << "\"\noutput = \"" << kTemp << "many/f" << font << "\"\n";
  }
  manifest.close();
  const Outcome run = Pindot({"build", kTemp + "many.toml"}, "LANG=C prlimit --nofile=24");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(kTemp + "many"), {}), 80);
}

TEST(PindotCommand, BadInputGetsOneLineOnStandardErrorAndNoOutput) {
  const std::tuple<std::vector<std::string>, int, std::string> cases[] = {
      {{"--font-file", "/none/x.ttf"}, 1, "font file \"/none/x.ttf\": No such file or directory"},
      {{"--font-file", kTests + "/CMakeLists.txt"}, 1, "CMakeLists.txt\": unknown file format"},
      {{"--font", "No Such Face"}, 1, "no font matches face name \"No Such Face\""},
      {{"--size", "0"}, 2, "--size: \"0\" is not a cell height from 1 to 1000 pixels"},
      {{"--size", "1001"}, 2, "\"1001\" is not a cell height"},
      {{"--size", "16", "--em-size", "16"}, 2, "--size excludes --em-size"},
      {{"--text-file", "/none/t.txt"}, 1, "text file \"/none/t.txt\": No such file or directory"},
      {{"--text-file", WriteTemp("latin1.txt", "caf\xe9")}, 1, "latin1.txt\" is not valid UTF-8"},
      {{"--text", "caf\xe9"}, 1, "the --text value is not valid UTF-8"},
      {{"--range", ""}, 1, "character range \"\": empty"},
      {{"--range", "0x7e-0x20"}, 1, "character range \"0x7e-0x20\": reversed"},
      {{"--range", "65"}, 1, "expected A-B"},
      {{"--range", "0-1114112"}, 1, "beyond the last code point 0x10ffff"},
      {{"--range", "0x20-0x1g"}, 1, "\"0x1g\" is not a hexadecimal number"},
      {{"--charset", "NO-SUCH-SET"}, 1, "unknown character set \"NO-SUCH-SET\""},
      {{"--text-file", "/dev/zero"}, 1, "\"/dev/zero\": it is larger than 64 MB"},
      {{"--width", "0"}, 2, "\"0\" is not a cell width"},
      {{"--codepage", "1252x"}, 2, "\"1252x\" is not a code page number"},
      // Names the source could not include are refused before anything is drawn.
      {{"-o", kTemp + "q\"uo\\te.txt"}, 1, "its name holds a double quote"},
      {{"--colour"}, 2, "--colour"},
      {{"--format", "bdf"},
       2,
       "unknown format \"bdf\" (known: exfont, lvgl, lvgl-bin, u8g2, gfx, raw)"},
      {{"--bpp", "2"}, 2, "--bpp needs a --format other than exfont"},
      {{"--format", "lvgl", "--name", "f", "--bpp", "3"}, 2, "--bpp 3: must be 1, 2, 4 or 8"},
      {{"--format", "lvgl"}, 2, "--format lvgl needs --name"},
      {{"--format", "lvgl", "--name", "f", "--sort", "ansi"}, 2, "keyed by Unicode"},
      {{"--format", "lvgl", "--name", "f", "--data"}, 2, "--data prints EXFONT's"},
      {{"--format", "lvgl-bin"}, 2, "--format lvgl-bin needs -o"},
      {{"--name", "9lives"}, 2, "\"9lives\" is not a C identifier"},
      {{"--format", "raw", "--name", "r", "--layout", "columns"}, 2, "--layout \"columns\""},
      {{"--format", "raw", "--name", "r", "--rotate", "45"}, 2, "--rotate 45: must be"},
      {{"--format", "u8g2", "--name", "f", "--bpp", "2"}, 2, "1 bit per pixel: no --bpp"},
      // Names reach the terminal on one line, with nothing it would act on.
      {{"--font-file", "/none/a\nb\x1b[2J\xff.ttf"},
       1,
       "\"/none/a\\nb\\x1b[2J\\xff.ttf\": No such"},
      {{"build", "/dev/zero"}, 1, "manifest \"/dev/zero\": it is not a regular file"},
      {{"build", kTests}, 1, "it is a folder"},
  };
  for (const auto& [arguments, status, message] : cases) {
    SCOPED_TRACE(message);
    const Outcome run = Pindot(arguments);
    EXPECT_EQ(run.status, status);
    EXPECT_EQ(run.out, "");
    EXPECT_THAT(run.err, ::testing::StartsWith("pindot: "));
    EXPECT_THAT(run.err, HasSubstr(message));
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;  // one line
  }
}

}  // namespace
}  // namespace pindot
