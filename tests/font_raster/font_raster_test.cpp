// Every glyph the canvas draws is FreeType's hinted monochrome rendering, its pen at x = 1 and its
// baseline at y = 1 + ascent, whichever rasteriser the canvas picked for it.
#include <ft2build.h>
#include <gtest/gtest.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <cmath>
#include <memory>
#include <set>
#include <string>
#include <utility>

#include "font/font_canvas.h"

namespace pindot {
namespace {

struct FontCase {
  const char* path;
  int cellHeight;
  std::pair<char32_t, char32_t> blocks[3];
};

using PixelSet = std::set<std::pair<int, int>>;

class Reference {
 public:
  Reference(const char* path, int cellHeight) {
    FT_Init_FreeType(&library_);
    FT_New_Face(library_, path, 0, &face_);
    // The cell: usWinAscent + usWinDescent fill the requested height, the em rounded to pixels.
    auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face_, FT_SFNT_OS2));
    double total = os2->usWinAscent + os2->usWinDescent;
    FT_Set_Pixel_Sizes(face_, 0,
                       static_cast<FT_UInt>(std::lround(cellHeight * face_->units_per_EM / total)));
    baseline_ = 1 + static_cast<int>(std::lround(cellHeight * os2->usWinAscent / total));
  }
  ~Reference() {
    FT_Done_Face(face_);
    FT_Done_FreeType(library_);
  }
  bool Has(char32_t codePoint) const { return FT_Get_Char_Index(face_, codePoint) != 0; }

  // Ink pixels of FreeType's monochrome rendering inside the cell, and the advance.
  PixelSet Draw(char32_t codePoint, int width, int height, int& advance) {
    FT_Load_Glyph(face_, FT_Get_Char_Index(face_, codePoint), FT_LOAD_TARGET_MONO);
    advance = static_cast<int>((face_->glyph->advance.x + 32) >> 6);
    FT_Render_Glyph(face_->glyph, FT_RENDER_MODE_MONO);
    const FT_Bitmap& bitmap = face_->glyph->bitmap;
    PixelSet pixels;
    for (unsigned row = 0; row < bitmap.rows; ++row) {
      for (unsigned column = 0; column < bitmap.width; ++column) {
        if (!((bitmap.buffer[row * bitmap.pitch + column / 8] >> (7 - column % 8)) & 1)) continue;
        int x = 1 + face_->glyph->bitmap_left + static_cast<int>(column);
        int y = baseline_ - face_->glyph->bitmap_top + static_cast<int>(row);
        if (x >= 1 && x <= width && y >= 1 && y <= height && x < 148 && y < 148) {
          pixels.insert({x, y});
        }
      }
    }
    return pixels;
  }

 private:
  FT_Library library_ = nullptr;
  FT_Face face_ = nullptr;
  int baseline_ = 0;
};

TEST(FontRaster, CanvasDrawsWhatFreeTypesMonochromeRendererDraws) {
  const FontCase cases[] = {
      // A pixel font: every glyph takes the grid-aligned path.
      {"/usr/share/fonts/opentype/unifont/unifont.otf",
       16,
       {{0x20, 0x24F}, {0x3000, 0x30FF}, {0x4E00, 0x5FFF}}},
      {"/usr/share/fonts/opentype/unifont/unifont.otf", 32, {{0x20, 0x7E}, {0x4E00, 0x4FFF}, {}}},
      // Outline fonts with curves, and a few grid-aligned glyphs with zero-width contours.
      {"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
       16,
       {{0x20, 0x24F}, {0x2500, 0x25FF}, {0xF000, 0xF0FF}}},
      {"/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf", 13, {{0x20, 0x17F}, {}, {}}},
  };
  for (const FontCase& c : cases) {
    FontSpec fontSpec;
    fontSpec.filePath = c.path;
    fontSpec.cellHeight = c.cellHeight;
    std::unique_ptr<FontCanvas> canvas = FontCanvas::Open(fontSpec);
    Reference reference(c.path, c.cellHeight);
    int compared = 0;
    for (auto [first, last] : c.blocks) {
      for (char32_t codePoint = first; codePoint <= last && last != 0; ++codePoint) {
        if (!reference.Has(codePoint)) continue;
        auto unit = static_cast<char16_t>(codePoint);
        TextExtent extent = canvas->MeasureCharacter(unit);
        canvas->DrawCharacter(unit);
        int advance = 0;
        PixelSet expected = reference.Draw(codePoint, static_cast<int>(extent.cx),
                                           static_cast<int>(extent.cy), advance);
        PixelSet drawn;
        for (int y = 1; y <= static_cast<int>(extent.cy) && y < 148; ++y) {
          for (int x = 1; x <= static_cast<int>(extent.cx) && x < 148; ++x) {
            if (canvas->ReadPixel(x, y) == canvas->InkColour()) drawn.insert({x, y});
          }
        }
        ASSERT_EQ(static_cast<int>(extent.cx), advance) << c.path << " U+" << std::hex << codePoint;
        ASSERT_EQ(extent.cy, static_cast<uint32_t>(c.cellHeight));
        ASSERT_EQ(drawn, expected)
            << c.path << " at " << c.cellHeight << ": U+" << std::hex << codePoint;
        ++compared;
      }
    }
    EXPECT_GT(compared, 90) << c.path;
  }
}

}  // namespace
}  // namespace pindot
