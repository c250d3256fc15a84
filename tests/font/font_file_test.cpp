// A font file's bytes stay what they were when it was opened, whatever happens to the file.
#include "font/font_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "export_test_font.h"
#include "golden.h"

namespace pindot {
namespace {

// Shortened while the font is in use (another program rewriting it), the file must not take the
// bytes away from under FreeType: mapped, reading them would end the process with SIGBUS.
TEST(FontFileTest, ItsBytesStayWhenTheFileIsShortened) {
  testing::TempFolder folder;
  const std::string path = folder / "font.ttf";
  std::filesystem::copy_file(PINDOT_TEST_DIR "/fonts/grid8.bdf", path);
  const std::string before = testing::ReadFileBytes(path);
  const FontFile file = FontFile::Open(path);
  ASSERT_EQ(truncate(path.c_str(), 0), 0);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(file.data()), file.size()), before);
}

}  // namespace
}  // namespace pindot
