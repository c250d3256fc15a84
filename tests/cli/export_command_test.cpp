#include <gtest/gtest.h>

#include <sstream>

#include "cli/pindot_command.h"
#include "export_test_font.h"
#include "golden.h"

namespace pindot {
namespace {

const std::string kFonts = PINDOT_TEST_DIR "/fonts/";

// The exit status and everything pindot printed.
std::pair<int, std::string> Pindot(std::vector<std::string> arguments) {
  std::string name = "pindot";
  std::vector<char*> argv = {name.data()};
  for (std::string& argument : arguments) argv.push_back(argument.data());
  std::ostringstream out;  // a braced list runs RunPindot before out.str()
  return {RunPindot(static_cast<int>(argv.size()), argv.data(), out, out), out.str()};
}

// A file that cannot be written is named with its reason, exit status 1; the other is written in
// the code page asked for (U+4E2D: D6 D0).
TEST(CliExportTest, AFileThatCannotBeWrittenIsNamedAndTheOtherWritten) {
  testing::TempFolder folder;
  std::filesystem::create_directory(folder.path / "dir.h");
  EXPECT_EQ(Pindot({"--font-file", kFonts + "grid8.bdf", "--text", "A\xe4\xb8\xad", "--codepage",
                    "936", "-o", folder / "dir"}),
            std::pair(1, "pindot: cannot write \"" + folder / "dir.h" + "\": Is a directory\n"));
  EXPECT_NE(testing::ReadFileBytes(folder / "dir.c").find("EX_FONT_CHAR(\"\xd6\xd0\")\r\n"),
            std::string::npos);
}

}  // namespace
}  // namespace pindot
