#include "font/font_canvas.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_BITMAP_H
#include FT_MODULE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H
#include FT_TRUETYPE_TAGS_H

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

#include "base/user_error.h"
#include "font/bit_rows.h"
#include "font/cell_metrics.h"
#include "font/font_file.h"
#include "font/font_lookup.h"
#include "font/grey_glyph.h"
#include "font/grid_outline.h"
#include "glyph/ink_scan.h"
#include "text/number_text.h"
#include "text/utf.h"

namespace pindot {

namespace {

constexpr Colour kBackground = 0x00FFFFFF;
constexpr Colour kInk = 0x00000000;
// What ReadPixel reports outside the canvas, as GetPixel reports CLR_INVALID: never an ink colour.
constexpr Colour kOutside = 0xFFFFFFFF;
constexpr int32_t kSize = GlyphCanvas::kSize;
// Outlines up to this many pixels each way are rendered whole, as FreeType renders them (a bitmap
// of at most 2 MB); larger ones, which only hostile fonts have since cells are at most 1000 pixels
// high, only within kRenderMargin pixels of the canvas (see RenderOutline).
constexpr int64_t kWholeRenderLimit = 4096;
constexpr int64_t kRenderMargin = kSize;
// A canvas that draws its glyphs plainly keeps its ink as bits (see bit_rows.h): row y is
// kInkRowBytes bytes, and pixel x is its bit kInkLeadBits + x, so that column 1, where every cell
// starts, begins a byte and a cell's rows are copied out whole.
constexpr size_t kInkLeadBits = 7;
constexpr size_t kInkRowBytes = (kInkLeadBits + kSize + 7) / 8;
// The shear fontconfig uses for a synthetic oblique, used when the face file is given directly.
constexpr double kObliqueShear = 0.2;

// FreeType's memory for one canvas, capped. A WOFF file says how large its tables unpack, up to
// 4 GB, and FreeType allocates that much: a 1 MB file took 1 GB. Real fonts need far less (AR PL
// UMing's 21 MB collection under 1 MB; the file itself is mapped, not copied).
class FreeTypeHeap {
 public:
  static constexpr size_t kLimit = size_t{256} << 20;

  FreeTypeHeap() : memory_{this, Allocate, Free, Reallocate} {}
  FreeTypeHeap(const FreeTypeHeap&) = delete;
  FreeTypeHeap& operator=(const FreeTypeHeap&) = delete;

  FT_Memory Memory() { return &memory_; }
  // Whether an allocation was refused for the limit.
  bool Exhausted() const { return exhausted_; }

 private:
  // Each block remembers its size, since FreeType frees without telling it.
  struct alignas(std::max_align_t) Header {
    size_t size;
  };

  static FreeTypeHeap& Of(FT_Memory memory) { return *static_cast<FreeTypeHeap*>(memory->user); }
  static void* Allocate(FT_Memory memory, long size) { return Of(memory).Resize(nullptr, size); }
  static void* Reallocate(FT_Memory memory, long, long size, void* block) {
    return Of(memory).Resize(block, size);
  }
  static void Free(FT_Memory memory, void* block) {
    if (block == nullptr) return;
    Header* header = static_cast<Header*>(block) - 1;
    Of(memory).used_ -= header->size;
    std::free(header);
  }

  // As realloc: a new block for none, the old one kept when this one cannot be had.
  void* Resize(void* block, long size) {
    Header* old = block == nullptr ? nullptr : static_cast<Header*>(block) - 1;
    const size_t oldSize = old == nullptr ? 0 : old->size;
    if (size <= 0) return nullptr;
    if (static_cast<size_t>(size) > kLimit - (used_ - oldSize)) {
      exhausted_ = true;
      return nullptr;
    }
    auto* header = static_cast<Header*>(std::realloc(old, sizeof(Header) + size));
    if (header == nullptr) return nullptr;
    used_ = used_ - oldSize + static_cast<size_t>(size);
    header->size = static_cast<size_t>(size);
    return header + 1;
  }

