#include "output/glyph_sheet.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <map>
#include <stdexcept>
#include <tuple>

#include "ascii_canvas.h"
#include "base/user_error.h"
#include "glyph/generator.h"
#include "output/ink_font.h"

namespace pindot {
namespace {

using Rows = std::vector<std::string>;
using ::testing::StrEq;
using ::testing::ThrowsMessage;

// The sheet read back with libpng, a letter a pixel: '#' ink (black), '.' paper (white), ' ' page
// (grey c8c8c8), 'R' the frame of a cut glyph (e01010), 'B' that of a missing one (1060e0), and
// the letters of `greys` for those greys (R = G = B); '?' anything else.
Rows Decode(const std::string& png, const std::map<uint8_t, char>& greys = {}) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  EXPECT_TRUE(png_image_begin_read_from_memory(&image, png.data(), png.size())) << image.message;
  image.format = PNG_FORMAT_RGB;
  std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
  EXPECT_TRUE(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) << image.message;
  std::map<uint32_t, char> letters{
      {0x000000, '#'}, {0xffffff, '.'}, {0xc8c8c8, ' '}, {0xe01010, 'R'}, {0x1060e0, 'B'}};
  for (const auto& [grey, letter] : greys) letters[grey * 0x010101u] = letter;
  Rows rows(image.height, std::string(image.width, '?'));
  for (size_t i = 0; i < size_t{image.width} * image.height; ++i) {
    const auto found = letters.find(rgb[3 * i] << 16 | rgb[3 * i + 1] << 8 | rgb[3 * i + 2]);
    if (found != letters.end()) rows[i / image.width][i % image.width] = found->second;
  }
  return rows;
}

Rows Region(const Rows& picture, size_t x, size_t y, size_t width, size_t height) {
  Rows region;
  for (size_t row = y; row < y + height; ++row) region.push_back(picture[row].substr(x, width));
  return region;
}

// Each letter drawn `scale` x `scale`; '.' becomes `background`.
Rows Zoom(const Rows& rows, size_t scale, char background = '.') {
  Rows zoomed;
  for (const std::string& row : rows) {
    std::string line;
    for (char letter : row) line.append(scale, letter == '.' ? background : letter);
    zoomed.insert(zoomed.end(), scale, line);
  }
  return zoomed;
}

// A cell's place: the cell with 2 pixels of `edge` (the frame's colour or the page's) around it.
Rows Framed(Rows cell, char edge) {
  for (std::string& row : cell) row = std::string(2, edge) + row + std::string(2, edge);
  cell.insert(cell.begin(), 2, std::string(cell[0].size(), edge));
  cell.insert(cell.end(), 2, std::string(cell[0].size(), edge));
  return cell;
}

// thin, 4 x 3, one byte a row:   wide, 10 x 3, two bytes a row:
//   .##.  -> 0x60                  ....##....  -> 0x0c, 0x00
//   #..#  -> 0x9f (the low four    ##########  -> 0xff, 0xc0
//   ####  -> 0xf0  bits are past   #...##...#  -> 0x8c, 0x40
//                  the width)
//   #...  -> 0x80, ###. -> 0xe0, ###. -> 0xe0 (cut to fit)
const uint8_t kA[] = {0x60, 0x9f, 0xf0};
const uint8_t kB[] = {0x80, 0xe0, 0xe0};
const uint8_t kMiddle[] = {0x0c, 0x00, 0xff, 0xc0, 0x8c, 0x40};
// b has a one-byte ANSI key; the wide cell is drawn as the missing-glyph box, its ANSI key 0x4e2d
// the bytes 2D 4E.
const SheetTable kThin{4, 3, {{0x0041, kA, false, false, false}, {0x0062, kB, true, true, false}}};
const SheetTable kWide{10, 3, {{0x4e2d, kMiddle, false, true, true}}};

TEST(GlyphSheet, ZoomMakesCellsAtLeast32PixelsHigh) {
  const std::pair<uint32_t, uint32_t> cases[] = {{16, 2},   {12, 3}, {31, 2}, {32, 1}, {5, 7},
                                                 {1000, 1}, {4, 8},  {3, 8},  {1, 8},  {0, 8}};
  for (const auto& [height, zoom] : cases) EXPECT_EQ(GlyphSheetZoom(height), zoom) << height;
}

// The sheet of both tables, by hand. Zoom 8 (32 / 3 rounded up is 11, more than 8): thin cells
// 32 x 24, the wide one 80 x 24, each in a place as wide as its frame (2 around) or its code (30),
// so 36 and 84.
//   y   8..17 "thin 4x3"  26..27 frame  28..51 cells  52..53 frame  58..67 codes
//       68..91 blank      92..101 "wide 10x3"  112..135 cell  142..151 code   (8 below: 160)
//   x   thin: place 8..43, cell 10..41, code 11..40; next place 52..87, cell 54..85
//       wide: place 8..91, cell 10..89, code 35..64                          (8 right: 100)
//       b's code, two digits, 63..76
TEST(GlyphSheet, WorkedExampleDrawsEachPartInItsPlace) {
  const Rows sheet = Decode(EncodeGlyphSheet(kThin, kWide));
  const struct {
    const char* name;
    size_t x, y;
    Rows expected;
  } cases[] = {
      // A's padding bits would show in its frame's place on the right.
      {"PlaceOfA", 8, 26, Framed(Zoom({".##.", "#..#", "####"}, 8), ' ')},
      {"PlaceOfB", 52, 26, Framed(Zoom({"#...", "###.", "###."}, 8), 'R')},
      {"WideCell", 10, 112, Zoom({"....##....", "##########", "#...##...#"}, 8)},
      {"CodeOfA", 11, 58,
       Zoom({"###.###.#.#..#.", "#.#.#.#.#.#.##.", "#.#.#.#.###..#.", "#.#.#.#...#..#.",
             "###.###...#.###"},
            2, ' ')},
      {"CodeOfB", 63, 58, Zoom({"###.###", "#.....#", "###.###", "#.#.#..", "###.###"}, 2, ' ')},
      {"FrameOfWide", 8, 110, Rows(2, std::string(84, 'B'))},
      {"CodeOfWide", 35, 142,
       Zoom({"###...#.#.#..#.", "..#..##.#.#.#.#", "###.#.#.###.###", "#...#.#...#.#..",
             "###..##...#..##"},
            2, ' ')},
      {"BetweenBlocks", 0, 68, Rows(24, std::string(100, ' '))},
  };
  ASSERT_EQ(sheet.size(), 160u);
  ASSERT_EQ(sheet[0].size(), 100u);
  for (const auto& c : cases) {
    const Rows& expected = c.expected;
    EXPECT_EQ(Region(sheet, c.x, c.y, expected[0].size(), expected.size()), expected) << c.name;
  }
}

// A glyph its table's cell cuts, wider or taller, is framed red; one that fits is not. "w" is 3
// pixels wide and 2 high, too wide for the thin cell of every width below, so it is wide.
TEST(GlyphSheet, FramesEveryGlyphItsCellCuts) {
  testing::AsciiCanvas canvas(2);
  canvas.SetGlyph(u'w', {"#.#", "###"});
  const std::tuple<const char*, uint32_t, uint32_t, bool> cases[] = {
      {"fits", 4, 2, false}, {"taller than its cell", 4, 1, true}, {"wider", 2, 2, true}};
  for (const auto& [name, width, height, framed] : cases) {
    Generator generator{CodePage(1252)};
    generator.Settings().width = width;
    generator.Settings().height = height;
    NoProgress progress;
    generator.Generate(u"w", canvas, progress);
    const Rows sheet = Decode(EncodeGlyphSheet(generator));
    const bool red = std::any_of(sheet.begin(), sheet.end(), [](const std::string& row) {
      return row.find('R') != std::string::npos;
    });
    EXPECT_EQ(red, framed) << name;
  }
}

TEST(GlyphSheet, SizeFollowsTablesAndColumns) {
  const std::vector<uint8_t> zeros(13 * 100);
  const auto table = [&zeros](uint32_t width, uint32_t height, size_t count) {
    return SheetTable{width, height,
                      std::vector<SheetCell>(count, {0x20, zeros.data(), false, false, false})};
  };
  const struct {
    const char* name;
    SheetTable thin, wide;
    uint32_t width, height;
    uint32_t zoom = 0;
  } cases[] = {
      {"BothEmpty", {}, {}, 16, 16},  // the margins alone
      {"ThinLeftOut", {}, kWide, 100, 8 + 60 + 8},
      // zoom 8, place 30 (the code), title "thin 0x3" 62; block 10 + 8 + 24 + 4 + 4 + 10
      {"WidthZero", table(0, 3, 1), {}, 8 + 62 + 8, 8 + 60 + 8},
      // zoom 8: place 64 + 4; block 10 + 8 + 0 + 4 + 4 + 10
      {"HeightZero",
       {},
       SheetTable{8, 0, {{0x41, nullptr, false, false, false}}},
       8 + 68 + 8,
       8 + 36 + 8},
      // places 36 wide, 50 high; 32 a row: 32 x 44 - 8 = 1400; 2 rows: 18 + 2 x 58 - 8
      {"ThirtyTwoColumns", table(16, 16, 33), {}, 8 + 1400 + 8, 8 + 126 + 8},
      // places 104 x 118; 16 x 112 - 8 > 1600, 8 x 112 - 8 = 888; 2 rows: 18 + 2 x 126 - 8
      {"EightColumns", table(100, 100, 9), {}, 8 + 888 + 8, 8 + 262 + 8},
      // zoom 3 asked for: places 52 x 66; 16 x 60 - 8 = 952; 3 rows: 18 + 3 x 74 - 8
      {"ZoomGiven", table(16, 16, 33), {}, 8 + 952 + 8, 8 + 232 + 8, 3},
      // past libpng's default limit of a million rows; title "thin 0x1000000" 110
      {"MillionRows", table(0, 1000000, 1), {}, 8 + 110 + 8, 8 + 1000036 + 8},
  };
  for (const auto& c : cases) {
    const std::string png = EncodeGlyphSheet(c.thin, c.wide, c.zoom);
    ASSERT_GE(png.size(), 24u) << c.name;
    // The header chunk gives both sides, big-endian, from byte 16 on.
    const auto side = [&png](size_t at) {
      return uint32_t{uint8_t(png[at])} << 24 | uint8_t(png[at + 1]) << 16 |
             uint8_t(png[at + 2]) << 8 | uint8_t(png[at + 3]);
    };
    EXPECT_EQ(side(16), c.width) << c.name;
    EXPECT_EQ(side(20), c.height) << c.name;
  }
}

TEST(GlyphSheet, PictureTooLargeForPngIsRefused) {
  const SheetTable tall{0, 3000000000u, {{0x20, nullptr, false, false, false}}};
  EXPECT_THAT([&] { EncodeGlyphSheet(tall, {}); },
              ThrowsMessage<UserError>(StrEq(
                  "cannot draw the glyph sheet: 150 x 3000000052 pixels is more than a PNG picture "
                  "holds (2147483647 a side)")));
}

// The writer leaves libpng by its long jump and throws the sink's own error, as it was.
TEST(GlyphSheet, SinkErrorStopsTheWriteAndComesOut) {
  size_t calls = 0;
  const auto failingSink = [&calls](const uint8_t*, size_t) {
    if (++calls == 2) throw std::runtime_error("disk full");
  };
  EXPECT_THAT([&] { WriteGlyphSheet(kThin, kWide, failingSink); },
              ThrowsMessage<std::runtime_error>(StrEq("disk full")));
  EXPECT_EQ(calls, 2u);
}

// A grey glyph's levels come out as greys from the paper's white to the ink's black, at every
// depth: 8 bits a pixel too, whose 256 levels share the palette with the sheet's own colours.
TEST(GlyphSheet, GreyLevelsRunFromPaperToInk) {
  const struct {
    uint8_t bpp;
    std::vector<uint8_t> levels, greys;  // the greys drawn 'a' and 'b'
  } cases[] = {{2, {0, 1, 2, 3}, {170, 85}},
               {4, {0, 1, 8, 15}, {238, 119}},
               {8, {0, 1, 128, 255}, {254, 128}}};
  for (const auto& c : cases) {
    InkFont font;
    font.bpp = c.bpp;
    font.lines.ascent = 1;
    font.glyphs.push_back(InkGlyph{u'a', 4, 0, 1, 4, 1, c.bpp, c.levels});
    const Rows sheet =
        Decode(EncodeGlyphSheet(font, {}, 1), {{c.greys[0], 'a'}, {c.greys[1], 'b'}});
    EXPECT_TRUE(
        std::any_of(sheet.begin(), sheet.end(),
                    [](const std::string& row) { return row.find(".ab#") != std::string::npos; }))
        << int{c.bpp} << " bits a pixel";
  }
}

}  // namespace
}  // namespace pindot
