// The exported pair compiles with a C compiler (the header with a C++ one too) against the test
// ExFont.h, and a program built from it draws every glyph with the pixels the preview shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <sstream>
#include <tuple>

#include "export_test_font.h"
#include "font/font_canvas.h"
#include "font/font_metrics.h"
#include "golden.h"
#include "output/font_data_text.h"

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

// Compiles the pair exported as `title`.txt in `folder` with -Wall -Wextra -pedantic-errors
// -Werror (the header with a C++ compiler too), builds the drawing program on it and gives what it
// drew; fails the test when a step fails.
std::string CompileAndDraw(const Generator& generator, const testing::TempFolder& folder,
                           const std::string& title = "song7") {
  const GeneratorSettings& settings = generator.Settings();
  const std::string include = " -I'" PINDOT_COMPILE_DIR "' ";
  const std::string install =
      std::string("install_") + (settings.sortByUnicode ? "unicode_" : "ansi_") +
      std::to_string(settings.width) + "x" + std::to_string(settings.height) + "_font";
  const std::string command =
      "cd '" + folder.path.string() +
      "' && (" PINDOT_C_COMPILER " -std=c99 -Wall -Wextra -pedantic-errors -Werror -I." + include +
      "-DINSTALL=" + install + " -D'HEADER=\"" + title + ".h\"' '" + title + ".c' '" +
      PINDOT_COMPILE_DIR "/exfont_test_main.c' '" PINDOT_COMPILE_DIR
                         "/exfont_test_library.c' -o glyphs && " PINDOT_CXX_COMPILER
                         " -std=c++11 -Wall -Wextra -Werror -x c++ -fsyntax-only" +
      include + "'" + title + ".h' && ./glyphs > drawn.txt) > log.txt 2>&1";
  EXPECT_EQ(std::system(command.c_str()), 0) << testing::ReadFileBytes(folder / "log.txt");
  return testing::ReadFileBytes(folder / "drawn.txt");
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
    EXPECT_EQ(CompileAndDraw(generator, folder), ExpectedDrawing(generator, sample));
  }
}

// Exports `sample` drawn with the font, at the measured width or `width`, compiles it and checks
// that the tables draw each glyph's preview pixels, left-aligned in its cell.
void ExpectTablesDrawThePreview(const FontSpec& fontSpec, std::u16string_view sample,
                                uint32_t width) {
  const std::unique_ptr<FontCanvas> canvas = FontCanvas::Open(fontSpec);
  Generator generator{CodePage(1252)};
  MeasureFont(*canvas, fontSpec, generator.Settings());
  if (width != 0) generator.Settings().width = width;
  testing::TempFolder folder;
  NoProgress progress;
  const ExportReport report =
      ExportFontFiles(generator, sample, *canvas, progress, folder / "song7.txt");
  ASSERT_TRUE(report.failures.empty());
  EXPECT_EQ(CompileAndDraw(generator, folder), ExpectedDrawing(generator, sample));
}

// With const tables the data is read-only (nm: r or R, not d or D) and draws the same pixels.
TEST(ExportCompileTest, ConstTablesAreReadOnlyAndDrawTheSame) {
  testing::TempFolder folder;
  testing::AsciiCanvas canvas = testing::MakeTestFont();
  Generator generator{CodePage(936)};
  generator.Settings().width = 10;
  generator.Settings().height = 7;
  NoProgress progress;
  generator.Generate(testing::kTestSample, canvas, progress);
  ASSERT_TRUE(ExportGeneratedFiles(generator, folder / "song7.txt", progress, DataTextOptions{true})
                  .failures.empty());
  EXPECT_EQ(CompileAndDraw(generator, folder), ExpectedDrawing(generator, testing::kTestSample));
  const std::string command = "cd '" + folder.path.string() +
                              "' && " PINDOT_C_COMPILER " -std=c99 -I'" PINDOT_COMPILE_DIR
                              "' -c song7.c -o song7.o && nm song7.o > symbols.txt";
  ASSERT_EQ(std::system(command.c_str()), 0);
  const std::string symbols = testing::ReadFileBytes(folder / "symbols.txt");
  EXPECT_NE(symbols.find(" R thin_unicode_font5x7\n"), std::string::npos) << symbols;
  EXPECT_NE(symbols.find(" R wide_unicode_font10x7\n"), std::string::npos) << symbols;
}

