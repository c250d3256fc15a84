// The exported pair compiles with a C compiler (the header with a C++ one too) against the test
// ExFont.h, and a program built from it draws every glyph with the pixels the preview shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <memory>
#include <regex>
#include <set>
#include <sstream>
#include <tuple>

#include "export_test_font.h"
#include "font/font_canvas.h"
#include "font/font_metrics.h"
#include "golden.h"
#include "output/font_data_text.h"
#include "text/character_set.h"

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

// Runs `command` in `folder` with its output in log.txt there; fails the test when it fails.
void RunIn(const testing::TempFolder& folder, const std::string& command) {
  const std::string line = "cd '" + folder.path.string() + "' && (" + command + ") > log.txt 2>&1";
  EXPECT_EQ(std::system(line.c_str()), 0) << command << "\n"
                                          << testing::ReadFileBytes(folder / "log.txt");
}

// Compiles the pair exported as `title`.txt in `folder` with -Wall -Wextra -pedantic-errors
// -Werror (the header with a C++ compiler too), builds the drawing program `glyphs` on it and
// gives what it drew.
std::string CompileAndDraw(const Generator& generator, const testing::TempFolder& folder,
                           const std::string& title = "song7") {
  const GeneratorSettings& settings = generator.Settings();
  const std::string install =
      std::string("install_") + (settings.sortByUnicode ? "unicode_" : "ansi_") +
      std::to_string(settings.width) + "x" + std::to_string(settings.height) + "_font";
  const std::string strict = " -Wall -Wextra -pedantic-errors -Werror -I'" PINDOT_COMPILE_DIR "' ";
  const std::string program =
      "'" PINDOT_COMPILE_DIR "/exfont_test_main.c' '" PINDOT_COMPILE_DIR "/exfont_test_library.c' ";
  RunIn(folder, PINDOT_C_COMPILER " -std=c99" + strict + "-I. -DINSTALL=" + install +
                    " -D'HEADER=\"" + title + ".h\"' '" + title + ".c' " + program +
                    "-o glyphs && " PINDOT_CXX_COMPILER " -std=c++11 -x c++ -fsyntax-only" +
                    strict + "'" + title + ".h' && ./glyphs > drawn.txt");
  return testing::ReadFileBytes(folder / "drawn.txt");
}

// Keys, code pages, odd widths, no entries, characters to escape, trail bytes that are a backslash
// and titles that are no identifier (the include guard still is one).
TEST(ExportCompileTest, CompilesAndDrawsThePreviewPixels) {
  struct Case {
    const char* name;
    std::u16string sample;
    unsigned codePage;
    bool unicode = true;
    uint32_t width = 10;
    std::string title = "song7";
  };
  for (const Case& c : {
           Case{"all thin", u"Aij", 936},
           Case{"all wide", u"\u4e2d\u56fd\u4e2d", 936},
           Case{"mixed", testing::kTestSample, 936},
           Case{"mixed, ANSI keys, 1252, odd width", testing::kTestSample, 1252, false, 9},
           Case{"empty", u"", 936},
           Case{"quotes, backslashes, line breaks", u"\"\\\r\n\\\"", 1252},
           Case{"backslash trail byte 936", u"\u4e57a\u4e2d", 936, false},
           Case{"backslash trail byte 932", u"\u30bd\"\u8868", 932},
           Case{"backslash trail byte 950", u"\u529f\u8a31\\", 950},
           Case{"title with a dash and dots", u"Ai\u4e2d", 936, true, 10, "16px-font.v2"},
           Case{"title with a space", u"Ai\u4e2d", 936, true, 10, "my font"},
           Case{"title in Chinese", u"Ai\u4e2d", 936, true, 10, "\xe5\xae\x8b\xe4\xbd\x93"},
       }) {
    SCOPED_TRACE(c.name);
    testing::TempFolder folder;
    Generator generator{CodePage(c.codePage)};
    testing::ExportTestFont(generator, c.sample, folder / (c.title + ".txt"), c.unicode, c.width);
    EXPECT_EQ(CompileAndDraw(generator, folder, c.title), ExpectedDrawing(generator, c.sample));
  }
}

