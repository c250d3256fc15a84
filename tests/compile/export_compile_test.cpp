// The exported pair compiles with a C compiler (the header with a C++ one too) against the test
// ExFont.h, and a program built from it draws every glyph with the pixels the preview shows.
#include <gtest/gtest.h>

#include <sstream>
#include <tuple>

#include "export_test_font.h"
#include "golden.h"

namespace pindot {
namespace {

// Each entry of both tables at the declared width, drawn from the preview of its first place in
// the sample (a line of hex bytes, a blank and "11" or "00" for each pixel).
std::string ExpectedDrawing(const Generator& generator, std::u16string_view sample) {
  const std::u16string& preview = generator.GlyphPreviewText();
  std::vector<std::string> pictures;
  std::istringstream lines(std::string(preview.begin(), preview.end()));
  for (std::string line; std::getline(lines, line);)
    pictures.push_back(line.substr(line.find(' ')));
  const GeneratorSettings& settings = generator.Settings();
  std::ostringstream out;
  for (auto [list, width] : {std::pair{&generator.ThinList(), (settings.width + 1) >> 1},
                             std::pair{&generator.WideList(), settings.width}}) {
    out << width << " " << settings.height << " " << list->GetCount() << "\n";
    for (const GlyphEntry& entry : *list) {
      out << KeyOf(entry) << "\n";
      for (uint32_t row = 0; row < settings.height; ++row) {
        const std::string& picture =
            pictures.at(sample.find(entry.character) * settings.height + row);
        for (uint32_t x = 0; x < width; ++x)
          out << (picture.find("11", 2 * x + 1) == 2 * x + 1 ? '#' : '.');
        out << "\n";
      }
    }
  }
  return out.str() + "stray 0\n";
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
    ASSERT_TRUE(testing::ExportTestFont(generator, sample, folder / "song7.txt", unicode,
                                        FileSystemCalls::System(), width)
                    .failures.empty());
    const std::string dir = "'" PINDOT_COMPILE_DIR "'";
    const std::string install = std::string("install_") + (unicode ? "unicode" : "ansi") + "_" +
                                std::to_string(width) + "x7_font";
    ASSERT_EQ(std::system(("cd '" + folder.path.string() +
                           "' && (" PINDOT_C_COMPILER
                           " -std=c99 -Wall -Wextra -Wno-missing-braces -Werror -I. -I" +
                           dir + " -DINSTALL=" + install + " song7.c " + dir +
                           "/exfont_test_main.c -o glyphs && " PINDOT_CXX_COMPILER
                           " -std=c++11 -Wall -Werror -x c++ -fsyntax-only -I" +
                           dir + " song7.h && ./glyphs > drawn.txt) > log.txt 2>&1")
                              .c_str()),
              0)
        << testing::ReadFileBytes(folder / "log.txt");
    EXPECT_EQ(testing::ReadFileBytes(folder / "drawn.txt"), ExpectedDrawing(generator, sample));
  }
}

}  // namespace
}  // namespace pindot
