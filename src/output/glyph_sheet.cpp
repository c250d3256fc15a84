#include "output/glyph_sheet.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <exception>
#include <iterator>
#include <stdexcept>
#include <string_view>
#include <utility>

#include "base/user_error.h"
#include "glyph/fitted_entries.h"
#include "glyph/generator.h"
#include "output/ink_font.h"
#include "output/lvgl_font.h"
#include "text/number_text.h"

namespace pindot {
namespace {

constexpr uint32_t kMinCellHeight = 32;
constexpr uint32_t kMaxZoom = 8;

// Sizes in picture pixels.
constexpr uint64_t kMargin = 8;
constexpr uint64_t kTextScale = 2;
constexpr uint64_t kTextGlyphWidth = 3;
constexpr uint64_t kTextGlyphHeight = 5;
constexpr uint64_t kTextAdvance = (kTextGlyphWidth + 1) * kTextScale;
constexpr uint64_t kTextHeight = kTextGlyphHeight * kTextScale;
constexpr uint64_t kFrame = 2;      // kept free around every cell, red around a cut one
constexpr uint64_t kLabelGap = 4;   // between the frame's place and the code
constexpr uint64_t kColumnGap = 8;  // between two cells' places side by side
constexpr uint64_t kRowGap = 8;     // between a code and the cells under it
constexpr uint64_t kTitleGap = 8;   // between a title and its first row of cells
constexpr uint64_t kBlockGap = 24;  // between the thin block and the wide one
constexpr uint64_t kTargetWidth = 1600;
constexpr uint64_t kMaxColumns = 32;
constexpr uint64_t kMinColumns = 8;
constexpr uint64_t kPngMaxSide = PNG_UINT_31_MAX;

}  // namespace

const uint32_t kGlyphSheetColours[5] = {0xc8c8c8, 0xffffff, 0x000000, 0xe01010, 0x1060e0};

namespace {

// Palette indices into kGlyphSheetColours.
enum Colour : uint8_t { kPage = 0, kPaper = 1, kInk = 2, kMark = 3, kMissingMark = 4 };
// A sheet in grey writes 8 bits a pixel, its greys from palette index kGrey on: one for each
// level at 2 and 4 bits a pixel, and at 8 bits the 251 that a palette of 256 leaves after the
// colours, levels that fall between two of them shown as the nearer.
const uint8_t kGrey = std::size(kGlyphSheetColours);
constexpr unsigned kMostGreys = 256 - kGrey;

unsigned GreyCount(unsigned bpp) {
  return std::min((1u << bpp), kMostGreys);
}

uint8_t GreyIndex(uint8_t level, unsigned bpp) {
  const unsigned top = (1u << bpp) - 1;
  return static_cast<uint8_t>(kGrey + (level * (GreyCount(bpp) - 1) + top / 2) / top);
}

// The characters that codes and titles need, drawn for the sheet: 3 x 5, top row first.
struct TextGlyph {
  char character;
  const char* rows[kTextGlyphHeight];
};
constexpr TextGlyph kTextFont[] = {
    {'0', {"###", "#.#", "#.#", "#.#", "###"}}, {'1', {".#.", "##.", ".#.", ".#.", "###"}},
    {'2', {"###", "..#", "###", "#..", "###"}}, {'3', {"###", "..#", ".##", "..#", "###"}},
    {'4', {"#.#", "#.#", "###", "..#", "..#"}}, {'5', {"###", "#..", "###", "..#", "###"}},
    {'6', {"###", "#..", "###", "#.#", "###"}}, {'7', {"###", "..#", "..#", ".#.", ".#."}},
    {'8', {"###", "#.#", "###", "#.#", "###"}}, {'9', {"###", "#.#", "###", "..#", "###"}},
    {'a', {"...", "##.", ".##", "#.#", ".##"}}, {'b', {"#..", "##.", "#.#", "#.#", "##."}},
    {'c', {"...", ".##", "#..", "#..", ".##"}}, {'d', {"..#", ".##", "#.#", "#.#", ".##"}},
    {'e', {".#.", "#.#", "###", "#..", ".##"}}, {'f', {"..#", ".#.", "###", ".#.", ".#."}},
    {'x', {"...", "...", "#.#", ".#.", "#.#"}}, {'t', {".#.", "###", ".#.", ".#.", ".##"}},
    {'h', {"#..", "##.", "#.#", "#.#", "#.#"}}, {'i', {".#.", "...", "##.", ".#.", "###"}},
    {'n', {"...", "##.", "#.#", "#.#", "#.#"}}, {'w', {"...", "#.#", "#.#", "###", "#.#"}},
};

const TextGlyph* FindTextGlyph(char character) {
  for (const TextGlyph& glyph : kTextFont)
    if (glyph.character == character) return &glyph;
  return nullptr;  // the space, and nothing else is asked for
}

uint64_t TextWidth(size_t length) {
  return length == 0 ? 0 : length * kTextAdvance - kTextScale;
}

void Fill(uint8_t* row, uint64_t x, uint64_t count, Colour colour) {
  std::memset(row + x, colour, count);
}

// One picture row of `text`: row `fontRow` (0 to 4) of its glyphs, from x on, in ink.
void PaintTextRow(uint8_t* row, uint64_t x, std::string_view text, uint64_t fontRow) {
  for (char character : text) {
    if (const TextGlyph* glyph = FindTextGlyph(character)) {
      for (uint64_t column = 0; column < kTextGlyphWidth; ++column)
        if (glyph->rows[fontRow][column] == '#')
          Fill(row, x + column * kTextScale, kTextScale, kInk);
    }
    x += kTextAdvance;
  }
}

// Where one table's block lies and how its cells are placed. A cell's place is as wide as its
// frame or its code, whichever is wider; the frame and the code are centred in it.
struct Block {
  const SheetTable* table = nullptr;
  std::string title;
  uint64_t top = 0;  // picture row of the title
  uint64_t cellWidth = 0;
  uint64_t cellHeight = 0;
  uint64_t rowBytes = 0;
  uint64_t placeWidth = 0;
  uint64_t placeHeight = 0;
  uint64_t columns = 0;
  uint64_t width = 0;
  uint64_t height = 0;
};

struct Sheet {
  uint64_t zoom = 1;
  uint8_t bpp = 1;  // the deeper table's
  Block blocks[2];
  size_t blockCount = 0;
  uint64_t width = 0;
  uint64_t height = 0;
};

Block LayOutBlock(const SheetTable& table, const char* kind, uint64_t zoom, uint64_t top) {
  Block block;
  block.table = &table;
  block.title = std::string(table.kind ? table.kind : kind) + " " + std::to_string(table.width) +
                "x" + std::to_string(table.height);
  block.top = top;
  block.cellWidth = table.width * zoom;
  block.cellHeight = table.height * zoom;
  block.rowBytes = table.bpp > 1 ? table.width : RowBytesOf(table.width);
  const uint64_t frameWidth = block.cellWidth + 2 * kFrame;
  block.placeWidth = std::max(frameWidth, TextWidth(4));
  block.placeHeight = block.cellHeight + 2 * kFrame + kLabelGap + kTextHeight;
  const uint64_t pitch = block.placeWidth + kColumnGap;
  block.columns = kMaxColumns;
  while (block.columns > kMinColumns && block.columns * pitch - kColumnGap > kTargetWidth)
    block.columns /= 2;
  const uint64_t count = table.cells.size();
  const uint64_t used = std::min<uint64_t>(block.columns, count);
  const uint64_t rows = (count + block.columns - 1) / block.columns;
  block.width = std::max(used * pitch - kColumnGap, TextWidth(block.title.size()));
  block.height = kTextHeight + kTitleGap + rows * (block.placeHeight + kRowGap) - kRowGap;
  if (block.rowBytes * table.height != 0) {
    for (const SheetCell& cell : table.cells)
      if (cell.bytes == nullptr)
        throw std::invalid_argument("glyph sheet: a cell of a " + block.title +
                                    " table has no bytes");
  }
  return block;
}

Sheet LayOutSheet(const SheetTable& thin, const SheetTable& wide, uint32_t zoom) {
  Sheet sheet;
  uint32_t tallest = 0;
  for (const SheetTable* table : {&thin, &wide})
    if (!table->cells.empty()) tallest = std::max(tallest, table->height);
  sheet.zoom = zoom != 0 ? zoom : GlyphSheetZoom(tallest);
  uint64_t top = kMargin;
  uint64_t widest = 0;
  for (const auto& [table, kind] : {std::pair{&thin, "thin"}, std::pair{&wide, "wide"}}) {
    if (table->cells.empty()) continue;
    if (sheet.blockCount != 0) top += kBlockGap;
    const Block& block = sheet.blocks[sheet.blockCount++] =
        LayOutBlock(*table, kind, sheet.zoom, top);
    top += block.height;
    widest = std::max(widest, block.width);
    sheet.bpp = std::max(sheet.bpp, table->bpp);
  }
  sheet.width = kMargin + widest + kMargin;
  sheet.height = top + kMargin;
  return sheet;
}

// Row `y` of a cell's place, whose left edge is at x.
void PaintPlaceRow(const Block& block, const SheetCell& cell, uint64_t zoom, uint64_t x, uint64_t y,
                   uint8_t* row) {
  const uint64_t frameLeft = x + (block.placeWidth - block.cellWidth - 2 * kFrame) / 2;
  const uint64_t cellLeft = frameLeft + kFrame;
  const bool inCell = y >= kFrame && y < kFrame + block.cellHeight;
  if ((cell.overflows || cell.missing) && y < block.cellHeight + 2 * kFrame) {
    const Colour frame = cell.overflows ? kMark : kMissingMark;
    if (inCell) {
      Fill(row, frameLeft, kFrame, frame);
      Fill(row, cellLeft + block.cellWidth, kFrame, frame);
    } else {
      Fill(row, frameLeft, block.cellWidth + 2 * kFrame, frame);
    }
  }
  if (inCell) {
    const uint8_t* bits = cell.bytes + (y - kFrame) / zoom * block.rowBytes;
    for (uint64_t column = 0; column < block.table->width; ++column) {
      if (block.table->bpp > 1) {
        const uint8_t level = bits[column];
        std::memset(row + cellLeft + column * zoom,
                    level == 0 ? uint8_t{kPaper} : GreyIndex(level, block.table->bpp), zoom);
        continue;
      }
      const bool ink = (bits[column >> 3] & (0x80 >> (column & 7))) != 0;
      Fill(row, cellLeft + column * zoom, zoom, ink ? kInk : kPaper);
    }
  }
  const uint64_t labelTop = block.cellHeight + 2 * kFrame + kLabelGap;
  if (y >= labelTop) {
    // An ANSI key holds the first byte low: its bytes are shown in the order text holds them.
    const bool oneByte = cell.ansi && cell.code < 0x100;
    const uint16_t shown =
        cell.ansi && !oneByte ? static_cast<uint16_t>(cell.code << 8 | cell.code >> 8) : cell.code;
    const char digits[4] = {kHexDigits[shown >> 12], kHexDigits[(shown >> 8) & 0xf],
                            kHexDigits[(shown >> 4) & 0xf], kHexDigits[shown & 0xf]};
    const std::string_view label =
        oneByte ? std::string_view(digits + 2, 2) : std::string_view(digits, 4);
    PaintTextRow(row, x + (block.placeWidth - TextWidth(label.size())) / 2, label,
                 (y - labelTop) / kTextScale);
  }
}

// Picture row y, from nothing but the layout and the tables: no row is kept.
void PaintRow(const Sheet& sheet, uint64_t y, uint8_t* row) {
  Fill(row, 0, sheet.width, kPage);
  for (size_t index = 0; index < sheet.blockCount; ++index) {
    const Block& block = sheet.blocks[index];
    if (y < block.top || y >= block.top + block.height) continue;
    const uint64_t inBlock = y - block.top;
    if (inBlock < kTextHeight) {
      PaintTextRow(row, kMargin, block.title, inBlock / kTextScale);
      return;
    }
    if (inBlock < kTextHeight + kTitleGap) return;
    const uint64_t rowPitch = block.placeHeight + kRowGap;
    const uint64_t placeRow = (inBlock - kTextHeight - kTitleGap) / rowPitch;
    const uint64_t inPlace = (inBlock - kTextHeight - kTitleGap) % rowPitch;
    if (inPlace >= block.placeHeight) return;
    const std::vector<SheetCell>& cells = block.table->cells;
    const uint64_t first = placeRow * block.columns;
    const uint64_t end = std::min<uint64_t>(first + block.columns, cells.size());
    for (uint64_t i = first; i < end; ++i) {
      const uint64_t x = kMargin + (i - first) * (block.placeWidth + kColumnGap);
      PaintPlaceRow(block, cells[i], sheet.zoom, x, inPlace, row);
    }
    return;
  }
}

// What libpng's callbacks share with the writer.
struct PngOutput {
  const GlyphSheetSink* sink = nullptr;
  std::exception_ptr sinkError;  // what the sink threw, carried past libpng
  char message[256] = "";        // libpng's own reason for failing
};

[[noreturn]] void OnPngError(png_structp png, png_const_charp message) {
  auto* output = static_cast<PngOutput*>(png_get_error_ptr(png));
  std::snprintf(output->message, sizeof output->message, "%s", message);
  png_longjmp(png, 1);
}

// Warnings are no failure; libpng would otherwise print them.
void OnPngWarning(png_structp, png_const_charp) {}

// The sink's exception is caught here and the jump made only after the handler has ended, so no
// exception is ever thrown through libpng's frames.
void OnPngWrite(png_structp png, png_bytep bytes, size_t count) {
  auto* output = static_cast<PngOutput*>(png_get_io_ptr(png));
  try {
    (*output->sink)(bytes, count);
  } catch (...) {
    output->sinkError = std::current_exception();
  }
  if (output->sinkError) png_error(png, "the output stopped");
}

void OnPngFlush(png_structp) {}

// libpng reports a failure by a long jump back into this function. Nothing here has a destructor,
// so the jump skips none; the caller owns the row buffer and the output. Returns false on failure
// with output.message or output.sinkError set.
bool RunPng(const Sheet& sheet, uint8_t* row, PngOutput& output) {
  png_structp png =
      png_create_write_struct(PNG_LIBPNG_VER_STRING, &output, OnPngError, OnPngWarning);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (info == nullptr) {
    png_destroy_write_struct(&png, nullptr);
    std::snprintf(output.message, sizeof output.message, "out of memory");
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, &output, OnPngWrite, OnPngFlush);
  // libpng refuses to write more than a million rows unless told otherwise; a sheet of many large
  // cells is taller than that.
  png_set_user_limits(png, kPngMaxSide, kPngMaxSide);
  // Filtering gains nothing on a few flat colours and only costs time. zlib's level 3 against its
  // default 6: 20,902 cells of 16 x 16 take 0.17 s instead of 0.43 s, for 1.5 MB instead of 1.3.
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
  png_set_compression_level(png, 3);
  // The colours, then greys from white (level 0) to black (the top level).
  // A fixed array, not a vector: an error in libpng jumps out of this function past destructors.
  png_color palette[256];
  int colours = 0;
  for (const uint32_t colour : kGlyphSheetColours) {
    palette[colours++] =
        png_color{static_cast<png_byte>(colour >> 16), static_cast<png_byte>(colour >> 8),
                  static_cast<png_byte>(colour)};
  }
  const unsigned greys = GreyCount(sheet.bpp);
  for (unsigned index = 0; sheet.bpp > 1 && index < greys; ++index) {
    const auto grey = static_cast<png_byte>(255 - index * 255 / (greys - 1));
    palette[colours++] = png_color{grey, grey, grey};
  }
  png_set_IHDR(png, info, static_cast<png_uint_32>(sheet.width),
               static_cast<png_uint_32>(sheet.height), sheet.bpp > 1 ? 8 : 4,
               PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE,
               PNG_FILTER_TYPE_BASE);
  png_set_PLTE(png, info, palette, colours);
  png_write_info(png, info);
  png_set_packing(png);  // rows are given one byte a pixel
  for (uint64_t y = 0; y < sheet.height; ++y) {
    PaintRow(sheet, y, row);
    png_write_row(png, row);
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

uint32_t GlyphSheetZoom(uint32_t height) {
  if (height == 0) return kMaxZoom;
  return std::clamp<uint32_t>((kMinCellHeight + height - 1) / height, 1, kMaxZoom);
}

void WriteGlyphSheet(const SheetTable& thin, const SheetTable& wide, const GlyphSheetSink& sink,
                     uint32_t zoom) {
  const Sheet sheet = LayOutSheet(thin, wide, zoom);
  if (sheet.width > kPngMaxSide || sheet.height > kPngMaxSide)
    throw UserError("cannot draw the glyph sheet: " + std::to_string(sheet.width) + " x " +
                    std::to_string(sheet.height) + " pixels is more than a PNG picture holds (" +
                    std::to_string(kPngMaxSide) + " a side)");
  std::vector<uint8_t> row(sheet.width);
  PngOutput output;
  output.sink = &sink;
  if (RunPng(sheet, row.data(), output)) return;
  if (output.sinkError) std::rethrow_exception(output.sinkError);
  throw UserError(std::string("cannot write the glyph sheet: ") + output.message);
}

std::string EncodeGlyphSheet(const SheetTable& thin, const SheetTable& wide, uint32_t zoom) {
  std::string png;
  WriteGlyphSheet(
      thin, wide,
      [&png](const uint8_t* bytes, size_t count) {
        png.append(reinterpret_cast<const char*>(bytes), count);
      },
      zoom);
  return png;
}

struct GlyphSheetPicture::Layout {
  Sheet sheet;
  const SheetTable* wide;
};

GlyphSheetPicture::GlyphSheetPicture(const SheetTable& thin, const SheetTable& wide, uint32_t zoom)
    : layout_(std::make_unique<Layout>(Layout{LayOutSheet(thin, wide, zoom), &wide})) {}
GlyphSheetPicture::~GlyphSheetPicture() = default;
GlyphSheetPicture::GlyphSheetPicture(GlyphSheetPicture&&) noexcept = default;
GlyphSheetPicture& GlyphSheetPicture::operator=(GlyphSheetPicture&&) noexcept = default;

uint64_t GlyphSheetPicture::Width() const {
  return layout_->sheet.width;
}

uint64_t GlyphSheetPicture::Height() const {
  return layout_->sheet.height;
}

uint32_t GlyphSheetPicture::Zoom() const {
  return static_cast<uint32_t>(layout_->sheet.zoom);
}

void GlyphSheetPicture::PaintRow(uint64_t y, uint8_t* row) const {
  ::pindot::PaintRow(layout_->sheet, y, row);
}

std::optional<GlyphSheetPicture::Hit> GlyphSheetPicture::CellAt(uint64_t x, uint64_t y) const {
  const Sheet& sheet = layout_->sheet;
  for (size_t index = 0; index < sheet.blockCount; ++index) {
    const Block& block = sheet.blocks[index];
    const uint64_t cellsTop = block.top + kTextHeight + kTitleGap;
    if (y < cellsTop || y >= block.top + block.height || x < kMargin) continue;
    const uint64_t rowPitch = block.placeHeight + kRowGap;
    const uint64_t columnPitch = block.placeWidth + kColumnGap;
    const uint64_t column = (x - kMargin) / columnPitch;
    if ((y - cellsTop) % rowPitch >= block.placeHeight ||
        (x - kMargin) % columnPitch >= block.placeWidth || column >= block.columns) {
      return std::nullopt;
    }
    const uint64_t cell = (y - cellsTop) / rowPitch * block.columns + column;
    if (cell >= block.table->cells.size()) return std::nullopt;
    return Hit{block.table == layout_->wide, static_cast<size_t>(cell)};
  }
  return std::nullopt;
}

std::unique_ptr<GeneratorSheet> MakeGeneratorSheet(const Generator& generator,
                                                   std::vector<char16_t> missing) {
  std::sort(missing.begin(), missing.end());
  auto sheet = std::make_unique<GeneratorSheet>();
  for (const auto kind : {TableKind::kThin, TableKind::kWide}) {
    const size_t index = kind == TableKind::kThin ? 0 : 1;
    const FittedEntries entries(generator, kind);
    const TableCell& cell = entries.Cell();
    SheetTable& table = index == 0 ? sheet->thin : sheet->wide;
    std::vector<uint8_t>& bytes = sheet->bytes[index];
    table.width = cell.width;
    table.height = cell.height;
    bytes.resize(cell.Bytes() * entries.Count());
    size_t offset = 0;
    for (const FittedEntry fitted : entries) {
      // Each entry fitted straight into its place among the table's cells.
      const GlyphEntry& entry = fitted.Entry();
      fitted.FitInto(bytes.data() + offset);
      table.cells.push_back(SheetCell{
          static_cast<uint16_t>(entry.keyIsUnicode ? entry.unicodeValue : entry.ansiValue),
          bytes.data() + offset, fitted.Cut(), !entry.keyIsUnicode,
          std::binary_search(missing.begin(), missing.end(), entry.character)});
      offset += cell.Bytes();
    }
  }
  return sheet;
}

std::string EncodeGlyphSheet(const Generator& generator, std::vector<char16_t> missing,
                             uint32_t zoom) {
  const std::unique_ptr<GeneratorSheet> sheet = MakeGeneratorSheet(generator, std::move(missing));
  return EncodeGlyphSheet(sheet->thin, sheet->wide, zoom);
}

std::string EncodeGlyphSheet(const InkFont& font, std::vector<char16_t> missing, uint32_t zoom) {
  std::sort(missing.begin(), missing.end());
  const FaceLines lines = FontLines(font);
  int32_t left = 0, right = 0;
  for (const InkGlyph& glyph : font.glyphs) {
    left = std::min(left, glyph.left);
    right = std::max({right, glyph.advance, glyph.left + static_cast<int32_t>(glyph.width)});
  }
  SheetTable table;
  static const char* const kDepths[] = {"1bit", "2bit", "4bit", "4bit", "8bit"};
  table.kind = kDepths[std::min<size_t>(font.bpp / 2, 4)];
  table.bpp = font.bpp;
  table.width = static_cast<uint32_t>(right - left);
  table.height = static_cast<uint32_t>(lines.ascent + lines.descent);
  const size_t cellBytes =
      size_t{table.height} * (font.bpp > 1 ? table.width : RowBytesOf(table.width));
  std::vector<uint8_t> bytes(cellBytes * font.glyphs.size(), 0);
  for (size_t i = 0; i < font.glyphs.size(); ++i) {
    const InkGlyph& glyph = font.glyphs[i];
    uint8_t* cell = bytes.data() + i * cellBytes;
    for (uint32_t y = 0; y < glyph.height; ++y) {
      for (uint32_t x = 0; x < glyph.width; ++x) {
        const uint8_t level = glyph.levels[size_t{y} * glyph.width + x];
        const auto column = static_cast<size_t>(glyph.left - left + static_cast<int32_t>(x));
        const auto row = static_cast<size_t>(lines.ascent - glyph.top + static_cast<int32_t>(y));
        if (level == 0) continue;
        if (font.bpp > 1) {
          cell[row * table.width + column] = level;
        } else {
          cell[row * RowBytesOf(table.width) + column / 8] |=
              static_cast<uint8_t>(0x80 >> column % 8);
        }
      }
    }
    SheetCell sheetCell{glyph.unit, cellBytes ? cell : nullptr};
    sheetCell.missing = std::binary_search(missing.begin(), missing.end(), glyph.unit);
    table.cells.push_back(sheetCell);
  }
  return EncodeGlyphSheet(table, SheetTable{}, zoom);
}

}  // namespace pindot