  FT_MemoryRec_ memory_;
  size_t used_ = 0;
  bool exhausted_ = false;
};

// Owns the heap too, which goes after the library.
struct LibraryDeleter {
  FreeTypeHeap* heap = nullptr;
  void operator()(FT_Library library) const {
    FT_Done_Library(library);
    delete heap;
  }
};
struct FaceDeleter {
  void operator()(FT_Face face) const { FT_Done_Face(face); }
};
using LibraryHandle = std::unique_ptr<FT_LibraryRec_, LibraryDeleter>;
using FaceHandle = std::unique_ptr<FT_FaceRec_, FaceDeleter>;

// FreeType's error codes in words, for the messages a user reads.
std::string DescribeFreeTypeError(FT_Error error) {
  switch (error) {
    case FT_Err_Unknown_File_Format:
      return "unknown file format";
    case FT_Err_Cannot_Open_Resource:
      return "cannot open the file";
    case FT_Err_Invalid_File_Format:
      return "invalid or damaged font file";
    case FT_Err_Invalid_Argument:
      return "invalid font file";
    case FT_Err_Out_Of_Memory:
      return "out of memory";
    case FT_Err_Invalid_Table:
    case FT_Err_Table_Missing:
      return "a required font table is broken or missing";
    case FT_Err_Missing_Property:
      return "a required font property is missing";
    case FT_Err_Invalid_Pixel_Size:
      return "the font has no usable size";
    default:
      return "FreeType error " + std::to_string(error);
  }
}

std::u16string Latin1OrUtf8(const char* text) {
  if (text == nullptr) return {};
  std::string bytes(text);
  try {
    return FromUtf8(bytes, "family name");
  } catch (const UserError&) {
    std::u16string latin1;
    for (const unsigned char byte : bytes) latin1.push_back(byte);  // never sign-extended
    return latin1;
  }
}

// Whether a face carries a TrueType hinting program. One without never switches the rasteriser's
// dropout control on, so strokes thinner than a pixel vanish when it is hinted (WenQuanYi Zen Hei
// loses the upright of U+4E2D at 13 pixels).
bool HasHintingProgram(FT_Face face) {
  for (FT_ULong tag : {TTAG_fpgm, TTAG_prep}) {
    FT_ULong length = 0;
    if (FT_Load_Sfnt_Table(face, tag, 0, nullptr, &length) == 0 && length > 0) return true;
  }
  return false;
}

// A whole row of ink or background from x = left to right - 1, clipped to the canvas.
void FillRow(std::vector<Colour>& pixels, int32_t y, int32_t left, int32_t right, Colour colour) {
  if (y < 0 || y >= kSize) return;
  left = std::max(left, 0);
  right = std::min(right, kSize);
  if (left >= right) return;
  std::fill(pixels.begin() + y * kSize + left, pixels.begin() + y * kSize + right, colour);
}

// usWinAscent and usWinDescent, else hhea's ascender and descender, else FreeType's, else four
// fifths of the em above the baseline.
VerticalMetrics FaceVerticalMetrics(FT_Face face) {
  VerticalMetrics metrics;
  metrics.unitsPerEm = face->units_per_EM;
  auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  auto* hhea = static_cast<TT_HoriHeader*>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA));
  if (os2 != nullptr && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
    metrics.ascent = os2->usWinAscent;
    metrics.descent = os2->usWinDescent;
  } else if (hhea != nullptr && hhea->Ascender - hhea->Descender > 0) {
    metrics.ascent = hhea->Ascender;
    metrics.descent = -hhea->Descender;
  } else if (face->ascender - face->descender > 0) {
    metrics.ascent = face->ascender;
    metrics.descent = -face->descender;
  } else {
    metrics.ascent = face->units_per_EM * 4 / 5;
    metrics.descent = face->units_per_EM - metrics.ascent;
  }
  return metrics;
}

// The size a face was set to.
struct FaceSize {
  CellMetrics cell;
  int substitutedStrikeSize = 0;  // see FontCanvas::SubstitutedStrikeSize
};

// Sets the face to the size asked for. Scalable faces: by cell height the cell is exactly that
// many rows (see CellForHeight), by em height the em is that many pixels and the cell follows
// from it (see CellForEm); a stand-in for a Windows face is sized with that face's metrics. Faces
// with bitmap strikes only: the strike nearest in cell height, or in em.
FaceSize SetSize(FT_Face face, const FontRequest& fontRequest,
                 const std::optional<VerticalMetrics>& namedFaceMetrics) {
  const bool byEm = fontRequest.emHeight > 0;
  if (FT_IS_SCALABLE(face)) {
    const VerticalMetrics metrics =
        namedFaceMetrics ? *namedFaceMetrics : FaceVerticalMetrics(face);
    const ScaledCell scaled = byEm ? CellForEm(metrics, fontRequest.emHeight)
                                   : CellForHeight(metrics, fontRequest.cellHeight);
    FT_Error error = FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(scaled.em));
    if (error != 0) {
      throw UserError("cannot set the font to an em of " + std::to_string(scaled.em) +
                      " pixels: " + DescribeFreeTypeError(error));
    }
    return FaceSize{scaled.cell, 0};
  }
  if (face->num_fixed_sizes <= 0) throw UserError("the font has neither outlines nor strikes");
  std::vector<int> sizes;
  for (int i = 0; i < face->num_fixed_sizes; ++i) {
    const FT_Bitmap_Size& strike = face->available_sizes[i];
    sizes.push_back(byEm ? RoundPixels(strike.y_ppem) : strike.height);
  }
  const int asked = byEm ? fontRequest.emHeight : fontRequest.cellHeight;
  const size_t best = NearestStrike(sizes, asked);
  FT_Error error = FT_Select_Size(face, static_cast<FT_Int>(best));
  if (error != 0) {
    throw UserError("cannot select the font's bitmap strike: " + DescribeFreeTypeError(error));
  }
  FaceSize size;
  size.cell = StrikeCell(face->size->metrics.ascender, face->size->metrics.descender,
                         face->available_sizes[best].height);
  const int drawn = byEm ? sizes[best] : size.cell.height();
  if (drawn != asked) size.substitutedStrikeSize = drawn;
  return size;
}

// The face's underline and strike-out at its current size; bitmap fonts give neither.
std::optional<FaceLine> FaceUnderline(FT_Face face) {
  if (!FT_IS_SCALABLE(face) || face->underline_thickness <= 0) return std::nullopt;
  const FT_Fixed scale = face->size->metrics.y_scale;
  return FaceLine{FT_MulFix(face->underline_position, scale),
                  FT_MulFix(face->underline_thickness, scale)};
}

