// LVGL fonts of real faces, compiled with the C compiler against the tests' lvgl/lvgl.h and read
// back by the tests' decoder, from the source and from the binary file: every glyph's advance and
// pixels, in pen and baseline coordinates, are what the canvas drew (1 bit per pixel) or what
// FreeType's anti-aliased renderer gives, quantised (2, 4, 8).
#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_BITMAP_H
#include FT_TRUETYPE_TABLES_H

#include <cmath>
#include <fstream>
#include <map>
#include <sstream>

#include "compile_check.h"
#include "font/cell_metrics.h"
#include "glyph/ink_scan.h"
#include "output/lvgl_binary.h"
#include "output/lvgl_font.h"
#include "test_fonts.h"

namespace pindot {
namespace {

// A glyph as the decoder reports it or as the reference draws it: advance, then ink by (x, y) from
// the pen, y upwards from the baseline.
struct Drawn {
  int advance = -1;
  std::map<std::pair<int, int>, int> ink;
  bool operator==(const Drawn& other) const { return advance == other.advance && ink == other.ink; }
};

std::ostream& operator<<(std::ostream& out, const Drawn& drawn) {
  out << "advance " << drawn.advance << ":";
  for (const auto& [at, level] : drawn.ink)
    out << " " << at.first << "," << at.second << "=" << level;
  return out;
}

// The decoder's lines: "U+XXXX advance WxH x,y" and the box's rows of levels. The box must be
// the ink's own: no blank edge.
std::map<char16_t, Drawn> ReadDump(const std::string& text) {
  std::map<char16_t, Drawn> glyphs;
  std::istringstream in(text);
  std::string line;
  std::getline(in, line);  // the lines of the font
  unsigned code, width, height;
  int advance, left, bottom;
  while (std::getline(in, line)) {
    if (line.find("none") != std::string::npos) continue;
    EXPECT_EQ(std::sscanf(line.c_str(), "U+%x %d %ux%u %d,%d", &code, &advance, &width, &height,
                          &left, &bottom),
              6)
        << line;
    Drawn& drawn = glyphs[static_cast<char16_t>(code)];
    drawn.advance = advance;
    int edges[4] = {0, 0, 0, 0};  // ink in the left, right, top, bottom column or row
    for (unsigned row = 0; row < height && std::getline(in, line); ++row) {
      const size_t digits = line.size() / width;
      for (unsigned column = 0; column < width; ++column) {
        const int level = std::stoi(line.substr(column * digits, digits), nullptr, 16);
        if (level == 0) continue;
        drawn.ink[{left + static_cast<int>(column), bottom + static_cast<int>(height - 1 - row)}] =
            level;
        edges[0] |= column == 0, edges[1] |= column + 1 == width;
        edges[2] |= row == 0, edges[3] |= row + 1 == height;
      }
    }
    EXPECT_EQ(edges[0] + edges[1] + edges[2] + edges[3], width * height != 0 ? 4u : 0u)
        << "U+" << code;
  }
  return glyphs;
}

// What a fresh canvas draws for `unit`, read pixel by pixel over the whole canvas.
Drawn CanvasDrawing(const FontRequest& request, char16_t unit) {
  Drawn drawn;
  const std::unique_ptr<FontCanvas> canvas = FontCanvas::Open(request);
  drawn.advance = static_cast<int>(canvas->MeasureCharacter(unit).cx);
  canvas->DrawCharacter(unit);
  const int baseline = 1 + canvas->Lines().ascent;
  for (int y = 0; y < GlyphCanvas::kSize; ++y) {
    for (int x = 0; x < GlyphCanvas::kSize; ++x) {
      if (canvas->ReadPixel(x, y) == canvas->InkColour()) drawn.ink[{x - 1, baseline - 1 - y}] = 1;
    }
  }
  return drawn;
}

// FreeType's own anti-aliased rendering of `unit`, sized as the canvas sizes the face, each
// pixel's coverage rounded to the nearest of the 2^bpp levels.
Drawn FreeTypeDrawing(FT_Face face, char16_t unit, int bpp) {
  Drawn drawn;
  EXPECT_EQ(FT_Load_Char(face, unit, FT_LOAD_RENDER), 0);
  const FT_GlyphSlot slot = face->glyph;
  drawn.advance = static_cast<int>(std::lround(slot->advance.x / 64.0));
  FT_Bitmap bitmap;
  FT_Bitmap_Init(&bitmap);
  FT_Bitmap_Convert(slot->library, &slot->bitmap, &bitmap, 1);
  const int top = bitmap.num_grays - 1, levels = (1 << bpp) - 1;
  for (unsigned row = 0; row < bitmap.rows; ++row) {
    for (unsigned column = 0; column < bitmap.width; ++column) {
      const int coverage = bitmap.buffer[row * bitmap.pitch + column] * 255 / top;
      const int level = (coverage * levels + 127) / 255;
      if (level > 0)
        drawn.ink[{slot->bitmap_left + static_cast<int>(column),
                   slot->bitmap_top - 1 - static_cast<int>(row)}] = level;
    }
  }
  FT_Bitmap_Done(slot->library, &bitmap);
  return drawn;
}

TEST(LvglCompileTest, SourceAndBinaryGiveTheDrawnGlyphs) {
  const std::u16string latin = u" !Ag,j\u00e9\u00c5";
  std::u16string chinese = u"\u4e2d\u6587\u9f98\u3002";  // and a run that gets a map of its own
  for (char16_t unit = u'0'; unit <= u'Z'; ++unit) chinese += unit;
  const std::string uming = "/usr/share/fonts/truetype/arphic/uming.ttc";
  const std::tuple<std::string, int, std::u16string> cases[] = {
      // font file, cell height, characters
      {testing::kUnifont, 16, chinese},
      {uming, 16, chinese},
      {uming, 23, chinese},
      {testing::kZenHei, 13, chinese},
      {testing::kDejaVu, 11, latin},
      {testing::kDejaVu, 40, latin},
      {testing::kTestFonts + "grid8.bdf", 8, u"!AB"},
  };
  FT_Library library = nullptr;
  ASSERT_EQ(FT_Init_FreeType(&library), 0);
  testing::TempFolder folder;
  std::ostringstream table;  // the compiled fonts, in case order, for the dump program
  std::vector<std::tuple<std::string, std::vector<char16_t>, std::vector<Drawn>>> expected;
  for (const auto& [file, height, characters] : cases) {
    const FontRequest request = testing::TestFont(file, height);
    std::unique_ptr<FontCanvas> canvas = FontCanvas::Open(request);
    FT_Face face = nullptr;
    ASSERT_EQ(FT_New_Face(library, file.c_str(), 0, &face), 0);
    if (FT_IS_SCALABLE(face)) {
      VerticalMetrics metrics{face->units_per_EM, face->ascender, -face->descender};
      if (const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2))) {
        metrics = VerticalMetrics{face->units_per_EM, os2->usWinAscent, os2->usWinDescent};
      }
      FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(CellForHeight(metrics, height).em));
    } else {
      FT_Select_Size(face, 0);
    }
    std::vector<char16_t> units(characters.begin(), characters.end());
    std::sort(units.begin(), units.end());
    for (uint8_t bpp : {1, 2, 4, 8}) {
      InkFont font;
      font.name = "font_" + std::to_string(expected.size());
      font.bpp = bpp;
      font.lines = canvas->Lines();
      font.glyphs = DrawInkGlyphs(*canvas, units, bpp);
      std::vector<Drawn> drawings;
      for (char16_t unit : units) {
        drawings.push_back(bpp == 1 ? CanvasDrawing(request, unit)
                                    : FreeTypeDrawing(face, unit, bpp));
      }
      std::ofstream(folder / (font.name + ".c")) << WriteLvglSource(font);
      std::ofstream(folder / (font.name + ".bin"), std::ios::binary) << WriteLvglBinary(font);
      table << "LV_FONT_DECLARE(" << font.name << ")\n";
      expected.emplace_back(
          file + " " + std::to_string(height) + " px, " + std::to_string(bpp) + " bpp", units,
          std::move(drawings));
    }
    FT_Done_Face(face);
  }
  FT_Done_FreeType(library);
  table << "const lv_font_t* const test_fonts[] = {";
  for (size_t i = 0; i < expected.size(); ++i) table << "&font_" << i << ",";
  table << "};\n";
  std::ofstream(folder / "fonts.h") << table.str();

  ASSERT_TRUE(testing::RunIn(folder, testing::kHostC + "-DFONT_TABLE='\"fonts.h\"' font_*.c '" +
                                         PINDOT_COMPILE_DIR "/lvgl_test_main.c' '" +
                                         PINDOT_COMPILE_DIR "/lvgl_test_decoder.c' -o dump"));
  // For a Cortex-M4 too, with the descriptors small and large.
  for (const char* large : {"0", "1"})
    testing::RunIn(folder,
                   testing::kCortexM4C + "-c -DLV_FONT_FMT_TXT_LARGE=" + large + " font_*.c");
  for (size_t i = 0; i < expected.size(); ++i) {
    const auto& [what, units, drawings] = expected[i];
    std::ostringstream codes;
    for (char16_t unit : units) codes << std::hex << unit << " ";
    std::ofstream(folder / "codes.txt") << codes.str() << "41F 10000";  // two it has not
    for (const std::string& source : {std::to_string(i), "font_" + std::to_string(i) + ".bin"}) {
      SCOPED_TRACE(what + " from " + source);
      const std::string run =
          "cd '" + folder.path.string() + "' && ./dump " + source + " < codes.txt > dump.txt";
      ASSERT_EQ(std::system(run.c_str()), 0);
      const std::string dump = testing::ReadFileBytes(folder / "dump.txt");
      const std::map<char16_t, Drawn> glyphs = ReadDump(dump);
      EXPECT_EQ(glyphs.size(), units.size()) << dump;
      for (size_t k = 0; k < units.size(); ++k) {
        EXPECT_EQ(glyphs.count(units[k]) ? glyphs.at(units[k]) : Drawn{}, drawings[k])
            << "U+" << std::hex << units[k];
      }
    }
  }
}

}  // namespace
}  // namespace pindot
