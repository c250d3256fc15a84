#include <gtest/gtest.h>

#include <sstream>

#include "cli/pindot_command.h"
#include "export_test_font.h"
#include "golden.h"

namespace pindot {
namespace {

using testing::ReadFileBytes;
const std::string kFonts = PINDOT_TEST_DIR "/fonts/";

// The exit status and everything pindot printed.
std::pair<int, std::string> Pindot(std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), "pindot");
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  std::ostringstream out;
  const int status = RunPindot(static_cast<int>(arguments.size()), argv.data(), out, out);
  return {status, out.str()};
}

// Both files are written as the save chooser would name them; a file that cannot be written is
// named with the reason and exit status 1, and the other is still written. oversized.bdf, 10 x 4:
// "W" is thin but 9 pixels wide (two bytes a row where the 5 x 4 cell has one), "M" wide but 17.
TEST(CliExportTest, OutputWritesBothFilesAndReportsWhatWentWrong) {
  testing::TempFolder folder;
  EXPECT_EQ(Pindot({"--font-file", kFonts + "grid8.bdf", "--text", "AIa\xe4\xb8\xad", "--codepage",
                    "936", "-o", folder / "song8.txt"}),
            std::pair(0, std::string()));
  EXPECT_NE(ReadFileBytes(folder / "song8.h").find("void install_unicode_8x8_font("),
            std::string::npos);
  // U+4E2D in code page 936 is D6 D0.
  EXPECT_NE(ReadFileBytes(folder / "song8.c").find("EX_FONT_CHAR(\"\xd6\xd0\")\r\n"),
            std::string::npos);

  std::filesystem::create_directory(folder.path / "dir.h");
  EXPECT_EQ(Pindot({"--font-file", kFonts + "grid8.bdf", "--text", "A", "-o", folder / "dir"}),
            std::pair(1, "pindot: cannot write \"" + folder / "dir.h" + "\": Is a directory\n"));
  EXPECT_NE(ReadFileBytes(folder / "dir.c").find("#include \"dir.h\""), std::string::npos);

  EXPECT_EQ(Pindot({"--font-file", kFonts + "oversized.bdf", "--text", "iWM\xe4\xb8\xad",
                    "--codepage", "1252", "-o", folder / "big"}),
            std::pair(0, std::string("pindot: warning: U+0057 \"W\" does not fit the thin table's "
                                     "5 x 4 cell; its bytes are exported as they are\n"
                                     "pindot: warning: U+004D \"M\" does not fit the wide table's "
                                     "10 x 4 cell; its bytes are exported as they are\n")));
}

}  // namespace
}  // namespace pindot
