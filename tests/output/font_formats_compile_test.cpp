// u8g2, GFX and raw fonts compiled as C (for the host and a Cortex-M4, warnings as errors) with
// test decoders of our own (compile/format_test_decoders.c), which give back every glyph's box and
// pixels as they were made.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <tuple>

#include "base/user_error.h"
#include "compile_check.h"
#include "export_test_font.h"
#include "glyph/fitted_entries.h"
#include "glyph/ink_scan.h"
#include "output/gfx_font.h"
#include "output/raw_font.h"
#include "output/u8g2_font.h"
#include "test_fonts.h"

namespace pindot {
namespace {

// Writes `files` as font.h and font.c (none for a font in its header alone), compiles them with
// the decoder and `defines` for the host and gives what the decoder prints for `codes`. With
// `everyCompiler` the font is compiled for a Cortex-M4 too, and the header as C++.
std::string Decode(const SourcePair& files, const std::string& defines,
                   const std::vector<char16_t>& codes, bool everyCompiler = true) {
  testing::TempFolder folder;
  std::ofstream(folder / "font.h", std::ios::binary) << files.header;
  const std::string source = files.source.empty() ? "use.c" : "font.c";
  std::ofstream(folder / source, std::ios::binary)
      << (files.source.empty() ? "#include \"font.h\"\n" : files.source);
  std::ofstream input(folder / "codes.txt");
  for (char16_t code : codes) input << std::hex << unsigned{code} << "\n";
  input.close();
  std::string command = testing::kHostC + "-D'HEADER=\"font.h\"' " + defines + " " +
                        (files.source.empty() ? "" : "font.c") +
                        " '" PINDOT_COMPILE_DIR "/format_test_decoders.c' -o decode && ";
  if (everyCompiler) {
    command +=
        testing::kCortexM4C + "-c " + source + " -o arm.o && " + testing::kCxxHeader + "font.h && ";
  }
  testing::RunIn(folder, command + "./decode < codes.txt > decoded.txt");
  return testing::ReadFileBytes(folder / "decoded.txt");
}

// What the u8g2 and GFX decoders print for a glyph: code, box, left, top, advance, pixels.
std::string Printed(const InkGlyph& glyph) {
  std::ostringstream out;
  out << std::hex;
  out.width(4);
  out.fill('0');
  out << unsigned{glyph.unit} << std::dec << " " << glyph.width << " " << glyph.height << " "
      << glyph.left << " " << glyph.top << " " << glyph.advance << "\n";
  for (uint32_t y = 0; y < glyph.height; ++y) {
    for (uint32_t x = 0; x < glyph.width; ++x)
      out << (glyph.levels[y * glyph.width + x] ? '#' : '.');
    out << "\n";
  }
  return out.str();
}

std::string None(char16_t code) {
  char text[16];
  std::snprintf(text, sizeof text, "%04x none\n", unsigned{code});
  return text;
}

// A glyph of w x h pixels filled by `pattern`: solid, empty, stripes, checks and noise make runs
// short and long, repeated and not.
InkGlyph MadeGlyph(char16_t unit, uint32_t w, uint32_t h, int32_t left, int32_t top,
                   int32_t advance, int pattern) {
  InkGlyph glyph{unit, advance, left, top, w, h, 1, std::vector<uint8_t>(size_t{w} * h)};
  uint32_t noise = unit * 2654435761u;
  for (uint32_t y = 0; y < h; ++y) {
    for (uint32_t x = 0; x < w; ++x) {
      noise = noise * 1103515245u + 12345u;
      const bool ink[] = {
          true, false, y % 3 == 0, (x + y) % 2 == 0, ((noise >> 16) & 3) == 0, x < 2 || y + 1 == h};
      glyph.levels[size_t{y} * w + x] = ink[pattern % 6];
    }
  }
  return glyph;
}

// Codes from the space to "~" with boxes from 1 x 1 to 32 x 24 around the baseline, a blank space,
// and with `wide` some beyond U+00FF too (enough for several jump blocks).
std::vector<InkGlyph> MadeGlyphs(bool wide) {
  std::vector<InkGlyph> glyphs{MadeGlyph(u' ', 0, 0, 0, 0, 4, 0)};
  for (char16_t unit = u'!'; unit <= u'~'; ++unit) {
    const uint32_t w = 1 + unit * 7 % 32, h = 1 + unit * 5 % 24;
    glyphs.push_back(MadeGlyph(unit, w, h, unit % 5 - 2, static_cast<int32_t>(h) - unit % 9,
                               static_cast<int32_t>(w) + unit % 3, unit));
  }
  for (char16_t unit : {0xe9, 0xff, 0x100, 0x3b1, 0x4e2d, 0x56fd, 0x9fa5, 0xff01, 0xfffd}) {
    if (wide || unit <= 0xff) glyphs.push_back(MadeGlyph(unit, 16, 15, 0, 13, 16, unit));
  }
  return glyphs;
}

TEST(FontFormatsCompileTest, U8g2GlyphsDecodeToTheirBoxesAndPixels) {
  for (bool wide : {false, true}) {
    SCOPED_TRACE(wide ? "beyond U+00FF" : "Latin-1 only");
    const std::vector<InkGlyph> glyphs = MadeGlyphs(wide);
    std::vector<char16_t> codes{u'\x7f', u'\x101', u'\xfffe'};  // not in the font
    std::string expected = None(0x7f) + None(0x101) + None(0xfffe);
    for (const InkGlyph& glyph : glyphs) codes.push_back(glyph.unit), expected += Printed(glyph);
    EXPECT_EQ(Decode(WriteU8g2Font("font", "font.h", glyphs, FaceLines{12, 3, 16}),
                     "-DU8G2 -DFONT=font", codes),
              expected);
  }
}

TEST(FontFormatsCompileTest, GfxGlyphsDecodeToTheirBoxesAndPixelsGapsEmpty) {
  std::vector<InkGlyph> glyphs = MadeGlyphs(false);
  glyphs.resize(glyphs.size() - 2);                        // up to "~"
  glyphs.erase(glyphs.begin() + 10, glyphs.begin() + 13);  // "*", "+" and "," left out
  std::vector<char16_t> codes{u'\x1f', u'\x100'};
  std::string expected = None(0x1f) + None(0x100);
  for (const InkGlyph& glyph : glyphs) codes.push_back(glyph.unit), expected += Printed(glyph);
  for (char16_t gap = u'*'; gap <= u','; ++gap) {
    codes.push_back(gap);
    expected += Printed(InkGlyph{gap, 0, 0, 0, 0, 0, 1, {}});
  }
  EXPECT_EQ(PlanGfxRange(glyphs).gaps, (std::vector<char16_t>{u'*', u'+', u','}));
  EXPECT_EQ(Decode(SourcePair{WriteGfxFont("font", glyphs, FaceLines{12, 3, 16}), ""},
                   "-DGFX -DFONT=font", codes),
            expected);
}

// Real faces at several sizes: what the canvas draws as each glyph's box (1 bit per pixel) comes
// back from the u8g2 and GFX fonts made of it, Chinese characters and all.
TEST(FontFormatsCompileTest, RealFacesDecodeToTheCanvasGlyphs) {
  std::u16string ascii, cjk;
  for (char16_t unit = 0x20; unit <= 0x7e; ++unit) ascii += unit;
  for (char16_t unit = 0x4e00; unit <= 0x4e3f; ++unit) cjk += unit;
  const std::tuple<std::string, int, std::u16string> cases[] = {
      // font file, cell height, characters (each a range GFX holds)
      {testing::kUnifont, 16, cjk},  {testing::kZenHei, 13, cjk},
      {testing::kZenHei, 32, ascii}, {testing::kDejaVu, 11, ascii},
      {testing::kDejaVu, 40, ascii}, {testing::kTestFonts + "widths.bdf", 4, u"ABCDEFGHIJKLMNOPQ"},
  };
  for (const auto& [file, height, characters] : cases) {
    SCOPED_TRACE(file + " " + std::to_string(height));
    std::unique_ptr<FontCanvas> canvas = FontCanvas::Open(testing::TestFont(file, height));
    const std::vector<char16_t> units(characters.begin(), characters.end());
    const std::vector<InkGlyph> glyphs = DrawInkGlyphs(*canvas, units, 1);
    std::string expected;
    for (const InkGlyph& glyph : glyphs) expected += Printed(glyph);
    EXPECT_EQ(Decode(WriteU8g2Font("font", "font.h", glyphs, canvas->Lines()), "-DU8G2 -DFONT=font",
                     units, false),
              expected);
    EXPECT_EQ(Decode(SourcePair{WriteGfxFont("font", glyphs, canvas->Lines()), ""},
                     "-DGFX -DFONT=font", units, false),
              expected);
  }
}

// What a format cannot hold is refused with the counts, the glyph and what to do instead.
TEST(FontFormatsCompileTest, WhatAFormatCannotHoldIsRefused) {
  const FaceLines lines{12, 3, 16};
  const auto u8g2 = [&](std::vector<InkGlyph> glyphs) { WriteU8g2Font("f", "f.h", glyphs, lines); };
  const auto gfx = [&](std::vector<InkGlyph> glyphs) { WriteGfxFont("f", glyphs, lines); };
  struct Case {
    const char* name;
    std::function<void(std::vector<InkGlyph>)> write;
    std::vector<InkGlyph> glyphs;
    const char* message;
  };
  for (const Case& c : {
           Case{"gfx, mostly empty",
                gfx,
                {MadeGlyph(u'A', 2, 2, 0, 2, 3, 0), MadeGlyph(u'B', 2, 2, 0, 2, 3, 0),
                 MadeGlyph(u'\u4e2d', 2, 2, 0, 2, 3, 0)},
                "U+0041 to U+4E2D is 19949 codes for 3 characters, 19946 of them empty; make one "
                "font for each of the ranges 0x41-0x42, 0x4e2d"},
           Case{"gfx, too wide", gfx, {MadeGlyph(u'A', 256, 1, 0, 1, 3, 0)}, "U+0041 is 256 x 1"},
           Case{"gfx, too far down", gfx, {MadeGlyph(u'A', 1, 1, 0, -128, 3, 0)}, "at 0, 128"},
           Case{"u8g2, too high", u8g2, {MadeGlyph(u'A', 1, 128, 0, 1, 3, 0)}, "U+0041 is 1 x 128"},
           Case{"u8g2, advance", u8g2, {MadeGlyph(u'A', 1, 1, 0, 1, 128, 0)}, "advance of 128"},
           Case{"u8g2, too many bytes",
                u8g2,
                {MadeGlyph(u'\u4e2d', 100, 100, 0, 1, 3, 4)},
                "255 bytes a glyph: U+4E2D takes"},
       }) {
    SCOPED_TRACE(c.name);
    try {
      c.write(c.glyphs);
      ADD_FAILURE() << "not refused";
    } catch (const UserError& error) {
      EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos) << error.what();
    }
  }
}

// Every layout and turn, two cells or one: each key's cell decodes upright to the cell the
// generator fits its glyph into (EXFONT's bytes), and a key the font lacks finds nothing.
TEST(FontFormatsCompileTest, RawCellsDecodeUprightInEveryLayoutAndTurn) {
  Generator generator{CodePage(1252)};
  testing::AsciiCanvas canvas = testing::MakeTestFont();
  generator.Settings().width = 11;
  generator.Settings().height = 7;
  generator.Settings().sortByUnicode = true;
  NoProgress progress;
  generator.Generate(testing::kTestSample, canvas, progress);
  for (bool oneCell : {false, true}) {
    std::vector<char16_t> leftOut;
    const std::vector<RawTable> tables = RawTablesOf(generator, oneCell, leftOut);
    ASSERT_EQ(tables.size(), oneCell ? 1u : 2u);
    std::vector<char16_t> codes{u'\x7f'};
    std::string expected = None(0x7f);
    std::vector<uint8_t> bytes;
    for (const TableKind kind : {TableKind::kThin, TableKind::kWide}) {
      const TableCell cell = CellOf(oneCell ? TableKind::kWide : kind, generator.Settings());
      for (const FittedEntry fitted : FittedEntries(generator, kind, cell)) {
        const GlyphEntry& entry = fitted.Entry();
        fitted.FitInto(bytes);
        InkGlyph picture{entry.character, 0, 0, 0, cell.width, cell.height, 1, {}};
        for (uint32_t y = 0; y < cell.height; ++y)
          for (uint32_t x = 0; x < cell.width; ++x)
            picture.levels.push_back(bytes[y * cell.RowBytes() + x / 8] >> (7 - x % 8) & 1);
        codes.push_back(entry.character);
        std::string printed = Printed(picture);  // the raw decoder prints no offsets
        expected += printed.replace(printed.find(" 0 0 0\n"), 7, "\n");
      }
    }
    for (RawLayout layout :
         {RawLayout::kRowsMsb, RawLayout::kRowsLsb, RawLayout::kPagesLsb, RawLayout::kPagesMsb}) {
      for (unsigned rotation : {0, 90, 180, 270}) {
        if (oneCell && (layout != RawLayout::kPagesLsb || rotation != 90)) continue;
        SCOPED_TRACE(std::string(RawLayoutName(layout)) + " " + std::to_string(rotation) +
                     (oneCell ? " one cell" : " two cells"));
        const std::string defines =
            "-DFONT=font_lookup -DRAW=" + std::to_string(static_cast<int>(layout)) +
            " -DROTATION=" + std::to_string(rotation);
        EXPECT_EQ(Decode(WriteRawFont("font", "font.h", tables, layout, rotation), defines, codes,
                         layout == RawLayout::kPagesLsb && rotation == 90),
                  expected);
      }
    }
  }
}

}  // namespace
}  // namespace pindot
