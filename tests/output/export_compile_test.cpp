// The exported pair compiles with a C compiler (the header with a C++ one too) against the test
// ExFont.h, and a program built from it draws every glyph with the pixels the preview shows.
#include <gtest/gtest.h>

#include <sstream>
#include <tuple>

#include "export_test_font.h"
#include "golden.h"

namespace pindot {
namespace {

// Each table's "width height count", then each entry's key and picture at the declared width, read
// from the preview lines of its first place in the sample (hex bytes, a blank, "11" for ink).
std::string ExpectedDrawing(const Generator& generator, std::u16string_view sample) {
  const std::u16string& preview = generator.GlyphPreviewText();
  std::istringstream lines(std::string(preview.begin(), preview.end()));
  std::vector<std::string> rows;
  for (std::string line; std::getline(lines, line);) rows.push_back(line.substr(line.find(' ')));
  const uint32_t wide = generator.Settings().width, height = generator.Settings().height;
  std::ostringstream out;
  for (auto [list, width] : {std::pair{&generator.ThinList(), (wide + 1) >> 1},
                             std::pair{&generator.WideList(), wide}}) {
    out << width << " " << height << " " << list->GetCount() << "\n";
    for (const GlyphEntry& entry : *list) {
      out << (entry.keyIsUnicode ? entry.unicodeValue : entry.ansiValue) << "\n";
      for (uint32_t y = 0; y < height; ++y) {
        const std::string& row = rows.at(sample.find(entry.character) * height + y);
        for (uint32_t x = 0; x < width; ++x)
          out << (row.find("11", 2 * x + 1) == 2 * x + 1 ? '#' : '.');
        out << "\n";
      }
    }
  }
  return out.str();
}

TEST(ExportCompileTest, CompilesAndDrawsThePreviewPixels) {
  using Case = std::tuple<const char*, std::u16string, unsigned, bool, uint32_t>;
  for (auto [name, sample, codePage, unicode, width] : {
           Case{"all thin", u"Aij", 936, true, 10},
           Case{"all wide", u"\u4e2d\u56fd\u4e2d", 936, true, 10},
           Case{"mixed", testing::kTestSample, 936, true, 10},
           Case{"mixed, ANSI keys, 1252, odd width", testing::kTestSample, 1252, false, 9},
           Case{"empty", u"", 936, true, 10},
           Case{"quotes, backslashes, line breaks", u"\"\\\r\n\\\"", 1252, true, 10},
           Case{"backslash trail byte 936", u"\u4e57a\u4e2d", 936, false, 10},
           Case{"backslash trail byte 932", u"\u30bd\"\u8868", 932, true, 10},
           Case{"backslash trail byte 950", u"\u529f\u8a31\\", 950, true, 10},
       }) {
    SCOPED_TRACE(name);
    testing::TempFolder folder;
    Generator generator{CodePage(codePage)};
    testing::ExportTestFont(generator, sample, folder / "song7.txt", unicode, width);
    const std::string include = " -I'" PINDOT_COMPILE_DIR "' ";
    const std::string command =
        "cd '" + folder.path.string() +
        "' && (" PINDOT_C_COMPILER " -std=c99 -Wall -Wextra -Wno-missing-braces -Werror -I." +
        include + "-DINSTALL=install_" + (unicode ? "unicode_" : "ansi_") + std::to_string(width) +
        "x7_font song7.c '" PINDOT_COMPILE_DIR
        "/exfont_test_main.c' -o glyphs && " PINDOT_CXX_COMPILER
        " -std=c++11 -Wall -Werror -x c++ -fsyntax-only" +
        include + "song7.h && ./glyphs > drawn.txt) > log.txt 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << testing::ReadFileBytes(folder / "log.txt");
    EXPECT_EQ(testing::ReadFileBytes(folder / "drawn.txt"), ExpectedDrawing(generator, sample));
  }
}

}  // namespace
}  // namespace pindot