// With const tables the tables and the items handed to the library are read-only data (nm: r or
// R): the only RAM the font takes is the font object and its two table records. The pixels drawn
// are the same.
TEST(ExportCompileTest, ConstTablesAndItemsAreReadOnlyAndDrawTheSame) {
  for (const std::u16string& sample : {testing::kTestSample, std::u16string(u"Aij")}) {
    testing::TempFolder folder;
    testing::AsciiCanvas canvas = testing::MakeTestFont();
    Generator generator{CodePage(936)};
    generator.Settings().width = 10;
    generator.Settings().height = 7;
    NoProgress progress;
    generator.Generate(sample, canvas, progress);
    ASSERT_TRUE(
        ExportGeneratedFiles(generator, folder / "song7.txt", progress, DataTextOptions{true, {}})
            .failures.empty());
    EXPECT_EQ(CompileAndDraw(generator, folder), ExpectedDrawing(generator, sample));
    // Without position-independent code, as a microcontroller builds: constant pointers then need
    // no relocation at load time and stay read-only.
    RunIn(folder, PINDOT_C_COMPILER " -std=c99 -fno-pic -I'" PINDOT_COMPILE_DIR
                                    "' -c song7.c && nm song7.o > symbols.txt");
    std::istringstream symbols(testing::ReadFileBytes(folder / "symbols.txt"));
    std::set<std::string> inRam;  // lines "address type name"; undefined ones have no address
    for (std::string line; std::getline(symbols, line);) {
      std::istringstream fields(line);
      std::string address, type, name;
      if (fields >> address >> type >> name && std::string("bBdDC").find(type) != std::string::npos)
        inRam.insert(name);
    }
    EXPECT_EQ(inRam, (std::set<std::string>{"g_unicode_font7", "thin_font7", "wide_font7"}));
  }
}

// `face` at 16 pixels, drawn from `sample` with ANSI keys in code page 936.
std::unique_ptr<Generator> DrawFace(std::u16string face, std::u16string_view sample,
                                    bool bold = false) {
  FontRequest request;
  request.faceName = std::move(face);
  request.weight = bold ? 700 : 400;
  const std::unique_ptr<FontCanvas> canvas = FontCanvas::Open(request);
  auto generator = std::make_unique<Generator>(CodePage(936));
  MeasureFont(*canvas, request, generator->Settings());
  generator->Settings().sortByUnicode = false;
  NoProgress progress;
  generator->Generate(sample, *canvas, progress);
  return generator;
}

// A Cortex-M4 with 1 MB of flash and 128 KB of RAM, and a build of `sources` for it that ends
// in firmware.elf; the font sources' sizes (text data bss) go to size.txt.
constexpr const char* kCortexM4Script =
    "MEMORY { FLASH (rx) : ORIGIN = 0x08000000, LENGTH = 1024K\n"
    "         RAM (rwx) : ORIGIN = 0x20000000, LENGTH = 128K }\n"
    "SECTIONS { .text : { *(.text*) *(.rodata*) } > FLASH\n"
    "  .data : { *(.data*) } > RAM AT > FLASH\n"
    "  .bss : { *(.bss*) *(COMMON) } > RAM }\n";
std::string CortexM4Build(const std::string& fonts) {
  return "arm-none-eabi-gcc -mcpu=cortex-m4 -mthumb -Os -std=c99 -Wall -Wextra -Werror "
         "-ffunction-sections -fdata-sections -I. -I'" PINDOT_COMPILE_DIR
         "' -c firmware.c '" PINDOT_COMPILE_DIR "/exfont_test_library.c' " +
         fonts + " && arm-none-eabi-size -t " +
         std::regex_replace(fonts, std::regex("\\.c\\b"), ".o") +
         " > size.txt && arm-none-eabi-gcc -mcpu=cortex-m4 -mthumb -nostdlib -T m4.ld "
         "-Wl,-e,main -Wl,--gc-sections *.o -o firmware.elf";
}