std::optional<FaceLine> FaceStrikeOut(FT_Face face) {
  if (!FT_IS_SCALABLE(face)) return std::nullopt;
  auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  if (os2 == nullptr || os2->version == 0xFFFF || os2->yStrikeoutSize <= 0) return std::nullopt;
  const FT_Fixed scale = face->size->metrics.y_scale;
  return FaceLine{FT_MulFix(os2->yStrikeoutPosition, scale), FT_MulFix(os2->yStrikeoutSize, scale)};
}

// FreeType's outline in the grid filler's terms.
void CopyOutline(const FT_Outline& source, Outline& target) {
  target.points.resize(static_cast<size_t>(std::max<int>(source.n_points, 0)));
  for (size_t i = 0; i < target.points.size(); ++i) {
    target.points[i] = OutlinePoint{source.points[i].x, source.points[i].y,
                                    FT_CURVE_TAG(source.tags[i]) == FT_CURVE_TAG_ON};
  }
  target.contourEnds.assign(source.contours, source.contours + std::max<int>(source.n_contours, 0));
}

// A bitmap of ink as FreeType lays it out (rows of bits, or of bytes from 0 to 255), and the
// canvas position of its top-left pixel.
struct BitmapView {
  const unsigned char* buffer = nullptr;
  int32_t width = 0;
  int32_t rows = 0;
  int32_t pitch = 0;  // bytes from one row to the next, negative when the rows run upwards
  bool mono = true;
  int32_t x = 0;
  int32_t y = 0;
};

// What Load leaves for DrawCharacter: one unit's glyph, its image in the face's glyph slot
// (or, for a grid outline, in the canvas's copy of it).
struct LoadedGlyph {
  enum class Image {
    kNone,          // nothing to draw (the glyph failed to load or to render)
    kGridOutline,   // an outline on the pixel grid, filled by the canvas itself
    kOutline,       // an outline for FreeType's rasteriser, not rendered yet
    kRendered,      // that outline rendered, in the canvas's bitmap
    kStrikeBitmap,  // a bitmap strike's glyph, sheared and widened while it is drawn
  };
  char16_t unit = 0;
  uint32_t advance = 0;  // whole pixels
  Image image = Image::kNone;
  bool widen = false;  // synthetic bold of a strike: each ink pixel is doubled to its right
  PixelBox box;        // an outline's bitmap as FreeType's renderer would make it
};

// How Open has chosen to draw a face, besides the face itself.
struct FaceSetup {
  std::u16string family;  // the name reported as the face really used
  std::string path;
  bool embolden = false;                            // synthetic bold
  std::optional<FT_Matrix> matrix;                  // synthetic italic
  std::optional<VerticalMetrics> namedFaceMetrics;  // a stand-in's: see FaceMatch
};

// A FreeType library of its own, on a heap of its own: one per canvas, so canvases on different
// threads share no FreeType object.
LibraryHandle NewLibrary() {
  auto heap = std::make_unique<FreeTypeHeap>();
  FT_Library rawLibrary = nullptr;
  if (FT_New_Library(heap->Memory(), &rawLibrary) != 0) {
    throw UserError("cannot start the FreeType library");
  }
  LibraryHandle library(rawLibrary, LibraryDeleter{heap.release()});
  FT_Add_Default_Modules(rawLibrary);
  FT_Set_Default_Properties(rawLibrary);
  return library;
}

// Face `faceIndex` of a mapped font file, opened in `library`.
FaceHandle OpenFace(const LibraryHandle& library, const FontFile& file, int faceIndex,
                    const std::string& path) {
  FT_Face rawFace = nullptr;
  FT_Error error = FT_New_Memory_Face(library.get(), file.data(), static_cast<FT_Long>(file.size()),
                                      faceIndex, &rawFace);
  if (error != 0 && library.get_deleter().heap->Exhausted()) {
    throw FontFileError(path, "reading it takes more than " +
                                  std::to_string(FreeTypeHeap::kLimit >> 20) + " MB of memory");
  }
  if (error != 0) throw FontFileError(path, DescribeFreeTypeError(error));
  return FaceHandle(rawFace);
}

class FreeTypeCanvas final : public FontCanvas {
 public:
  FreeTypeCanvas(std::shared_ptr<const FontFile> file, int faceIndex, LibraryHandle library,
                 FaceHandle face, const FontRequest& fontRequest, const FaceSetup& setup,
                 PlainGlyphs plainGlyphs)
      : file_(std::move(file)),
        library_(std::move(library)),
        face_(std::move(face)),
        faceIndex_(faceIndex),
        fontRequest_(fontRequest),
        setup_(setup),
        plainGlyphs_(plainGlyphs),
        underline_(fontRequest.underline),
        strikeOut_(fontRequest.strikeOut),
        embolden_(setup.embolden),
        keepThinStems_(FT_IS_SFNT(face_.get()) && !HasHintingProgram(face_.get())) {
    SelectCharmap();
    const FaceSize size = SetSize(face_.get(), fontRequest, setup.namedFaceMetrics);
    cell_ = size.cell;
    substitutedStrikeSize_ = size.substitutedStrikeSize;
    if (cell_.height() > kMaxPixels) {
      throw FontFileError(setup_.path, "its cells are " + std::to_string(cell_.height()) +
                                           " pixels high, more than " + std::to_string(kMaxPixels));
    }
    const std::optional<FT_Matrix>& matrix = setup.matrix;
    if (matrix &&
        (matrix->xy != 0 || matrix->yx != 0 || matrix->xx != 0x10000 || matrix->yy != 0x10000)) {
      matrix_ = *matrix;
      transformed_ = true;
      FT_Set_Transform(face_.get(), &matrix_, nullptr);
    }
    underlineLine_ = UnderlineForCell(cell_, FaceUnderline(face_.get()));
    strikeLine_ = StrikeOutForCell(cell_, FaceStrikeOut(face_.get()));
    // Lines and synthetic styles draw over the glyph or change it while it is drawn: those keep
    // to colours.
    packed_ = plainGlyphs == PlainGlyphs::kPacked && !underline_ && !strikeOut_ && !embolden_ &&
              !transformed_;
    if (packed_) {
      inkBits_.assign(kInkRowBytes * kSize, 0);
    } else {
      pixels_.assign(static_cast<size_t>(kSize) * kSize, kBackground);
    }
  }

