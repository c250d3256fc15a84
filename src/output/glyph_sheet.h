// A PNG picture of every entry of both tables with its code under it, for reviewing a font by eye.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace pindot {

// One table entry.
struct SheetCell {
  uint16_t code = 0;               // its key, printed under it in hexadecimal ("4e2d")
  const uint8_t* bytes = nullptr;  // its rows as the table holds them: ((width + 7) >> 3) bytes a
                                   // row, `height` rows, most significant bit = leftmost pixel (at
                                   // more bits per pixel, `width` levels a row); null only when
                                   // that comes to no bytes (otherwise std::invalid_argument)
  bool overflows = false;          // its glyph was wider than the table's cell and was cut
  bool ansi = false;     // the key is ANSI bytes: printed as they stand in text, B0 A1 as "b0a1"
                         // for the key 0xa1b0, a single byte as two digits ("41")
  bool missing = false;  // drawn as the face's missing-glyph box
};

struct SheetTable {
  uint32_t width = 0;   // the table's cell width in pixels
  uint32_t height = 0;  // the cell height
  std::vector<SheetCell> cells;
  uint8_t bpp = 1;             // 2, 4, 8: cells hold a level a byte, drawn in as many greys
  const char* kind = nullptr;  // the title's first word instead of "thin" or "wide"
};

// The sheet: a grey page, 8 pixels of border. Each non-empty table is a block: a title line ("thin
// 8x16": kind, cell width x height) and then its cells in table order, left to right, row by row.
// A cell is drawn white with black ink, each pixel a zoom x zoom square, and has its code under it
// as four hexadecimal digits (two for a single ANSI byte). A cut glyph gets a red frame 2 pixels
// thick around its cell, a glyph drawn as the face's missing-glyph box a blue one. Titles
// and codes use a font of 3 x 5 pixel glyphs drawn 2 x 2 (a code is 30 x 10 pixels). A row of
// cells holds 32, 16 or 8 of them: the most that keep it within 1600 pixels, at least 8.

// The zoom for tables whose taller cell is `height` pixels high: the least that makes the cell at
// least 32 pixels high, at most 8 (8 for height 0). 16 -> 2, 12 -> 3, 5 -> 7, 40 -> 1.
uint32_t GlyphSheetZoom(uint32_t height);

// Receives the PNG file's bytes in order as they are made. It may throw to stop the writing; the
// exception then comes out of WriteGlyphSheet as it was thrown.
using GlyphSheetSink = std::function<void(const uint8_t* bytes, size_t count)>;

// Draws the sheet row by row into the sink, so memory stays one picture row however many entries
// there are. Thin block first, then wide; an empty table is left out (with both empty, a blank
// page). Both tables are drawn at one zoom, that of the taller cell. A picture too large for PNG or
// a failure inside libpng is a UserError.
// `zoom` 0 is GlyphSheetZoom's.
void WriteGlyphSheet(const SheetTable& thin, const SheetTable& wide, const GlyphSheetSink& sink,
                     uint32_t zoom = 0);

// The PNG file's bytes.
std::string EncodeGlyphSheet(const SheetTable& thin, const SheetTable& wide, uint32_t zoom = 0);

// The sheet as a picture of palette indices (0 page, 1 paper, 2 ink, 3 cut mark, 4 missing mark;
// kGlyphSheetColours gives their colours), drawn a row at a time, for a front end that shows it
// on screen. The tables must outlive the picture. `zoom` 0 picks GlyphSheetZoom's.
class GlyphSheetPicture {
 public:
  GlyphSheetPicture(const SheetTable& thin, const SheetTable& wide, uint32_t zoom = 0);
  ~GlyphSheetPicture();
  GlyphSheetPicture(GlyphSheetPicture&&) noexcept;
  GlyphSheetPicture& operator=(GlyphSheetPicture&&) noexcept;

  uint64_t Width() const;
  uint64_t Height() const;
  uint32_t Zoom() const;
  // Row y (below Height()) into `row`, Width() bytes.
  void PaintRow(uint64_t y, uint8_t* row) const;

  // The entry whose place (its cell, frame and code) holds the point.
  struct Hit {
    bool wide = false;
    size_t index = 0;  // in its table
  };
  std::optional<Hit> CellAt(uint64_t x, uint64_t y) const;

 private:
  struct Layout;
  std::unique_ptr<Layout> layout_;
};

// 0xRRGGBB of the page, the paper, the ink, the cut mark and the missing mark.
extern const uint32_t kGlyphSheetColours[5];

struct InkFont;
// The sheet of a font with a box per glyph: one block titled by its depth ("4bit 12x16"), each
// glyph in a cell that holds every glyph at its place from the pen and the baseline, in grey above
// 1 bit per pixel.
std::string EncodeGlyphSheet(const InkFont& font, std::vector<char16_t> missing = {},
                             uint32_t zoom = 0);

class Generator;
// Both tables of the generator's last run as the sheet draws them: every entry as its table holds
// it, labelled with its key (Unicode or ANSI, as the tables are ordered), cut glyphs and the
// `missing` characters (those the face drew as its missing-glyph box) marked. The cells point
// into `bytes`.
struct GeneratorSheet {
  SheetTable thin;
  SheetTable wide;
  std::vector<uint8_t> bytes[2];  // thin, wide: every entry's cell, one after the other
};
std::unique_ptr<GeneratorSheet> MakeGeneratorSheet(const Generator& generator,
                                                   std::vector<char16_t> missing = {});

// The sheet of the generator's last run (MakeGeneratorSheet) as a PNG file.
std::string EncodeGlyphSheet(const Generator& generator, std::vector<char16_t> missing = {},
                             uint32_t zoom = 0);

}  // namespace pindot