bool HaveArmCompiler() {
  return std::system("arm-none-eabi-gcc --version > /dev/null 2>&1") == 0;
}

// Every GB2312 character in the Song face at 16 pixels, ANSI keys, const: built for a Cortex-M4
// the font takes under 1 KB of RAM (data + bss), and the firmware links into 128 KB of RAM.
TEST(ExportCompileTest, Gb2312WithConstFitsACortexM4) {
  if (!HaveArmCompiler()) GTEST_SKIP() << "no arm-none-eabi-gcc";
  std::u16string sample;
  AppendCharacterSet(sample, "GB2312");
  const std::unique_ptr<Generator> generator = DrawFace(u"\u5b8b\u4f53", sample);
  testing::TempFolder folder;
  NoProgress progress;
  ASSERT_TRUE(
      ExportGeneratedFiles(*generator, folder / "song16.txt", progress, DataTextOptions{true, {}})
          .failures.empty());
  std::ofstream(folder / "m4.ld") << kCortexM4Script;
  std::ofstream(folder / "firmware.c")
      << "#include \"song16.h\"\n#include \"exfont_test_library.h\"\n"
         "int main(void) { install_ansi_16x16_font(exfont_draw_pixel);\n"
         "  return exfont_installed->tables[1]->items[0].data[0]; }\n";
  RunIn(folder, CortexM4Build("song16.c"));
  std::istringstream size(testing::ReadFileBytes(folder / "size.txt"));
  std::string header;
  std::getline(size, header);
  uint64_t text = 0, data = 0, bss = 0;
  size >> text >> data >> bss;
  EXPECT_GT(text, 7000u * 34u);  // every glyph's 32 bytes and its key are there
  EXPECT_LT(data + bss, 1024u);
}

// Two fonts of one height and sort, each given a name, link into one program (for the host,
// where each draws the pixels of its preview, and for a Cortex-M4); bold changes no name.
TEST(ExportCompileTest, NamedFontsOfOneHeightLinkTogether) {
  const std::u16string sample = u"23.5\u00b0C \u4e2d\u6587Ag";
  testing::TempFolder folder;
  NoProgress progress;
  std::string expected;
  for (const auto& [face, name] :
       {std::pair{u"\u5b8b\u4f53", "song"}, std::pair{u"\u9ed1\u4f53", "hei"}}) {
    for (bool bold : {true, false}) {  // the regular export stays
      const std::unique_ptr<Generator> generator = DrawFace(face, sample, bold);
      DataTextOptions options{true, std::u16string(name, name + std::strlen(name))};
      ASSERT_TRUE(ExportGeneratedFiles(
                      *generator, folder / ((bold ? "bold/" : "") + std::string(name) + ".txt"),
                      progress, options)
                      .failures.empty());
      if (!bold) expected += ExpectedDrawing(*generator, sample);
    }
    EXPECT_EQ(testing::ReadFileBytes(folder / (name + std::string(".h"))),
              testing::ReadFileBytes(folder / ("bold/" + std::string(name) + ".h")));
  }
  std::ofstream(folder / "firmware.c")
      << "#include <stdio.h>\n#include \"song.h\"\n#include \"hei.h\"\n"
         "#include \"exfont_test_library.h\"\n"
         "int main(void) { install_song(exfont_draw_pixel); install_hei(exfont_draw_pixel);\n"
         "#ifdef HOST\n  exfont_print_font(&g_song, \"%u\\n\"); exfont_print_font(&g_hei, "
         "\"%u\\n\");\n  return 0;\n"
         "#endif\n  return g_song.tables[1]->items[0].data[0] + g_hei.tables[1]->items[0].data[0]; "
         "}\n";
  RunIn(folder,
        PINDOT_C_COMPILER " -std=c99 -DHOST -Wall -Wextra -Werror -I. -I'" PINDOT_COMPILE_DIR
                          "' firmware.c song.c hei.c '" PINDOT_COMPILE_DIR
                          "/exfont_test_library.c' -o fonts && "
                          "./fonts > drawn.txt");
  EXPECT_EQ(testing::ReadFileBytes(folder / "drawn.txt"), expected);
  if (!HaveArmCompiler()) return;
  std::ofstream(folder / "m4.ld") << kCortexM4Script;
  RunIn(folder, CortexM4Build("song.c hei.c"));
}

