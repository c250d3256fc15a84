// The end-to-end proof of an export: the exported pair compiles with a C compiler (and the header
// with a C++ compiler) against the test ExFont.h, and a program built from them draws every
// exported glyph with the pixels the glyph preview text shows.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "export_test_font.h"
#include "output/exporter.h"

namespace pindot {
namespace {

namespace fs = std::filesystem;

const std::string kCompileDir = PINDOT_COMPILE_DIR;
const std::string kCFlags = " -std=c99 -Wall -Wextra -Wno-missing-braces -Werror";

std::string Quote(const std::string& text) {
  return "'" + text + "'";
}

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::string Ascii(const std::u16string& text) {
  return std::string(text.begin(), text.end());
}

struct CompileCase {
  const char* name;
  std::u16string sample;
  unsigned codePage;
  bool sortByUnicode;
};

void PrintTo(const CompileCase& c, std::ostream* out) {
  *out << c.name;
}

// What the test program must print: every entry of both lists in table order, its key, and its
// glyph as the preview shows it at its first place in the sample, padded with blank columns to
// the width its table is declared with.
std::string ExpectedDrawing(const Generator& generator, std::u16string_view sample) {
  const GeneratorSettings& settings = generator.Settings();
  const std::string word = settings.sortByUnicode ? "unicode" : "ansi";
  std::vector<std::string> previewLines;
  std::istringstream preview(Ascii(generator.GlyphPreviewText()));
  for (std::string line; std::getline(preview, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    previewLines.push_back(line);
  }
  EXPECT_EQ(previewLines.size(), sample.size() * settings.height);

  std::ostringstream out;
  out << "font g_" << word << "_font" << settings.height << " ff0000 00ff00 1\n";
  struct Table {
    const char* kind;
    const GlyphList& list;
    uint32_t width;
  };
  for (const Table& table : {Table{"thin", generator.ThinList(), (settings.width + 1) >> 1},
                             Table{"wide", generator.WideList(), settings.width}}) {
    out << "table " << table.kind << " " << table.width << " " << settings.height << " "
        << table.list.GetCount() << "\n";
    for (const GlyphEntry& entry : table.list) {
      char code[16];
      std::snprintf(code, sizeof code, "0x%04x", static_cast<unsigned>(KeyOf(entry)));
      out << "glyph " << code << "\n";
      const size_t place = sample.find(entry.character);
      EXPECT_NE(place, std::u16string_view::npos);
      for (uint32_t row = 0; row < settings.height; ++row) {
        const std::string& line = previewLines.at(place * settings.height + row);
        const std::string picture = line.substr(line.find(' ') + 1);
        EXPECT_LE(picture.size() / 2, table.width) << "the test font has a glyph too wide";
        for (uint32_t column = 0; column < table.width; ++column) {
          const bool ink = 2 * column < picture.size() && picture.compare(2 * column, 2, "11") == 0;
          out << (ink ? '#' : '.');
        }
        out << "\n";
      }
    }
  }
  out << "stray 0 0 0\n";
  return out.str();
}

class ExportCompileTest : public ::testing::TestWithParam<CompileCase> {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "pindot-compile-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
  }
  void TearDown() override {
    if (!HasFailure()) fs::remove_all(folder_);
  }

  // Runs a shell command; on failure the test fails with the command and what it printed.
  bool Run(const std::string& command) {
    const std::string log = (folder_ / "log.txt").string();
    const int status = std::system((command + " > " + Quote(log) + " 2>&1").c_str());
    if (status != 0) {
      ADD_FAILURE() << "failed (" << status << "): " << command << "\n" << ReadAll(log);
      return false;
    }
    return true;
  }

  fs::path folder_;
};

TEST_P(ExportCompileTest, CompilesAndDrawsThePreviewPixels) {
  const CompileCase& c = GetParam();
  Generator generator{CodePage(c.codePage)};
  testing::ApplyTestSettings(generator, c.sortByUnicode);
  testing::AsciiCanvas canvas = testing::MakeTestFont();
  NoProgress progress;
  ExportReport report =
      ExportFontFiles(generator, c.sample, canvas, progress, (folder_ / "song7.txt").string());
  ASSERT_TRUE(report.failures.empty());

  const std::string cc = PINDOT_C_COMPILER;
  const std::string cxx = PINDOT_CXX_COMPILER;
  const std::string folder = folder_.string();
  const std::string includes = " -I" + Quote(folder) + " -I" + Quote(kCompileDir);
  const std::string word = c.sortByUnicode ? "unicode" : "ansi";
  ASSERT_TRUE(Run(cc + kCFlags + includes + " -c " + Quote(folder + "/song7.c") + " -o " +
                  Quote(folder + "/song7.o")));
  ASSERT_TRUE(Run(cxx + " -std=c++11 -Wall -Werror -x c++ -fsyntax-only" + includes + " " +
                  Quote(folder + "/song7.h")));
  ASSERT_TRUE(Run(cc + kCFlags + includes + " -c " + Quote(kCompileDir + "/exfont_test_impl.c") +
                  " -o " + Quote(folder + "/impl.o")));
  ASSERT_TRUE(Run(cc + kCFlags + includes + " '-DEXPORTED_HEADER=\"song7.h\"'" +
                  " -DINSTALL_FONT=install_" + word + "_10x7_font -DFONT_OBJECT=g_" + word +
                  "_font7 -c " + Quote(kCompileDir + "/exfont_test_main.c") + " -o " +
                  Quote(folder + "/main.o")));
  ASSERT_TRUE(Run(cc + " " + Quote(folder + "/song7.o") + " " + Quote(folder + "/impl.o") + " " +
                  Quote(folder + "/main.o") + " -o " + Quote(folder + "/glyphs")));
  const std::string drawn = (folder_ / "drawn.txt").string();
  ASSERT_EQ(std::system((Quote(folder + "/glyphs") + " > " + Quote(drawn)).c_str()), 0);

  EXPECT_EQ(ReadAll(drawn), ExpectedDrawing(generator, c.sample));
}

// Every sample uses the shared test font: width 10, height 7.
INSTANTIATE_TEST_SUITE_P(
    Samples, ExportCompileTest,
    ::testing::Values(CompileCase{"AllThin", u"Aij", 936, true},
                      CompileCase{"AllWide", u"\u4e2d\u56fd\u4e2d", 936, true},
                      CompileCase{"Mixed", testing::kTestSample, 936, true},
                      CompileCase{"MixedAnsi936", testing::kTestSample, 936, false},
                      CompileCase{"MixedAnsi1252", testing::kTestSample, 1252, false},
                      CompileCase{"Empty", u"", 936, true},
                      CompileCase{"QuotesBackslashesLineBreaks", u"\"\\\r\n\\\"", 1252, true},
                      // Double-byte characters whose second byte is a backslash.
                      CompileCase{"BackslashTrailByte936", u"\u4e57a\u4e2d", 936, false},
                      CompileCase{"BackslashTrailByte932", u"\u30bd\"\u8868", 932, true},
                      CompileCase{"BackslashTrailByte950", u"\u529f\u8a31\\", 950, true}),
    [](const ::testing::TestParamInfo<CompileCase>& info) { return info.param.name; });

}  // namespace
}  // namespace pindot
