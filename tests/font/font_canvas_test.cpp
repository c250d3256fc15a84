// The FreeType canvas and the fontconfig lookup, on hand-drawn and on installed fonts.
#include "font/font_canvas.h"

#include <ft2build.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <fstream>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "base/user_error.h"
#include "font/font_lookup.h"
#include "font/font_metrics.h"
#include "glyph/generator.h"
#include "glyph/glyph_scan.h"
#include "glyph/loss_report.h"
#include "test_fonts.h"
#include "text/character_set.h"
#include "text/number_text.h"

namespace pindot {
namespace {

using namespace testing;  // the test fonts and their styles
const std::string& kFonts = kTestFonts;
const std::string kGrid8 = kFonts + "grid8.bdf";

std::unique_ptr<FontCanvas> Open(const std::string& font, int size, int style = kPlain,
                                 FontCanvas::PlainGlyphs plain = FontCanvas::PlainGlyphs::kPacked) {
  return FontCanvas::Open(TestFont(font, size, style), plain);
}

// Draws U+4E2D, inked in every row, then `unit` over it: the unit's cell in unifont.hex's notation.
std::string HexOf(FontCanvas& canvas, char16_t unit) {
  canvas.DrawCharacter(u'中');
  const int32_t cx = canvas.MeasureCharacter(unit).cx, cy = canvas.MeasureCharacter(unit).cy;
  canvas.DrawCharacter(unit);
  std::vector<uint8_t> bytes;
  ScanGlyph(canvas, {1, 1, 1 + cx, 1 + cy}, bytes);  // packed, unless drawn in colours
  std::string hex;
  for (uint8_t byte : bytes) hex += {kUpperHexDigits[byte >> 4], kUpperHexDigits[byte & 15]};
  return hex;
}

TEST(FontCanvas, DrawsEachGlyphInAFreshWhiteCell) {
  const std::tuple<std::string, int, char16_t, std::string> cases[] = {
      // grid8.bdf (its styles are checked through pindot): g hangs below the baseline, Z is missing
      // (glyph 0, a box).
      {kGrid8, kPlain, u'g', "00007090907010E0"},
      {kGrid8, kPlain, u'Z', "F090909090F00000"},
      {kGrid8, kPlain, 0xD800, "F090909090F00000"},
      // unifont.hex's own 0061 and 4E2D, the first through the alias file.
      {"Fixedsys", kPlain, u'a', "0000000000003C42023E4242463A0000"},
      {kUnifont, kPlain, u'中', "01000100010001003FF8210821082108210821083FF821080100010001000100"},
      // DejaVu Sans at 14 px, ascent 13: underline 85 units (0.6 px) under the baseline, row 14;
      // strike-out 530 units (3.6 px) above it, row 10. Bold Unifont strokes are a pixel wider.
      {kDejaVu, kLines, u' ', "000000000000000000F0000000F00000"},
      {"Fixedsys", kBold, u'a', "0000000000000000000000003E00630003003F006300630067003F0000000000"},
      // WenQuanYi Zen Hei has no hinting program; the upright of 中 must not drop out at its em of
      // 13 pixels (a 16-pixel cell).
      {"WenQuanYi Zen Hei", kPlain, u'中',
       "00000400040004007FE04420442044207FE00400040004000400000000000000"},
  };
  for (const auto& [font, style, unit, hex] : cases) {
    EXPECT_EQ(HexOf(*Open(font, font == kGrid8 ? 8 : 16, style), unit), hex)
        << font << " " << style << " U+" << std::hex << unit;
  }
}

// The message of the UserError that `action` throws, empty when it throws none.
template <typename Action>
std::string ErrorOf(Action action) {
  try {
    action();
  } catch (const UserError& error) {
    return error.what();
  }
  return {};
}

// A font is refused with the reason when reading it would block, or take more than the memory
// limit, or write more than 1000 pixels a cell (a cell of 30,000 would be hundreds of megabytes of
// output for one character). A WOFF file says how large its tables unpack and FreeType allocates
// that much: the one made here, 68 bytes, claims a table of 1 GB.
TEST(FontCanvas, RefusesFontsItCannotReadSafely) {
  for (int style : {kPlain, kEm}) {
    for (int size : {-16, 0, 1001}) EXPECT_THROW(Open(kGrid8, size, style), UserError) << size;
  }
  const std::string scratch = ::testing::TempDir() + "pindot_" + std::to_string(getpid());
  const auto big = [](uint32_t value) {
    return std::string{char(value >> 24), char(value >> 16), char(value >> 8), char(value)};
  };
  const uint32_t table = 1u << 30;
  // Header: signature, flavour, length, one table, reserved, unpacked size, version, no metadata
  // or private data; then the table's entry (tag, offset, packed and unpacked length, checksum).
  std::ofstream(scratch + ".woff", std::ios::binary)
      << "wOFF" + big(0x00010000) + big(68) + big(0x00010000) + big(12 + 16 + table) +
             big(0x00010000) + std::string(20, '\0') + "glyf" + big(64) + big(4) + big(table) +
             big(0) + "data";
  unlink(scratch.c_str());
  ASSERT_EQ(mkfifo(scratch.c_str(), 0600), 0);
  const std::pair<std::string, std::string> cases[] = {
      {kFonts + "tall_cell.bdf", "its cells are 30002 pixels high, more than 1000"},
      {scratch + ".woff", "reading it takes more than 256 MB of memory"},
      {scratch, "it is a pipe, not a regular file"},
      {"/dev/null", "it is a character device, not a regular file"},
      {kFonts, "it is a directory"},
  };
  for (const auto& [path, reason] : cases) {
    EXPECT_EQ(ErrorOf([&] { Open(path, 16); }),
              "cannot open font file \"" + path + "\": " + reason);
  }
  unlink(scratch.c_str());
  unlink((scratch + ".woff").c_str());
  // A glyph's advance is checked as it is measured or drawn, every time.
  const std::string wide = kFonts + "wide_glyph.bdf";
  auto canvas = Open(wide, 8);
  EXPECT_EQ(canvas->MeasureCharacter(u'A').cx, 5u);
  const std::string refusal = "cannot open font file \"" + wide +
                              "\": its glyph for U+0057 advances 30000 pixels, more than 1000";
  EXPECT_EQ(ErrorOf([&] { canvas->MeasureCharacter(u'W'); }), refusal);
  EXPECT_EQ(ErrorOf([&] { canvas->DrawCharacter(u'W'); }), refusal);
}

// Older BDF files write their names in Latin-1: each byte is its own code point.
TEST(FontCanvas, ReadsLatin1FamilyNames) {
  EXPECT_EQ(Open(kFonts + "latin1_name.bdf", 4)->ResolvedFamily(), u"Pindot Caf\u00e9");
}

// The cell is measured on U+4E2D and keeps the name asked for, whichever face drew. A 16-pixel
// 宋体 is a 16 x 16 cell, as on Windows, though AR PL UMing, whose ascent and descent exceed its
// em, draws it. 12 pt at 96 dots per inch is an em of 16: DejaVu's cell is 15 rows above the
// baseline and 4 below.
TEST(FontCanvas, MeasuresCellsAsWindowsDoes) {
  for (const std::u16string name : {u"Fixedsys", u"宋体"}) {
    const FontRequest request{name, "", 16};
    GeneratorSettings settings;
    MeasureFont(*FontCanvas::Open(request), request, settings);
    EXPECT_EQ(std::tuple(settings.width, settings.height, settings.faceName),
              std::tuple(16u, 16u, name));
  }
  // m's hinted advance at an em of 16 pixels; a cell of 16 (an em of 14) gives it 13.
  auto twelvePoints = Open(kDejaVu, 16, kEm);
  EXPECT_EQ(twelvePoints->MeasureCharacter(u'a').cy, 19u);
  EXPECT_EQ(twelvePoints->MeasureCharacter(u'm').cx, 15u);
  // WenQuanYi Zen Hei drawing SimHei: an em of 16, the baseline 220/256 of it (14 rows) down. Under
  // its own name at the same em its baseline is 986/1024 of it (15 rows) down: the same 中 a row
  // lower.
  auto simHei = Open("SimHei", 16);
  auto wenQuanYi = Open("WenQuanYi Zen Hei", 16, kEm);
  simHei->DrawCharacter(u'中');
  wenQuanYi->DrawCharacter(u'中');
  std::vector<uint8_t> simHeiRows, wenQuanYiRows;
  ScanGlyph(*simHei, {1, 0, 17, 18}, simHeiRows);
  ScanGlyph(*wenQuanYi, {1, 1, 17, 19}, wenQuanYiRows);
  EXPECT_EQ(simHeiRows, wenQuanYiRows);
  EXPECT_LT(std::count(simHeiRows.begin(), simHeiRows.end(), 0), 30);  // 中 is drawn
}

TEST(FontCanvas, TellsTheStrikeDrawnInsteadOfTheSizeAskedFor) {
  const std::string fixed = "/usr/share/fonts/X11/misc/6x13.pcf.gz";  // one strike, 13 x 6
  EXPECT_EQ(Open(fixed, 20)->MeasureCharacter(u'a').cy, 13u);
  // By em, a strike is picked by its em (PIXEL_SIZE), grid8.bdf's 8; a scalable face always draws
  // the size asked.
  const std::tuple<std::string, int, int, int> cases[] = {
      {fixed, 20, kPlain, 13}, {fixed, 13, kPlain, 0}, {kDejaVu, 20, kPlain, 0},
      {kGrid8, 6, kEm, 8},     {kGrid8, 8, kEm, 0},
  };
  for (const auto& [font, size, style, strike] : cases) {
    EXPECT_EQ(Open(font, size, style)->SubstitutedStrikeSize(), strike) << font << " " << size;
  }
}

TEST(FontCanvas, SlantsItalicsAsFontconfigAsks) {
  // fontconfig's slant for Unifont's outlines: the top of 中's stroke leans right of its foot.
  std::string slanted = HexOf(*Open("Fixedsys", 16, kItalic), u'中');
  EXPECT_LT(slanted.substr(0, 4), slanted.substr(60, 4)) << slanted;
}

TEST(FontCanvas, ClipsToTheCanvas) {
  auto big = Open(kUnifont, 200);  // a cell larger than the canvas; its long stroke reaches x 147
  EXPECT_EQ(big->MeasureCharacter(u'中').cx, 200u);
  big->DrawCharacter(u'中');
  EXPECT_EQ(big->ReadPixel(147, 60), big->InkColour());
  EXPECT_NE(big->ReadPixel(148, 60), big->InkColour());
}

// Whether a glyph takes the canvas's own fill of grid-aligned outlines or FreeType's rasteriser,
// its cell equals FreeType's monochrome rendering, pen at x = 1, baseline as usWinAscent's share.
TEST(FontCanvas, DrawsWhatFreeTypesMonochromeRendererDraws) {
  FT_Library library = nullptr;
  ASSERT_EQ(FT_Init_FreeType(&library), 0);
  std::vector<std::tuple<std::string, int, char16_t, char16_t>> cases = {
      {kUnifont, 16, 0x20, 0x24F},
      {kUnifont, 32, 0x4E00, 0x4EFF},
      {kDejaVu, 13, 0x20, 0x17F},
      {kDejaVu, 16, 0x2500, 0x25FF},
      // Outlines larger than the canvas and the margin around it that the canvas renders.
      {kDejaVu, 600, 0x41, 0x5A}};
  // Small cells, where hinting puts many outlines on the pixel grid and squeezes strokes to
  // nothing: DejaVu's missing-character box loses its left side's width from 4 to 9 pixels.
  for (int height = 4; height <= 9; ++height) {
    cases.emplace_back(kDejaVu, height, 0x20, 0x17F);
    cases.emplace_back(kDejaVu, height, 0x2500, 0x25FF);
  }
  for (const auto& [path, height, first, last] : cases) {
    auto canvas = Open(path, height);
    FT_Face face = nullptr;
    ASSERT_EQ(FT_New_Face(library, path.c_str(), 0, &face), 0);
    auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    double total = os2->usWinAscent + os2->usWinDescent;
    FT_Set_Pixel_Sizes(face, 0, std::lround(height * face->units_per_EM / total));
    int baseline = 1 + static_cast<int>(std::lround(height * os2->usWinAscent / total));
    std::vector<char16_t> codes = {0xFFFF};  // missing from both faces: drawn as glyph 0
    for (char16_t code = first; code <= last; ++code) {
      if (FT_Get_Char_Index(face, code) != 0) codes.push_back(code);
    }
    for (char16_t code : codes) {
      FT_Load_Glyph(face, FT_Get_Char_Index(face, code), FT_LOAD_RENDER | FT_LOAD_TARGET_MONO);
      const FT_GlyphSlot glyph = face->glyph;
      const int width = canvas->MeasureCharacter(code).cx;
      canvas->DrawCharacter(code);
      ASSERT_EQ(width, (glyph->advance.x + 32) >> 6) << std::hex << code;
      for (int y = 1; y <= height && y < 148; ++y) {
        for (int x = 1; x <= width && x < 148; ++x) {
          const FT_Bitmap& bitmap = glyph->bitmap;
          unsigned row = y - baseline + glyph->bitmap_top, column = x - 1 - glyph->bitmap_left;
          bool ink = row < bitmap.rows && column < bitmap.width &&
                     (bitmap.buffer[row * bitmap.pitch + column / 8] << column % 8 & 0x80);
          ASSERT_EQ(canvas->ReadPixel(x, y) == canvas->InkColour(), ink)
              << path << " " << height << " U+" << std::hex << code << " (" << x << ", " << y
              << ")";
        }
      }
    }
    FT_Done_Face(face);
  }
  FT_Done_FreeType(library);
}

// Plain glyphs are drawn as bits and handed over packed. Drawn in colours on a second canvas and
// scanned pixel by pixel, the same glyphs must give the same bytes: grid outlines filled, outlines
// rendered with and without a hinting program, embedded bitmaps, strikes, glyph 0, glyphs wider
// and higher than the canvas. Each canvas draws a whole run of glyphs, so what one glyph leaves
// outside its cell is there under the next; now and then the whole canvas and a margin around it
// is compared, a rectangle whose left edge starts inside a byte.
TEST(FontCanvas, PacksTheBytesItsPixelsScanTo) {
  const std::u16string latin =
      u" !#0@AMQW_agjmqy|~\u00c5\u00df\u00e6\u0142\u2014\u2588\u2592\uffff";
  const std::u16string hanzi = u"\u4e00\u4e2d\u4e8c\u56fd\u9e1f\u9f98\u9fa5\u3002\uff01";
  std::vector<int> heights;
  for (int height = 4; height <= 20; ++height) heights.push_back(height);
  for (int height : {24, 31, 32, 48, 64, 96, 128, 160}) heights.push_back(height);
  const std::tuple<const char*, std::string, std::vector<int>, std::u16string> cases[] = {
      {"Unifont, grid outlines", kUnifont, heights, latin + hanzi},
      {"DejaVu Sans, hinting program", kDejaVu, heights, latin},
      {"WenQuanYi Zen Hei, no hinting program", "/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc",
       heights, latin + hanzi},
      {"AR PL UMing, embedded bitmaps from 12 to 19", "/usr/share/fonts/truetype/arphic/uming.ttc",
       heights, latin + hanzi},
      {"grid8.bdf", kGrid8, {8}, latin},
      {"oversized.bdf", kFonts + "oversized.bdf", {4}, u"iWM\u4e2d?"},
      {"widths.bdf", kFonts + "widths.bdf", {8}, latin},
      {"worked_example.bdf", kFonts + "worked_example.bdf", {8}, latin + hanzi},
  };
  const GlyphCell around{-9, -3, GlyphCanvas::kSize + 9, GlyphCanvas::kSize + 3};
  for (const auto& [name, font, fontHeights, units] : cases) {
    for (int height : fontHeights) {
      auto packed = Open(font, height);
      auto colours = Open(font, height, kPlain, FontCanvas::PlainGlyphs::kInColour);
      std::vector<uint8_t> fromBits, fromPixels;
      for (size_t i = 0; i < units.size(); ++i) {
        const char16_t unit = units[i];
        const TextExtent extent = packed->MeasureCharacter(unit);
        ASSERT_EQ(colours->MeasureCharacter(unit).cx, extent.cx);
        const GlyphCell cell{1, 1, 1 + static_cast<int32_t>(extent.cx),
                             1 + static_cast<int32_t>(extent.cy)};
        packed->DrawCharacter(unit);
        colours->DrawCharacter(unit);
        for (const GlyphCell& scanned : {cell, around}) {
          if (&scanned == &around && i % 5 != 4) continue;
          ASSERT_TRUE(packed->ReadPackedCell(scanned, fromBits));
          ASSERT_FALSE(colours->ReadPackedCell(scanned, fromPixels));
          ScanGlyph(*colours, colours->InkColour(), scanned, fromPixels);
          ASSERT_EQ(fromBits, fromPixels) << name << " at " << height << ", U+" << std::hex << unit
                                          << (&scanned == &around ? ", the whole canvas" : "");
        }
      }
    }
  }
}

TEST(FontLookup, FindsFacesByNameAndWindowsNamesThroughTheAliasFile) {
  const std::pair<std::string, std::u16string> cases[] = {
      {"SimSun", u"AR PL UMing CN"},         {"新宋体", u"AR PL UMing CN"},
      {"NSimSun", u"AR PL UMing CN"},        {"黑体", u"WenQuanYi Zen Hei Mono"},
      {"SimHei", u"WenQuanYi Zen Hei Mono"}, {"UNI FONT", u"UNI FONT"},
      {"文泉驿正黑", u"文泉驿正黑"}};  // own names, as asked
  for (const auto& [asked, family] : cases) EXPECT_EQ(Open(asked, 16)->ResolvedFamily(), family);
  // Generic names keep the system's choice (NSimSun is monospace too); any other name must exist,
  // where fontconfig's last resort would match anything.
  for (std::string generic : {"monospace", "sans-serif", "serif"})
    EXPECT_NE(Open(generic, 16)->ResolvedFamily(), u"AR PL UMing CN") << generic;
  for (std::string asked : {"No Such Face Pindot", "Fixedsys Excelsior 9", "宋体宋体", ""})
    EXPECT_THROW(Open(asked, 16), UserError) << asked;
}

// SimSun and its relatives fill their em: 220 units above the baseline and 36 below, of 256.
// Unifont drawing Fixedsys, and a face asked for by its own name, keep their own metrics.
TEST(FontLookup, StandInsTakeTheMetricsOfTheWindowsFaceTheyDrawFor) {
  for (std::string asked :
       {"宋体", "新宋体", "simsun", "N SimSun", "黑体", "SimHei", "Fixedsys", "AR PL UMing CN"}) {
    const std::optional<VerticalMetrics> metrics =
        ResolveFace(TestFont(asked, 16)).namedFaceMetrics;
    const bool standIn = asked != "Fixedsys" && asked != "AR PL UMing CN";
    using Metrics = std::tuple<long, long, long>;
    const Metrics found =
        metrics ? Metrics{metrics->unitsPerEm, metrics->ascent, metrics->descent} : Metrics{};
    EXPECT_EQ(found, standIn ? Metrics(256, 220, 36) : Metrics()) << asked;
  }
}

// Windows' SimSun and SimHei have half-width Latin letters: all of ASCII goes to the thin table,
// whatever the size, and nothing is cut.
TEST(FontLookup, StandInsKeepLatinHalfWidth) {
  for (std::string asked : {"宋体", "黑体", "SimHei"}) {
    for (int height : {12, 16, 24}) {
      const FontRequest fontRequest = TestFont(asked, height);
      const auto canvas = FontCanvas::Open(fontRequest);
      Generator generator{CodePage(1252)};
      MeasureFont(*canvas, fontRequest, generator.Settings());
      std::u16string sample = u"中";
      AppendCharacterRange(sample, {0x20, 0x7e});
      NoProgress progress;
      generator.Generate(sample, *canvas, progress);
      EXPECT_EQ(generator.ThinList().GetCount(), 95u) << asked << " " << height;
      EXPECT_EQ(generator.WideList().GetCount(), 1u) << asked << " " << height;
      EXPECT_TRUE(FindLosses(generator).cut[0].empty()) << asked << " " << height;
    }
  }
}

}  // namespace
}  // namespace pindot