// Every unit of every code page a locale can pick, as the character of EX_FONT_CHAR("..."), stays
// inside its literal: the file compiles whatever bytes the code page gives the character.
TEST(ExportCompileTest, EveryUnitOfEveryCodePageStaysInsideItsLiteral) {
  for (unsigned codePage :
       {874, 932, 936, 949, 950, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258}) {
    SCOPED_TRACE(codePage);
    testing::TempFolder folder;
    std::ofstream units(folder / "units.c", std::ios::binary);
    {
      const CodePage page(codePage);
      CodePageSink sink(page, [&units](std::string_view piece) { units << piece; });
      sink.AppendAscii("#define EX_FONT_CHAR(value)\r\n");
      for (uint32_t unit = 0; unit <= 0xFFFF; ++unit) {
        sink.AppendAscii("EX_FONT_CHAR(\"");
        WriteCharacterLiteral(sink, static_cast<char16_t>(unit));
        sink.AppendAscii("\")\r\n");
      }
    }
    units.close();
    RunIn(folder, PINDOT_C_COMPILER " -std=c99 -Wall -Werror -fsyntax-only units.c");
  }
}

// A real font's glyphs, at the measured width or one given, drawn left-aligned in their cell, cut
// only where they are wider: widths.bdf has glyphs 0 to 16 pixels wide (A to Q) beside an 8-pixel
// U+4E2D; DejaVu Sans is proportional, its cell width from its missing-glyph box unless given.
TEST(ExportCompileTest, AFontsGlyphsDrawWholeOrCutToTheirCell) {
  std::u16string latin;  // ASCII and Latin-1
  for (char16_t unit = 0x20; unit <= 0xFF; ++unit) {
    if (unit < 0x7F || unit >= 0xA0) latin.push_back(unit);
  }
  const std::string widths = PINDOT_TEST_DIR "/fonts/widths.bdf";
  const std::string dejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
  const std::u16string letters = u"ABCDEFGHIJKLMNOPQ\u4e2d";
  const std::tuple<std::string, std::u16string, int, uint32_t> cases[] = {
      // font, sample, cell height, width (0: as measured)
      {widths, letters, 4, 0}, {widths, letters, 4, 12}, {widths, letters, 4, 16},
      {dejaVu, latin, 12, 0},  {dejaVu, latin, 12, 12},  {dejaVu, latin, 32, 0},
      {dejaVu, latin, 32, 30}};
  for (const auto& [file, sample, height, width] : cases) {
    SCOPED_TRACE(::testing::Message() << file << " " << height << " " << width);
    FontRequest fontRequest;
    fontRequest.filePath = file;
    fontRequest.cellHeight = height;
    const std::unique_ptr<FontCanvas> canvas = FontCanvas::Open(fontRequest);
    Generator generator{CodePage(1252)};
    MeasureFont(*canvas, fontRequest, generator.Settings());
    if (width != 0) generator.Settings().width = width;
    testing::TempFolder folder;
    NoProgress progress;
    ASSERT_TRUE(ExportFontFiles(generator, sample, *canvas, progress, folder / "song7.txt")
                    .failures.empty());
    EXPECT_EQ(CompileAndDraw(generator, folder), ExpectedDrawing(generator, sample));
  }
}

}  // namespace
}  // namespace pindot
