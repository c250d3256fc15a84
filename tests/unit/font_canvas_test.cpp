#include "font/font_canvas.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "glyph/glyph_scan.h"
#include "text/user_error.h"

namespace pindot {
namespace {

constexpr Colour kWhite = 0x00FFFFFF;
constexpr char kUnifont[] = "/usr/share/fonts/opentype/unifont/unifont.otf";
constexpr char kUming[] = "/usr/share/fonts/truetype/arphic/uming.ttc";

std::string TestFont(const char* name) {
  return std::string(PINDOT_TEST_DIR) + "/fonts/" + name;
}

std::unique_ptr<FontCanvas> OpenFile(const std::string& path, int cellHeight = 16,
                                     void (*adjust)(FontSpec&) = nullptr) {
  FontSpec fontSpec;
  fontSpec.filePath = path;
  fontSpec.cellHeight = cellHeight;
  if (adjust) adjust(fontSpec);
  return FontCanvas::Open(fontSpec);
}

// Draws one unit and reads its cell back: '#' ink, '.' background, '?' anything else.
std::vector<std::string> DrawCell(FontCanvas& canvas, char16_t unit) {
  TextExtent extent = canvas.MeasureCharacter(unit);
  canvas.DrawCharacter(unit);
  std::vector<std::string> rows;
  for (uint32_t y = 1; y <= extent.cy; ++y) {
    std::string row;
    for (uint32_t x = 1; x <= extent.cx; ++x) {
      Colour colour = canvas.ReadPixel(static_cast<int32_t>(x), static_cast<int32_t>(y));
      row += colour == canvas.InkColour() ? '#' : colour == kWhite ? '.' : '?';
    }
    rows.push_back(row);
  }
  return rows;
}

std::u16string DataOf(FontCanvas& canvas, char16_t unit) {
  TextExtent extent = canvas.MeasureCharacter(unit);
  canvas.DrawCharacter(unit);
  GlyphCell cell{1, 1, static_cast<int32_t>(extent.cx) + 1, static_cast<int32_t>(extent.cy) + 1};
  return ScanGlyph(canvas, canvas.InkColour(), cell).dataText;
}

using Picture = std::vector<std::string>;

TEST(FontCanvas, DrawsTheWorkedExampleFontPixelForPixel) {
  auto canvas = OpenFile(TestFont("worked_example.bdf"));
  EXPECT_EQ(canvas->ResolvedFamily(), u"Pindot Worked");
  // The only strike is 2 rows high, so a request for 16 gets a cell of 2.
  EXPECT_EQ(DrawCell(*canvas, u'i'), (Picture{".#", "##"}));               // 0x40, 0xc0
  EXPECT_EQ(DrawCell(*canvas, u'j'), (Picture{"..#", "##."}));             // 0x20, 0xc0
  EXPECT_EQ(DrawCell(*canvas, u'中'), (Picture{"########", "...##..."}));  // 0xff, 0x18
  EXPECT_EQ(DataOf(*canvas, u'j'), u"0x20, 0xc0");
  EXPECT_EQ(DataOf(*canvas, u'中'), u"0xff, 0x18");
}

TEST(FontCanvas, PlacesBitmapGlyphsByTheirOffsetsOnTheBaseline) {
  auto canvas = OpenFile(TestFont("grid8.bdf"), 8);
  // Ascent 6, descent 2: the baseline lies under the sixth row.
  EXPECT_EQ(DrawCell(*canvas, u'A'), (Picture{"..#...", ".#.#..", "#...#.", "#####.", "#...#.",
                                              "#...#.", "......", "......"}));
  // "g" starts two rows below the cell's top and hangs two rows below the baseline.
  EXPECT_EQ(DrawCell(*canvas, u'g'),
            (Picture{".....", ".....", ".###.", "#..#.", "#..#.", ".###.", "...#.", "###.."}));
  // "I" is drawn one pixel right of the pen.
  EXPECT_EQ(DrawCell(*canvas, u'I'),
            (Picture{".#..", ".#..", ".#..", ".#..", ".#..", ".#..", "....", "...."}));
  // g:   .....  00 / .....  00 / .###. 70 / #..#. 90 / #..#. 90 / .###. 70 / ...#. 10 / ###.. e0
  EXPECT_EQ(DataOf(*canvas, u'g'), u"0x00, 0x00, 0x70, 0x90, 0x90, 0x70, 0x10, 0xe0");
}

TEST(FontCanvas, CellIsFilledWhiteSoNoNeighbourShowsThrough) {
  auto canvas = OpenFile(TestFont("grid8.bdf"), 8);
  DrawCell(*canvas, u'中');  // 8 wide, ink in every row
  EXPECT_EQ(DrawCell(*canvas, u' '), (Picture(8, "....")));
  EXPECT_EQ(DrawCell(*canvas, u'I'),
            (Picture{".#..", ".#..", ".#..", ".#..", ".#..", ".#..", "....", "...."}));
}

TEST(FontCanvas, MissingCharacterIsDrawnAsGlyphZero) {
  auto canvas = OpenFile(TestFont("grid8.bdf"), 8);
  EXPECT_FALSE(canvas->HasGlyph(U'Z'));
  EXPECT_FALSE(canvas->HasGlyph(0xD800));
  EXPECT_TRUE(canvas->HasGlyph(U'g'));
  EXPECT_TRUE(canvas->HasGlyph(0x4E2D));
  // Glyph 0 of this font is its default character, a box.
  Picture box{"####.", "#..#.", "#..#.", "#..#.", "#..#.", "####.", ".....", "....."};
  EXPECT_EQ(DrawCell(*canvas, u'Z'), box);
  EXPECT_EQ(DrawCell(*canvas, 0xD800), box);
}

TEST(FontCanvas, ReadPixelOutsideTheCanvasIsNeverInk) {
  auto canvas = OpenFile(TestFont("grid8.bdf"), 8);
  canvas->DrawCharacter(u'A');
  for (auto [x, y] : {std::pair{-1, 0}, {0, -1}, {148, 5}, {5, 148}, {1000, 1000}}) {
    EXPECT_NE(canvas->ReadPixel(x, y), canvas->InkColour()) << x << "," << y;
    EXPECT_NE(canvas->ReadPixel(x, y), kWhite) << x << "," << y;
  }
  EXPECT_EQ(canvas->InkColour(), 0x00000000u);
  EXPECT_EQ(canvas->ReadPixel(0, 0), kWhite);      // never drawn on
  EXPECT_EQ(canvas->ReadPixel(147, 147), kWhite);  // the last pixel is inside
}

TEST(FontCanvas, GlyphsBeyondTheCanvasAreClipped) {
  // At 200 pixels a Unifont cell is larger than the canvas: drawing must stay inside it.
  auto canvas = OpenFile(kUnifont, 200);
  TextExtent extent = canvas->MeasureCharacter(u'中');
  EXPECT_EQ(extent.cx, 200u);
  EXPECT_EQ(extent.cy, 200u);
  canvas->DrawCharacter(u'中');
  EXPECT_EQ(canvas->ReadPixel(147, 60), canvas->InkColour());  // the long stroke reaches the edge
  EXPECT_NE(canvas->ReadPixel(148, 60), canvas->InkColour());
}

TEST(FontCanvas, UnderlineAndStrikeOutOfABitmapFontLieInsideTheCell) {
  // No metrics in the font: the underline is the row below the baseline, the strike-out a third
  // of the ascent above it.
  auto canvas = OpenFile(TestFont("grid8.bdf"), 8, [](FontSpec& fontSpec) {
    fontSpec.underline = true;
    fontSpec.strikeOut = true;
  });
  EXPECT_EQ(DrawCell(*canvas, u'I'),
            (Picture{".#..", ".#..", ".#..", ".#..", "####", ".#..", "....", "####"}));
}

TEST(FontCanvas, SyntheticBoldAndItalicOfABitmapFont) {
  auto bold = OpenFile(TestFont("grid8.bdf"), 8, [](FontSpec& fontSpec) { fontSpec.weight = 700; });
  // One pixel wider, and so is the advance.
  EXPECT_EQ(DrawCell(*bold, u'I'),
            (Picture{".##..", ".##..", ".##..", ".##..", ".##..", ".##..", ".....", "....."}));

  auto italic =
      OpenFile(TestFont("grid8.bdf"), 8, [](FontSpec& fontSpec) { fontSpec.italic = true; });
  // Each row moves right by 0.2 of its centre's height above the baseline, rounded: 5.5, 4.5
  // and 3.5 rows give 1; 2.5 rows give just under 0.5 with the 16.16 shear 13107/65536, so 0.
  EXPECT_EQ(DrawCell(*italic, u'I'),
            (Picture{"..#.", "..#.", "..#.", ".#..", ".#..", ".#..", "....", "...."}));
}

TEST(FontCanvas, UnifontAt16DrawsItsOwnBitmaps) {
  auto canvas = OpenFile(kUnifont, 16);
  EXPECT_EQ(canvas->ResolvedFamily(), u"Unifont");
  // U+0061, Unifont's 0000000000003C42023E4242463A0000.
  EXPECT_EQ(DrawCell(*canvas, u'a'), (Picture{
                                         "........",
                                         "........",
                                         "........",
                                         "........",
                                         "........",
                                         "........",
                                         "..####..",
                                         ".#....#.",
                                         "......#.",
                                         "..#####.",
                                         ".#....#.",
                                         ".#....#.",
                                         ".#...##.",
                                         "..###.#.",
                                         "........",
                                         "........",
                                     }));
  EXPECT_EQ(DataOf(*canvas, u'a'),
            u"0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x3c, 0x42, 0x02, 0x3e, 0x42, 0x42, 0x46, "
            u"0x3a, 0x00, 0x00");
  EXPECT_EQ(DrawCell(*canvas, u'中'), (Picture{
                                          ".......#........",  // 01 00
                                          ".......#........",  // 01 00
                                          ".......#........",  // 01 00
                                          ".......#........",  // 01 00
                                          "..###########...",  // 3f f8
                                          "..#....#....#...",  // 21 08
                                          "..#....#....#...",  // 21 08
                                          "..#....#....#...",  // 21 08
                                          "..#....#....#...",  // 21 08
                                          "..#....#....#...",  // 21 08
                                          "..###########...",  // 3f f8
                                          "..#....#....#...",  // 21 08
                                          ".......#........",  // 01 00
                                          ".......#........",  // 01 00
                                          ".......#........",  // 01 00
                                          ".......#........",  // 01 00
                                      }));
  EXPECT_EQ(DataOf(*canvas, u'中').substr(0, 48),
            u"0x01, 0x00, 0x01, 0x00, 0x01, 0x00, 0x01, 0x00, ");
}

TEST(FontCanvas, UnifontUnderlineAndStrikeOutComeFromTheFontsMetrics) {
  auto canvas = OpenFile(kUnifont, 16, [](FontSpec& fontSpec) {
    fontSpec.underline = true;
    fontSpec.strikeOut = true;
  });
  Picture cell = DrawCell(*canvas, u'a');
  // post.underlinePosition 0 (centred on the baseline): the row below the ascent's 14 rows.
  EXPECT_EQ(cell[14], "########");
  // OS/2 yStrikeoutPosition 20 units = 5 pixels above the baseline: row 14 - 5 = 9.
  EXPECT_EQ(cell[9], "########");
  EXPECT_EQ(cell[8], "......#.");
  EXPECT_EQ(cell[13], "..###.#.");
  EXPECT_EQ(cell[15], "........");
}

TEST(FontCanvas, UnifontSyntheticBoldAndItalicFromOutlines) {
  auto bold = OpenFile(kUnifont, 16, [](FontSpec& fontSpec) { fontSpec.weight = 700; });
  EXPECT_EQ(bold->MeasureCharacter(u'a').cx, 9u);  // one pixel of emboldening at 16
  // Every stroke one pixel thicker, to the right: Unifont's 3c 42 02 3e become 3e 63 03 3f.
  Picture boldA = DrawCell(*bold, u'a');
  EXPECT_EQ(boldA[6], "..#####..");
  EXPECT_EQ(boldA[7], ".##...##.");
  EXPECT_EQ(boldA[8], "......##.");
  EXPECT_EQ(boldA[9], "..######.");

  auto italic = OpenFile(kUnifont, 16, [](FontSpec& fontSpec) { fontSpec.italic = true; });
  EXPECT_EQ(italic->MeasureCharacter(u'a').cx, 8u);
  Picture slanted = DrawCell(*italic, u'中');
  Picture upright = DrawCell(*OpenFile(kUnifont, 16), u'中');
  // The vertical stroke's top leans right of its foot.
  EXPECT_GT(slanted[0].find('#'), slanted[15].find('#'));
  EXPECT_NE(slanted, upright);
}

TEST(FontCanvas, ScalableCellIsTheRequestedHeightExactly) {
  // Unifont's usWinAscent + usWinDescent is its em: 16 pixels at an em of 16, 32 at 32.
  for (int height : {8, 16, 24, 32, 100}) {
    auto canvas = OpenFile(kUnifont, height);
    EXPECT_EQ(canvas->MeasureCharacter(u'中').cy, static_cast<uint32_t>(height)) << height;
    EXPECT_EQ(canvas->MeasureCharacter(u'a').cy, static_cast<uint32_t>(height)) << height;
  }
  EXPECT_EQ(OpenFile(kUnifont, 32)->MeasureCharacter(u'中').cx, 32u);
  // AR PL UMing: usWinAscent 917 + usWinDescent 155 = 1072 units fill the cell, so its em of
  // 1024 units is 16 * 1024 / 1072 = 15.3, drawn at 15 pixels, while the cell stays 16 high.
  auto uming = OpenFile(kUming, 16);
  EXPECT_EQ(uming->ResolvedFamily(), u"AR PL UMing CN");  // face 0 of the collection
  EXPECT_EQ(uming->MeasureCharacter(u'中').cy, 16u);
  EXPECT_EQ(uming->MeasureCharacter(u'中').cx, 15u);
}

TEST(FontCanvas, CompressedPcfFontIsReadLikeABdfFont) {
  // The X11 "fixed" 5x7 (Debian's xfonts-base): one 7-row strike, ascent 6, descent 1.
  auto canvas = OpenFile("/usr/share/fonts/X11/misc/5x7.pcf.gz", 16);
  EXPECT_EQ(canvas->ResolvedFamily(), u"Fixed");
  EXPECT_EQ(DrawCell(*canvas, u'A'),
            (Picture{".##..", "#..#.", "#..#.", "####.", "#..#.", "#..#.", "....."}));
  // "g" hangs into the descent row.
  EXPECT_EQ(DrawCell(*canvas, u'g'),
            (Picture{".....", ".....", ".###.", "#..#.", ".##..", "#....", ".###."}));
}

TEST(FontCanvas, BadFontFilesAreUserErrors) {
  struct Case {
    std::string path;
    std::string reason;
  };
  const Case cases[] = {
      {TestFont("no_such_font.bdf"), "No such file or directory"},
      {TestFont(""), "it is a directory"},
      {std::string(PINDOT_TEST_DIR) + "/CMakeLists.txt", "unknown file format"},
  };
  for (const Case& c : cases) {
    try {
      OpenFile(c.path);
      ADD_FAILURE() << "no error for " << c.path;
    } catch (const UserError& error) {
      std::string message = error.what();
      EXPECT_NE(message.find("cannot open font file \"" + c.path + "\""), std::string::npos)
          << message;
      EXPECT_NE(message.find(c.reason), std::string::npos) << message;
    }
  }
  EXPECT_THROW(OpenFile(TestFont("grid8.bdf"), 0), UserError);
  EXPECT_THROW(OpenFile(TestFont("grid8.bdf"), -4), UserError);
}

}  // namespace
}  // namespace pindot
