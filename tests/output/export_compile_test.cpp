// The exported pair compiles with a C compiler (the header with a C++ one too) against the test
// ExFont.h, and a program built from it draws every glyph with the pixels the preview shows.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

#include "compile_check.h"
#include "export_test_font.h"
#include "glyph_preview.h"
#include "output/font_data_text.h"
#include "test_fonts.h"
#include "text/character_set.h"

namespace pindot {
namespace {

using testing::RunIn;

// Each table's "width height count", then each entry's key and picture at the declared width, read
// from the preview lines of its first place in the sample (hex bytes, a blank, "11" for ink).
std::string ExpectedDrawing(const Generator& generator, std::u16string_view sample) {
  const std::u16string preview = testing::GlyphPreviewText(generator);
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

// Compiles the pair exported as `title`.txt in `folder` (the header with a C++ compiler too),
// builds the drawing program `glyphs` on it and gives what it drew.
std::string CompileAndDraw(const Generator& generator, const testing::TempFolder& folder,
                           const std::string& title) {
  const GeneratorSettings& settings = generator.Settings();
  const std::string install =
      std::string("install_") + (settings.sortByUnicode ? "unicode_" : "ansi_") +
      std::to_string(settings.width) + "x" + std::to_string(settings.height) + "_font";
  RunIn(folder, testing::kHostC + "-DINSTALL=" + install + " -D'HEADER=\"" + title + ".h\"' '" +
                    title +
                    ".c' '" PINDOT_COMPILE_DIR "/exfont_test_main.c' '" PINDOT_COMPILE_DIR
                    "/exfont_test_library.c' -o glyphs && " +
                    testing::kCxxHeader + "'" + title + ".h' && ./glyphs > drawn.txt");
  return testing::ReadFileBytes(folder / "drawn.txt");
}

// The names song7.c defines in RAM (nm: b, d or C), built without position-independent code as a
// microcontroller builds it, so that constant pointers need no relocation and stay read-only.
std::set<std::string> NamesInRam(const testing::TempFolder& folder) {
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
  return inRam;
}

// Keys, code pages, odd widths, no entries, characters to escape, trail bytes that are a backslash,
// titles that are no identifier (the include guard still is one), const tables; and real fonts'
// glyphs at the measured width or one given, drawn left-aligned in their cell, cut only where they
// are wider: widths.bdf has glyphs 0 to 16 pixels wide (A to Q) beside an 8-pixel U+4E2D; DejaVu
// Sans is proportional, its cell width from its missing-glyph box unless given.
TEST(ExportCompileTest, CompilesAndDrawsThePreviewPixels) {
  std::u16string latin;  // ASCII and Latin-1
  for (char16_t unit = 0x20; unit <= 0xFF; ++unit) {
    if (unit < 0x7F || unit >= 0xA0) latin.push_back(unit);
  }
  const std::u16string letters = u"ABCDEFGHIJKLMNOPQ\u4e2d";
  const std::string widths = testing::kTestFonts + "widths.bdf";
  struct Case {
    const char* name;
    std::u16string sample;
    unsigned codePage;
    bool unicode = true;
    uint32_t width = 10;  // 0: as measured
    std::string title = "song7";
    bool constTables = false;
    std::string font = "";  // none: the test font, 7 high
    int height = 0;
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
           Case{"title holding a placeholder", u"Ai\u4e2d", 936, true, 10, "x$data$y"},
           Case{"const", testing::kTestSample, 936, true, 10, "song7", true},
           Case{"const, thin only", u"Aij", 936, true, 10, "song7", true},
           Case{"widths.bdf", letters, 1252, true, 0, "song7", false, widths, 4},
           Case{"widths.bdf, 12", letters, 1252, true, 12, "song7", false, widths, 4},
           Case{"widths.bdf, 16", letters, 1252, true, 16, "song7", false, widths, 4},
           Case{"DejaVu 12", latin, 1252, true, 0, "song7", false, testing::kDejaVu, 12},
           Case{"DejaVu 12, 12", latin, 1252, true, 12, "song7", false, testing::kDejaVu, 12},
           Case{"DejaVu 32", latin, 1252, true, 0, "song7", false, testing::kDejaVu, 32},
           Case{"DejaVu 32, 30", latin, 1252, true, 30, "song7", false, testing::kDejaVu, 32},
       }) {
    SCOPED_TRACE(c.name);
    testing::TempFolder folder;
    const std::string path = folder / (c.title + ".txt");
    const DataTextOptions options{c.constTables, {}};
    PipelineResult run;
    if (c.font.empty()) {
      run.generator = std::make_unique<Generator>(CodePage(c.codePage));
      testing::ExportTestFont(*run.generator, c.sample, path, c.unicode, c.width,
                              FileSystemCalls::System(), options);
    } else {
      run = testing::RunTestFont(testing::TestFont(c.font, c.height), c.sample, c.codePage,
                                 c.unicode, c.width);
      NoProgress progress;
      ASSERT_TRUE(ExportGeneratedFiles(*run.generator, path, progress).failures.empty());
    }
    EXPECT_EQ(CompileAndDraw(*run.generator, folder, c.title),
              ExpectedDrawing(*run.generator, c.sample));
    // With const tables the tables and the items handed to the library are read-only data: the
    // only RAM the font takes is the font object and its two table records.
    if (c.constTables) {
      EXPECT_EQ(NamesInRam(folder),
                (std::set<std::string>{"g_unicode_font7", "thin_font7", "wide_font7"}));
    }
  }
}

// Two fonts of one height and sort, ANSI keys, const, each given a name, link into one program
// for the host, where each draws the pixels of its preview, and for a Cortex-M4 with 1 MB of flash
// and 128 KB of RAM; bold changes no name. With every GB2312 character in the Song face, the fonts
// take under 1 KB of the M4's RAM (data + bss).
TEST(ExportCompileTest, NamedFontsOfOneHeightLinkTogetherAndFitACortexM4) {
  std::u16string gb2312;
  AppendCharacterSet(gb2312, "GB2312");
  const std::u16string sample = u"23.5\u00b0C \u4e2d\u6587Ag";
  testing::TempFolder folder;
  NoProgress progress;
  std::string expected;
  for (const auto& [face, name] : {std::pair{"\xe5\xae\x8b\xe4\xbd\x93", "song"},
                                   std::pair{"\xe9\xbb\x91\xe4\xbd\x93", "hei"}}) {
    const std::u16string& drawn = name == std::string("song") ? gb2312 : sample;
    for (const int style : {testing::kBold, testing::kPlain}) {  // the regular export stays
      const PipelineResult run =
          testing::RunTestFont(testing::TestFont(face, 16, style), drawn, 936, false);
      const std::string path = (style == testing::kBold ? "bold/" : "") + std::string(name);
      ASSERT_TRUE(ExportGeneratedFiles(*run.generator, folder / (path + ".txt"), progress,
                                       DataTextOptions{true, FromUtf8(name)})
                      .failures.empty());
      if (style == testing::kPlain) expected += ExpectedDrawing(*run.generator, drawn);
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
  RunIn(folder, testing::kHostC + "-DHOST firmware.c song.c hei.c '" PINDOT_COMPILE_DIR
                                  "/exfont_test_library.c' -o fonts && ./fonts > drawn.txt");
  EXPECT_EQ(testing::ReadFileBytes(folder / "drawn.txt"), expected);
  if (!testing::HaveCortexM4Compiler()) GTEST_SKIP() << "no arm-none-eabi-gcc";
  std::ofstream(folder / "m4.ld") << "MEMORY { FLASH (rx) : ORIGIN = 0x08000000, LENGTH = 1024K\n"
                                     "         RAM (rwx) : ORIGIN = 0x20000000, LENGTH = 128K }\n"
                                     "SECTIONS { .text : { *(.text*) *(.rodata*) } > FLASH\n"
                                     "  .data : { *(.data*) } > RAM AT > FLASH\n"
                                     "  .bss : { *(.bss*) *(COMMON) } > RAM }\n";
  RunIn(folder, testing::kCortexM4C +
                    "-ffunction-sections -fdata-sections -c firmware.c song.c "
                    "hei.c '" PINDOT_COMPILE_DIR
                    "/exfont_test_library.c' && "
                    "arm-none-eabi-size -t song.o hei.o > size.txt && "
                    "arm-none-eabi-gcc -mcpu=cortex-m4 -mthumb -nostdlib -T m4.ld "
                    "-Wl,-e,main -Wl,--gc-sections *.o -o firmware.elf");
  std::istringstream size(testing::ReadFileBytes(folder / "size.txt"));
  std::string header;
  std::getline(size, header);
  uint64_t text = 0, data = 0, bss = 0;
  size >> text >> data >> bss;
  EXPECT_GT(text, 7000u * 34u);  // every glyph's 32 bytes and its key are there
  EXPECT_LT(data + bss, 1024u);
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

}  // namespace
}  // namespace pindot