// A title that is no identifier still gives a header whose include guard is one.
TEST(ExportCompileTest, TitlesThatAreNoIdentifierCompile) {
  for (const std::string title : {"16px-font.v2", "my font", "å®ä½"}) {
    SCOPED_TRACE(title);
    testing::TempFolder folder;
    Generator generator{CodePage(936)};
    testing::ExportTestFont(generator, u"Ai中", folder / (title + ".txt"));
    EXPECT_EQ(CompileAndDraw(generator, folder, title), ExpectedDrawing(generator, u"Ai中"));
  }
}

// Every unit of every code page a locale can pick, as the character of EX_FONT_CHAR("..."), stays
// inside its literal: the file compiles whatever bytes the code page gives the character.
TEST(ExportCompileTest, EveryUnitOfEveryCodePageStaysInsideItsLiteral) {
  for (unsigned codePage :
       {874, 932, 936, 949, 950, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258}) {
    SCOPED_TRACE(codePage);
    testing::TempFolder folder;
    std::string bytes;
    const CodePage page(codePage);
    {
      CodePageSink sink(page, [&bytes](std::string_view piece) { bytes.append(piece); });
      sink.AppendAscii("#define EX_FONT_CHAR(value)\r\n");
      for (uint32_t unit = 0; unit <= 0xFFFF; ++unit) {
        sink.AppendAscii("EX_FONT_CHAR(\"");
        WriteCharacterLiteral(sink, static_cast<char16_t>(unit));
        sink.AppendAscii("\")\r\n");
      }
    }
    std::ofstream(folder / "units.c", std::ios::binary) << bytes;
    const std::string command = "cd '" + folder.path.string() +
                                "' && " PINDOT_C_COMPILER
                                " -std=c99 -Wall -Werror -fsyntax-only units.c > log.txt 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << testing::ReadFileBytes(folder / "log.txt");
  }
}

// widths.bdf has glyphs 0 to 16 pixels wide (A to Q) beside an 8-pixel U+4E2D: every entry holds
// its cell, so the tables draw each glyph left-aligned, cut only where it is wider than its cell.
TEST(ExportCompileTest, GlyphsOfEveryWidthDrawWholeOrCutToTheirCell) {
  FontSpec fontSpec;
  fontSpec.filePath = PINDOT_TEST_DIR "/fonts/widths.bdf";
  fontSpec.cellHeight = 4;
  for (uint32_t width : {0u, 12u, 16u}) {  // 0: as measured, 8
    SCOPED_TRACE(width);
    ExpectTablesDrawThePreview(fontSpec, u"ABCDEFGHIJKLMNOPQ\u4e2d", width);
  }
}

// A proportional face: ASCII and Latin-1 in DejaVu Sans, whose cell width comes from its
// missing-glyph box unless given.
TEST(ExportCompileTest, AProportionalFaceDrawsWholeOrCutToItsCell) {
  std::u16string sample;
  for (char16_t unit = 0x20; unit <= 0xFF; ++unit) {
    if (unit < 0x7F || unit >= 0xA0) sample.push_back(unit);
  }
  FontSpec fontSpec;
  fontSpec.filePath = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
  for (const auto& [height, width] : {std::pair{12, 0u}, {12, 12u}, {32, 0u}, {32, 30u}}) {
    SCOPED_TRACE(::testing::Message() << height << " " << width);
    fontSpec.cellHeight = height;
    ExpectTablesDrawThePreview(fontSpec, sample, width);
  }
}

}  // namespace
}  // namespace pindot