  TextExtent MeasureCharacter(char16_t unit) override {
    return TextExtent{Load(unit).advance, static_cast<uint32_t>(cell_.height())};
  }

  void DrawCharacter(char16_t unit) override {
    LoadedGlyph& glyph = Load(unit);
    const int32_t right = 1 + static_cast<int32_t>(glyph.advance);
    const int32_t bottom = 1 + cell_.height();
    ClearCell(right, bottom);
    const int32_t baseline = 1 + cell_.ascent;
    if (glyph.image == LoadedGlyph::Image::kGridOutline && !FillGridOutline(baseline)) {
      // A stroke collapsed to no width: the rasteriser's dropout control decides its pixels.
      glyph.image = LoadedGlyph::Image::kOutline;
    }
    if (glyph.image == LoadedGlyph::Image::kOutline) RenderOutline(glyph, baseline);
    if (glyph.image == LoadedGlyph::Image::kRendered) {
      BlitBitmap(rendered_, glyph, baseline);
    } else if (glyph.image == LoadedGlyph::Image::kStrikeBitmap) {
      FT_GlyphSlot slot = face_->glyph;
      const FT_Bitmap& bitmap = slot->bitmap;
      if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO || bitmap.pixel_mode == FT_PIXEL_MODE_GRAY) {
        BlitBitmap(BitmapView{bitmap.buffer, static_cast<int32_t>(bitmap.width),
                              static_cast<int32_t>(bitmap.rows), bitmap.pitch,
                              bitmap.pixel_mode == FT_PIXEL_MODE_MONO, 1 + slot->bitmap_left,
                              baseline - slot->bitmap_top},
                   glyph, baseline);
      }
    }
    if (underline_) DrawLine(underlineLine_, baseline, right);
    if (strikeOut_) DrawLine(strikeLine_, baseline, right);
  }

  Colour ReadPixel(int32_t x, int32_t y) const override {
    if (x < 0 || y < 0 || x >= kSize || y >= kSize) return kOutside;
    if (packed_) return IsInk(x, y) ? kInk : kBackground;
    return pixels_[static_cast<size_t>(y) * kSize + x];
  }

  void ReadPixelRow(int32_t x, int32_t y, int32_t count, Colour* out) const override {
    if (!packed_) return CopyPixelRow(pixels_.data(), kSize, kSize, kOutside, x, y, count, out);
    for (int32_t i = 0; i < count; ++i) out[i] = ReadPixel(static_cast<int32_t>(int64_t{x} + i), y);
  }

  // The ink's bits copied out row by row: with the cell at column 1, whole bytes.
  bool ReadPackedCell(const GlyphCell& cell, std::vector<uint8_t>& bytes) const override {
    if (!packed_) return false;
    const int64_t width = std::max<int64_t>(0, int64_t{cell.right} - cell.left);
    const int64_t rows = std::max<int64_t>(0, int64_t{cell.bottom} - cell.top);
    const auto rowBytes = static_cast<size_t>((width + 7) / 8);
    bytes.assign(static_cast<size_t>(rows) * rowBytes, 0);
    const int64_t left = std::max<int64_t>(cell.left, 0);
    const int64_t right = std::min<int64_t>(cell.right, kSize);
    if (left >= right) return true;
    const int64_t top = std::max<int64_t>(cell.top, 0);
    const int64_t bottom = std::min<int64_t>(cell.bottom, kSize);
    if (top >= bottom) return true;
    const size_t from = kInkLeadBits + static_cast<size_t>(left);
    const auto count = static_cast<size_t>(right - left);
    uint8_t* row = bytes.data() + static_cast<size_t>(top - cell.top) * rowBytes;
    if (left == cell.left && from % 8 == 0) {
      // Whole bytes, the last cut at the cell's (or the canvas's) right edge.
      const size_t copied = (count + 7) / 8;
      const auto last = static_cast<uint8_t>(0xFF00 >> ((count - 1) % 8 + 1));
      for (int64_t y = top; y < bottom; ++y, row += rowBytes) {
        std::memcpy(row, InkRow(y) + from / 8, copied);
        row[copied - 1] &= last;
      }
      return true;
    }
    for (int64_t y = top; y < bottom; ++y, row += rowBytes) {
      OrBits(InkRow(y), from, row, static_cast<size_t>(left - cell.left), count);
    }
    return true;
  }

  Colour InkColour() const override { return kInk; }

  // The same face of the same mapped file in a library of its own, set up as Open set up this one,
  // without asking fontconfig again.
  std::unique_ptr<GlyphCanvas> Clone() const override {
    LibraryHandle library = NewLibrary();
    FaceHandle face = OpenFace(library, *file_, faceIndex_, setup_.path);
    return std::make_unique<FreeTypeCanvas>(file_, faceIndex_, std::move(library), std::move(face),
                                            fontRequest_, setup_, plainGlyphs_);
  }

  FaceLines Lines() const override {
    FaceLines lines;
    lines.ascent = cell_.ascent;
    lines.descent = cell_.descent;
    lines.lineHeight = cell_.height();
    lines.underlinePosition = -underlineLine_.top;
    lines.underlineThickness = underlineLine_.thickness;
    return lines;
  }

  // 1 bit per pixel: the pixels DrawCharacter draws, read from the cell and wherever the glyph's
  // own box reaches beyond it (both cleared first). 2, 4, 8: FreeType's grey rendering.
  InkGlyph DrawInk(char16_t unit, uint8_t bpp) override {
    InkGlyph ink;
    if (bpp <= 1) {
      ink = DrawMonoInk(unit);
    } else {
      glyph_.reset();  // the grey load takes the glyph slot over
      RenderGreyGlyph(face_.get(), GlyphIndex(unit), embolden_ ? EmboldenStrength() : 0, bpp,
                      kMaxPixels, ink);
      if (underline_) DrawInkRule(ink, underlineLine_.top, underlineLine_.thickness);
      if (strikeOut_) DrawInkRule(ink, strikeLine_.top, strikeLine_.thickness);
    }
    ink.unit = unit;
    return ink;
  }

  bool HasGlyph(char32_t codePoint) const override { return GlyphIndex(codePoint) != 0; }
  std::u16string ResolvedFamily() const override { return setup_.family; }
  std::string ResolvedPath() const override { return setup_.path; }
  int SubstitutedStrikeSize() const override { return substitutedStrikeSize_; }

 private:
  void SelectCharmap() {
    if (FT_Select_Charmap(face_.get(), FT_ENCODING_UNICODE) == 0) return;
    if (FT_Select_Charmap(face_.get(), FT_ENCODING_MS_SYMBOL) == 0) {
      symbolCharmap_ = true;
      return;
    }
    if (face_->num_charmaps > 0) FT_Set_Charmap(face_.get(), face_->charmaps[0]);
  }

  FT_UInt GlyphIndex(char32_t codePoint) const {
    FT_UInt index = FT_Get_Char_Index(face_.get(), codePoint);
    // Symbol fonts put their characters at U+F000..U+F0FF, and Windows maps 0x00..0xFF there.
    if (index == 0 && symbolCharmap_ && codePoint <= 0xFF) {
      index = FT_Get_Char_Index(face_.get(), 0xF000 + codePoint);
    }
    return index;
  }

  // Synthetic bold: whole pixels, so the advance stays whole; about 1/24 of the em, at least one
  // pixel.
  FT_Pos EmboldenStrength() const {
    return std::max<FT_Pos>(64, (face_->size->metrics.y_ppem * 64 / 24 + 32) & ~63);
  }

  InkGlyph DrawMonoInk(char16_t unit) {
    const LoadedGlyph& glyph = Load(unit);
    const int32_t baseline = 1 + cell_.ascent;
    int64_t left = 1, top = 1;
    int64_t right = 1 + int64_t{glyph.advance}, bottom = 1 + int64_t{cell_.height()};
    auto reach = [&](int64_t x, int64_t y, int64_t width, int64_t height) {
      // A pixel more each way: the rasteriser's dropout control may set one just outside.
      left = std::min(left, x - 1);
      top = std::min(top, y - 1);
      right = std::max(right, x + width + 1);
      bottom = std::max(bottom, y + height + 1);
    };
    if (glyph.image == LoadedGlyph::Image::kStrikeBitmap) {
      const FT_GlyphSlot slot = face_->glyph;
      // A slanted strike shifts its rows by at most the cell's height.
      const int64_t shear = transformed_ ? cell_.height() : 0;
      reach(1 + slot->bitmap_left - shear, baseline - slot->bitmap_top,
            int64_t{slot->bitmap.width} + 1 + 2 * shear, slot->bitmap.rows);
    } else if (glyph.image != LoadedGlyph::Image::kNone) {
      reach(1 + glyph.box.left, baseline - glyph.box.top, glyph.box.width, glyph.box.height);
    }
    const GlyphCell region{static_cast<int32_t>(std::max<int64_t>(left, 0)),
                           static_cast<int32_t>(std::max<int64_t>(top, 0)),
                           static_cast<int32_t>(std::min<int64_t>(right, kSize)),
                           static_cast<int32_t>(std::min<int64_t>(bottom, kSize))};
    ClearRegion(region);
    const auto advance = static_cast<int32_t>(glyph.advance);
    DrawCharacter(unit);
    return ScanInk(*this, kInk, region, 1, baseline, 1, advance);
  }

  void ClearRegion(const GlyphCell& region) {
    if (region.left >= region.right || region.top >= region.bottom) return;
    if (packed_) {
      ClearBits(InkRow(region.top), kInkLeadBits + static_cast<size_t>(region.left),
                static_cast<size_t>(region.right - region.left),
                static_cast<size_t>(region.bottom - region.top), kInkRowBytes);
      return;
    }
    for (int32_t y = region.top; y < region.bottom; ++y) {
      FillRow(pixels_, y, region.left, region.right, kBackground);
    }
  }

  const uint8_t* InkRow(int64_t y) const { return inkBits_.data() + y * kInkRowBytes; }
  uint8_t* InkRow(int64_t y) { return inkBits_.data() + y * kInkRowBytes; }
  bool IsInk(int32_t x, int32_t y) const {
    const size_t bit = kInkLeadBits + static_cast<size_t>(x);
    return (InkRow(y)[bit / 8] >> (7 - bit % 8)) & 1;
  }

  // Background over the cell from (1, 1) to (right - 1, bottom - 1), clipped to the canvas.
  void ClearCell(int32_t right, int32_t bottom) {
    if (packed_) {
      if (right <= 1 || bottom <= 1) return;
      ClearBits(InkRow(1), kInkLeadBits + 1, static_cast<size_t>(std::min(right, kSize) - 1),
                static_cast<size_t>(std::min(bottom, kSize) - 1), kInkRowBytes);
      return;
    }
    for (int32_t y = 1; y < bottom && y < kSize; ++y) FillRow(pixels_, y, 1, right, kBackground);
  }

  bool FillGridOutline(int32_t baseline) {
    if (!packed_) {
      return gridFiller_.Fill(outline_, 1, baseline, PixelTarget{pixels_.data(), kSize, kSize},
                              kInk);
    }
    return gridFiller_.Fill(outline_, 1, baseline,
                            BitTarget{inkBits_.data(), kInkRowBytes, kInkLeadBits, kSize, kSize});
  }

  void DrawLine(const LineMetrics& line, int32_t baseline, int32_t right) {
    for (int row = 0; row < line.thickness; ++row) {
      FillRow(pixels_, baseline + line.top + row, 1, right, kInk);
    }
  }

  // Loads and renders one unit into the glyph slot, unless it is already there: the generation
  // pass measures each unit and then draws it.
  LoadedGlyph& Load(char16_t unit) {
    if (glyph_ && glyph_->unit == unit) return *glyph_;
    glyph_ = LoadedGlyph{};
    glyph_->unit = unit;
    FT_Face face = face_.get();
    FT_UInt index = GlyphIndex(unit);
    // A character the face lacks is its glyph 0, as Windows draws it.
    FT_Error error = FT_Load_Glyph(face, index, FT_LOAD_TARGET_MONO);
    if (error != 0 && index != 0) error = FT_Load_Glyph(face, 0, FT_LOAD_TARGET_MONO);
    if (error != 0) return *glyph_;
    FT_GlyphSlot slot = face->glyph;
    FT_Pos advance = slot->advance.x;
    // A stand-in for a Windows face advances as its design says, as that face's half- and
    // full-width letters do: AR PL UMing's hinting widens many Latin letters from 18 pixels up (a
    // 24-pixel "G" would take 13 pixels for SimSun's 12 and land in the wide table).
    if (setup_.namedFaceMetrics && slot->format == FT_GLYPH_FORMAT_OUTLINE) {
      advance = (slot->linearHoriAdvance + 512) >> 10;  // 16.16 to 26.6
    }
    if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
      if (embolden_) {
        const FT_Pos strength = EmboldenStrength();
        FT_Outline_EmboldenXY(&slot->outline, strength, 0);
        advance += strength;
      }
      if (keepThinStems_ && (slot->outline.flags & FT_OUTLINE_IGNORE_DROPOUTS) != 0) {
        // The dropout control unhinted outlines get, so thin strokes stay.
        slot->outline.flags &= ~FT_OUTLINE_IGNORE_DROPOUTS;
        slot->outline.flags |= FT_OUTLINE_SMART_DROPOUTS;
      }
      // An outline on the pixel grid (pixel fonts such as Unifont, whose glyphs are made of many
      // small squares) is filled by the canvas; everything else goes through FreeType's
      // monochrome rasteriser.
      CopyOutline(slot->outline, outline_);
      FT_BBox cbox;
      FT_Outline_Get_CBox(&slot->outline, &cbox);
      glyph_->box = MonochromeBitmapBox(cbox.xMin, cbox.yMin, cbox.xMax, cbox.yMax);
      if (!WithinRasterLimits(glyph_->box)) {
        glyph_->image = LoadedGlyph::Image::kNone;
      } else if (IsOnPixelGrid(outline_)) {
        glyph_->image = LoadedGlyph::Image::kGridOutline;
      } else {
        glyph_->image = LoadedGlyph::Image::kOutline;
      }
    } else {
      if (slot->format == FT_GLYPH_FORMAT_BITMAP) glyph_->image = LoadedGlyph::Image::kStrikeBitmap;
      if (embolden_) {
        glyph_->widen = true;  // bitmaps are widened by one pixel while they are drawn
        advance += 64;
      }
    }
    const int64_t pixels = static_cast<int64_t>(std::floor(advance / 64.0 + 0.5));
    if (pixels > kMaxPixels) {
      glyph_.reset();
      throw FontFileError(setup_.path, "its glyph for " + CodePointName(unit) + " advances " +
                                           std::to_string(pixels) + " pixels, more than " +
                                           std::to_string(kMaxPixels));
    }
    glyph_->advance = static_cast<uint32_t>(std::max<int64_t>(0, pixels));
    return *glyph_;
  }

  // FreeType renders no outline whose bitmap would reach beyond 16-bit pixel coordinates; the
  // canvas, which stands in for its rendering, draws none either.
  static bool WithinRasterLimits(const PixelBox& box) {
    return box.left >= -0x8000 && box.left + box.width <= 0x7FFF &&
           box.top - box.height >= -0x8000 && box.top <= 0x7FFF;
  }

  // Renders the outline in the glyph slot with FreeType's monochrome rasteriser into the canvas's
  // own bitmap, placed as FreeType's renderer places it. That renderer allocates a bitmap of the
  // outline's whole box, however large; so does this one up to kWholeRenderLimit pixels each way,
  // since the rasteriser's pixels depend a little on the bitmap's extent (where it cuts a line, it
  // recomputes the line's position there, rounding differently; a dropout pixel that would fall
  // outside goes to its neighbour inside). A larger box is cut to the canvas and kRenderMargin
  // pixels around it, so memory stays bounded by the canvas.
  void RenderOutline(LoadedGlyph& glyph, int32_t baseline) {
    glyph.image = LoadedGlyph::Image::kNone;
    FT_Outline& outline = face_->glyph->outline;
    const PixelBox& box = glyph.box;
    // In the outline's pixels: canvas x = 1 + x, and a row whose top edge is at y lies at canvas
    // y = baseline - y.
    int64_t left = box.left;
    int64_t right = box.left + box.width;
    int64_t top = box.top;
    int64_t bottom = box.top - box.height;
    if (box.width > kWholeRenderLimit || box.height > kWholeRenderLimit) {
      left = std::max<int64_t>(left, -kRenderMargin - 1);
      right = std::min<int64_t>(right, kSize + kRenderMargin - 1);
      top = std::min<int64_t>(top, baseline + kRenderMargin);
      bottom = std::max<int64_t>(bottom, baseline - kSize - kRenderMargin);
    }
    if (left >= right || bottom >= top) return;
    rendered_.width = static_cast<int32_t>(right - left);
    rendered_.rows = static_cast<int32_t>(top - bottom);
    rendered_.pitch = (rendered_.width + 7) / 8;
    renderedBits_.assign(static_cast<size_t>(rendered_.pitch) * rendered_.rows, 0);
    rendered_.buffer = renderedBits_.data();
    rendered_.mono = true;
    rendered_.x = static_cast<int32_t>(1 + left);
    rendered_.y = static_cast<int32_t>(baseline - top);
    FT_Bitmap target;
    FT_Bitmap_Init(&target);
    target.width = static_cast<unsigned>(rendered_.width);
    target.rows = static_cast<unsigned>(rendered_.rows);
    target.pitch = rendered_.pitch;
    target.buffer = renderedBits_.data();
    target.num_grays = 2;
    target.pixel_mode = FT_PIXEL_MODE_MONO;
    FT_Outline_Translate(&outline, -left * 64, -bottom * 64);
    const FT_Error error = FT_Outline_Get_Bitmap(library_.get(), &outline, &target);
    FT_Outline_Translate(&outline, left * 64, bottom * 64);
    if (error == 0) glyph.image = LoadedGlyph::Image::kRendered;
  }

  // Draws a bitmap in ink, clipped to the canvas. Bitmap strikes get the synthetic italic and bold
  // here, since FreeType transforms and emboldens outlines only.
  void BlitBitmap(const BitmapView& bitmap, const LoadedGlyph& glyph, int32_t baseline) {
    if (bitmap.rows <= 0 || bitmap.width <= 0 || bitmap.buffer == nullptr) return;
    if (packed_) return BlitBitmapBits(bitmap);
    const bool shear = transformed_ && glyph.image == LoadedGlyph::Image::kStrikeBitmap;
    for (int32_t row = 0; row < bitmap.rows; ++row) {
      const int32_t y = bitmap.y + row;
      if (y < 0 || y >= kSize) continue;
      const unsigned char* line = bitmap.pitch >= 0
                                      ? bitmap.buffer + row * bitmap.pitch
                                      : bitmap.buffer + (bitmap.rows - 1 - row) * -bitmap.pitch;
      int32_t shift = 0;
      if (shear) {
        shift = static_cast<int32_t>(std::lround((baseline - y - 0.5) * matrix_.xy / 65536.0));
      }
      Colour* target = pixels_.data() + static_cast<size_t>(y) * kSize;
      for (int32_t column = 0; column < bitmap.width; ++column) {
        const bool ink =
            bitmap.mono ? (line[column >> 3] >> (7 - (column & 7))) & 1 : line[column] >= 128;
        if (!ink) continue;
        const int32_t x = bitmap.x + column + shift;
        if (x >= 0 && x < kSize) target[x] = kInk;
        if (glyph.widen && x + 1 >= 0 && x + 1 < kSize) target[x + 1] = kInk;
      }
    }
  }

  // BlitBitmap for a canvas of bits, which draws no synthetic style: a monochrome row is shifted
  // into place a byte at a time.
  void BlitBitmapBits(const BitmapView& bitmap) {
    const int64_t firstColumn = std::max<int64_t>(0, -int64_t{bitmap.x});
    const int64_t endColumn = std::min<int64_t>(bitmap.width, int64_t{kSize} - bitmap.x);
    if (firstColumn >= endColumn) return;
    const int64_t firstRow = std::max<int64_t>(0, -int64_t{bitmap.y});
    const int64_t endRow = std::min<int64_t>(bitmap.rows, int64_t{kSize} - bitmap.y);
    for (int64_t row = firstRow; row < endRow; ++row) {
      const unsigned char* line = bitmap.pitch >= 0
                                      ? bitmap.buffer + row * bitmap.pitch
                                      : bitmap.buffer + (bitmap.rows - 1 - row) * -bitmap.pitch;
      uint8_t* target = InkRow(bitmap.y + row);
      const size_t to = kInkLeadBits + static_cast<size_t>(bitmap.x + firstColumn);
      if (bitmap.mono) {
        OrBits(line, static_cast<size_t>(firstColumn), target, to,
               static_cast<size_t>(endColumn - firstColumn));
        continue;
      }
      for (int64_t column = firstColumn; column < endColumn; ++column) {
        if (line[column] >= 128) SetBits(target, to + static_cast<size_t>(column - firstColumn), 1);
      }
    }
  }

  // Declared in this order, so the face is released first, then the library, then the file (which
  // the canvas's clones share: FreeType only reads it).
  std::shared_ptr<const FontFile> file_;
  LibraryHandle library_;
  FaceHandle face_;
  // What the canvas was opened with, also for its clones.
  int faceIndex_;
  FontRequest fontRequest_;
  FaceSetup setup_;
  PlainGlyphs plainGlyphs_;
  bool underline_;
  bool strikeOut_;
  bool embolden_;
  bool keepThinStems_;  // a TrueType face without a hinting program: see HasHintingProgram
  bool symbolCharmap_ = false;
  bool transformed_ = false;
  FT_Matrix matrix_{0x10000, 0, 0, 0x10000};
  CellMetrics cell_;
  int substitutedStrikeSize_ = 0;
  LineMetrics underlineLine_;
  LineMetrics strikeLine_;
  bool packed_ = false;  // ink kept as bits, in inkBits_, rather than in pixels_
  std::vector<uint8_t> inkBits_;
  std::vector<Colour> pixels_;
  std::optional<LoadedGlyph> glyph_;
  Outline outline_;  // the loaded glyph's outline, for the grid filler
  GridOutlineFiller gridFiller_;
  BitmapView rendered_;  // an outline rendered by RenderOutline, in renderedBits_
  std::vector<unsigned char> renderedBits_;
};

FT_Fixed ToFixed(double value) {
  return static_cast<FT_Fixed>(std::lround(value * 65536.0));
}

}  // namespace

std::unique_ptr<FontCanvas> FontCanvas::Open(const FontRequest& fontRequest,
                                             PlainGlyphs plainGlyphs) {
  const bool byEm = fontRequest.emHeight != 0;
  const int size = byEm ? fontRequest.emHeight : fontRequest.cellHeight;
  if (size <= 0 || size > kMaxPixels) {
    throw UserError(std::string(byEm ? "em height " : "cell height ") + std::to_string(size) +
                    ": must be from 1 to " + std::to_string(kMaxPixels) + " pixels");
  }
  LibraryHandle library = NewLibrary();

  const bool fromFile = !fontRequest.filePath.empty();
  FaceSetup setup;
  setup.path = fontRequest.filePath;
  int faceIndex = 0;
  if (!fromFile) {
    FaceMatch resolved = ResolveFace(fontRequest);
    setup.path = resolved.path;
    faceIndex = resolved.faceIndex;
    setup.family = resolved.family;
    setup.embolden = resolved.embolden;
    if (resolved.hasMatrix) {
      setup.matrix = FT_Matrix{ToFixed(resolved.matrix[0]), ToFixed(resolved.matrix[1]),
                               ToFixed(resolved.matrix[2]), ToFixed(resolved.matrix[3])};
    }
    setup.namedFaceMetrics = resolved.namedFaceMetrics;
  }
  const std::string& path = setup.path;

  auto file = std::make_shared<const FontFile>(FontFile::Open(path));
  FaceHandle face = OpenFace(library, *file, faceIndex, path);
  FT_Face rawFace = face.get();
  if (!FT_IS_SCALABLE(rawFace) && rawFace->num_fixed_sizes <= 0) {
    throw FontFileError(path, "it has neither outlines nor strikes");
  }
  if (fromFile) setup.family = Latin1OrUtf8(rawFace->family_name);

  // Bold or italic that the face itself lacks is synthesised, as fontconfig asks for it.
  auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(rawFace, FT_SFNT_OS2));
  bool faceIsBold =
      (rawFace->style_flags & FT_STYLE_FLAG_BOLD) != 0 ||
      (os2 != nullptr && os2->version != 0xFFFF && os2->usWeightClass >= kSemiBoldWeight);
  if (fontRequest.weight >= kSemiBoldWeight && !faceIsBold) setup.embolden = true;
  bool faceIsItalic = (rawFace->style_flags & FT_STYLE_FLAG_ITALIC) != 0;
  if (fontRequest.italic && !faceIsItalic && !setup.matrix) {
    setup.matrix = FT_Matrix{0x10000, ToFixed(kObliqueShear), 0, 0x10000};
  }

  return std::make_unique<FreeTypeCanvas>(std::move(file), faceIndex, std::move(library),
                                          std::move(face), fontRequest, setup, plainGlyphs);
}

}  // namespace pindot
