#include "font/font_canvas.h"

#include <fcntl.h>
#include <ft2build.h>
#include <sys/stat.h>
#include <unistd.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H
#include FT_TRUETYPE_TAGS_H

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <vector>

#include "base/user_error.h"
#include "font/font_lookup.h"
#include "text/utf.h"

namespace pindot {

namespace {

constexpr Colour kBackground = 0x00FFFFFF;
constexpr Colour kInk = 0x00000000;
// What ReadPixel reports outside the canvas, as GetPixel reports CLR_INVALID: never an ink colour.
constexpr Colour kOutside = 0xFFFFFFFF;
constexpr int32_t kSize = GlyphCanvas::kSize;
// The shear fontconfig uses for a synthetic oblique, used when the face file is given directly.
constexpr double kObliqueShear = 0.2;

struct LibraryDeleter {
  void operator()(FT_Library library) const { FT_Done_FreeType(library); }
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

// A 26.6 value rounded to whole pixels, half up, also for negative values.
int RoundPixels(FT_Pos value) {
  return static_cast<int>(std::floor(value / 64.0 + 0.5));
}

std::u16string Latin1OrUtf8(const char* text) {
  if (text == nullptr) return {};
  std::string bytes(text);
  try {
    return FromUtf8(bytes, "family name");
  } catch (const UserError&) {
    return std::u16string(bytes.begin(), bytes.end());
  }
}

// Whether an outline lies on the pixel grid: straight horizontal and vertical edges between whole
// pixel corners, no zero-width parts. Every pixel is then wholly inside or wholly outside, so
// coverage of at least a half is exactly what the monochrome rasteriser fills. Zero-width parts
// (a contour of no area, a spike doubling back on itself) are left to the monochrome rasteriser,
// whose dropout control draws them.
bool IsOnPixelGrid(const FT_Outline& outline) {
  int start = 0;
  for (int contour = 0; contour < outline.n_contours; ++contour) {
    const int end = outline.contours[contour];
    if (end < start) return false;
    FT_Pos minX = outline.points[start].x, maxX = minX;
    FT_Pos minY = outline.points[start].y, maxY = minY;
    int previousAxis = -1;  // 0 horizontal, 1 vertical
    int previousSign = 0;
    int firstAxis = -1;
    int firstSign = 0;
    for (int i = start; i <= end; ++i) {
      const FT_Vector& point = outline.points[i];
      if ((point.x & 63) != 0 || (point.y & 63) != 0) return false;
      if (FT_CURVE_TAG(outline.tags[i]) != FT_CURVE_TAG_ON) return false;
      minX = std::min(minX, point.x);
      maxX = std::max(maxX, point.x);
      minY = std::min(minY, point.y);
      maxY = std::max(maxY, point.y);
      const FT_Vector& next = outline.points[i == end ? start : i + 1];
      FT_Pos dx = next.x - point.x;
      FT_Pos dy = next.y - point.y;
      if (dx != 0 && dy != 0) return false;
      if (dx == 0 && dy == 0) continue;
      int axis = dx != 0 ? 0 : 1;
      int sign = (dx + dy) > 0 ? 1 : -1;
      if (axis == previousAxis && sign != previousSign) return false;
      if (firstAxis < 0) {
        firstAxis = axis;
        firstSign = sign;
      }
      previousAxis = axis;
      previousSign = sign;
    }
    if (previousAxis == firstAxis && previousSign != firstSign) return false;
    if (minX == maxX || minY == maxY) return false;
    start = end + 1;
  }
  return true;
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

// Cell metrics in pixels: the baseline lies `ascent` rows below the cell's top.
struct CellMetrics {
  int ascent = 0;
  int descent = 0;
  int height() const { return ascent + descent; }
};

// A horizontal line (underline, strike-out): its top row relative to the baseline (positive
// downwards) and its thickness in rows.
struct LineMetrics {
  int top = 0;
  int thickness = 1;
};

class FreeTypeCanvas final : public FontCanvas {
 public:
  FreeTypeCanvas(LibraryHandle library, FaceHandle face, const FontSpec& fontSpec,
                 std::u16string family, bool embolden, const FT_Matrix* matrix)
      : library_(std::move(library)),
        face_(std::move(face)),
        family_(std::move(family)),
        path_(),
        underline_(fontSpec.underline),
        strikeOut_(fontSpec.strikeOut),
        embolden_(embolden),
        keepThinStems_(FT_IS_SFNT(face_.get()) && !HasHintingProgram(face_.get())),
        pixels_(static_cast<size_t>(kSize) * kSize, kBackground) {
    SelectCharmap();
    SetCellHeight(fontSpec.cellHeight);
    if (matrix != nullptr &&
        (matrix->xy != 0 || matrix->yx != 0 || matrix->xx != 0x10000 || matrix->yy != 0x10000)) {
      matrix_ = *matrix;
      transformed_ = true;
      FT_Set_Transform(face_.get(), &matrix_, nullptr);
    }
    SetLineMetrics();
  }

  void SetPath(std::string path) { path_ = std::move(path); }

  TextExtent MeasureCharacter(char16_t unit) override {
    LoadUnit(unit);
    return TextExtent{advance_, static_cast<uint32_t>(cell_.height())};
  }

  void DrawCharacter(char16_t unit) override {
    LoadUnit(unit);
    const int32_t right = 1 + static_cast<int32_t>(advance_);
    const int32_t bottom = 1 + cell_.height();
    for (int32_t y = 1; y < bottom && y < kSize; ++y) FillRow(pixels_, y, 1, right, kBackground);
    BlitGlyph();
    const int32_t baseline = 1 + cell_.ascent;
    if (underline_) DrawLine(underlineLine_, baseline, right);
    if (strikeOut_) DrawLine(strikeLine_, baseline, right);
  }

  Colour ReadPixel(int32_t x, int32_t y) const override {
    if (x < 0 || y < 0 || x >= kSize || y >= kSize) return kOutside;
    return pixels_[static_cast<size_t>(y) * kSize + x];
  }

  void ReadPixelRow(int32_t x, int32_t y, int32_t count, Colour* out) const override {
    CopyPixelRow(pixels_.data(), kSize, kSize, kOutside, x, y, count, out);
  }

  Colour InkColour() const override { return kInk; }

  bool HasGlyph(char32_t codePoint) const override { return GlyphIndex(codePoint) != 0; }
  std::u16string ResolvedFamily() const override { return family_; }
  std::string ResolvedPath() const override { return path_; }

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

  // Scalable faces: the cell is exactly `height` rows, split like usWinAscent : usWinDescent, and
  // the em is what makes ascent + descent fill it, rounded to whole pixels as Windows rounds it.
  // Faces with bitmap strikes only: the strike nearest in height, smaller on a tie.
  void SetCellHeight(int height) {
    FT_Face face = face_.get();
    if (FT_IS_SCALABLE(face)) {
      long ascent = 0;
      long descent = 0;
      auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
      auto* hhea = static_cast<TT_HoriHeader*>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA));
      if (os2 != nullptr && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
        ascent = os2->usWinAscent;
        descent = os2->usWinDescent;
      } else if (hhea != nullptr && hhea->Ascender - hhea->Descender > 0) {
        ascent = hhea->Ascender;
        descent = -hhea->Descender;
      } else if (face->ascender - face->descender > 0) {
        ascent = face->ascender;
        descent = -face->descender;
      } else {
        ascent = face->units_per_EM * 4 / 5;
        descent = face->units_per_EM - ascent;
      }
      double total = static_cast<double>(ascent + descent);
      long ppem = std::lround(height * static_cast<double>(face->units_per_EM) / total);
      FT_Error error = FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(std::max(ppem, 1L)));
      if (error != 0) {
        throw UserError("cannot set the font to a cell height of " + std::to_string(height) +
                        " pixels: " + DescribeFreeTypeError(error));
      }
      cell_.ascent = static_cast<int>(std::lround(height * ascent / total));
      cell_.descent = height - cell_.ascent;
      return;
    }
    if (face->num_fixed_sizes <= 0) throw UserError("the font has neither outlines nor strikes");
    int best = 0;
    for (int i = 1; i < face->num_fixed_sizes; ++i) {
      int distance = std::abs(face->available_sizes[i].height - height);
      int bestDistance = std::abs(face->available_sizes[best].height - height);
      if (distance < bestDistance ||
          (distance == bestDistance &&
           face->available_sizes[i].height < face->available_sizes[best].height)) {
        best = i;
      }
    }
    FT_Error error = FT_Select_Size(face, best);
    if (error != 0) {
      throw UserError("cannot select the font's bitmap strike: " + DescribeFreeTypeError(error));
    }
    cell_.ascent = RoundPixels(face->size->metrics.ascender);
    cell_.descent = -RoundPixels(face->size->metrics.descender);
    if (cell_.height() <= 0) {
      cell_.ascent = face->available_sizes[best].height;
      cell_.descent = 0;
    }
  }

  // Underline and strike-out from the face's own positions; a face without them (bitmap fonts)
  // gets a line one row below the baseline and one a third of the ascent above it.
  void SetLineMetrics() {
    FT_Face face = face_.get();
    int thickness = std::max(1, (cell_.height() + 8) / 16);
    underlineLine_ = LineMetrics{std::min(1, cell_.descent - thickness), thickness};
    strikeLine_ = LineMetrics{-(cell_.ascent / 3) - thickness / 2, thickness};
    if (FT_IS_SCALABLE(face)) {
      FT_Fixed scale = face->size->metrics.y_scale;
      if (face->underline_thickness > 0) {
        FT_Pos size = FT_MulFix(face->underline_thickness, scale);
        FT_Pos centre = -FT_MulFix(face->underline_position, scale);  // downwards
        underlineLine_ =
            LineMetrics{RoundPixels(centre - size / 2), std::max(1, RoundPixels(size))};
      }
      auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
      if (os2 != nullptr && os2->version != 0xFFFF && os2->yStrikeoutSize > 0) {
        FT_Pos size = FT_MulFix(os2->yStrikeoutSize, scale);
        FT_Pos top = -FT_MulFix(os2->yStrikeoutPosition, scale);  // top edge, downwards
        strikeLine_ = LineMetrics{RoundPixels(top), std::max(1, RoundPixels(size))};
      }
    }
    ClampIntoCell(underlineLine_);
    ClampIntoCell(strikeLine_);
  }

  // Lines stay inside the cell, so the scan always sees them.
  void ClampIntoCell(LineMetrics& line) const {
    line.thickness = std::min(line.thickness, std::max(1, cell_.height()));
    line.top = std::min(line.top, cell_.descent - line.thickness);
    line.top = std::max(line.top, -cell_.ascent);
  }

  void DrawLine(const LineMetrics& line, int32_t baseline, int32_t right) {
    for (int row = 0; row < line.thickness; ++row) {
      FillRow(pixels_, baseline + line.top + row, 1, right, kInk);
    }
  }

  // Loads and renders one unit into the glyph slot, unless it is already there: the generation
  // pass measures each unit and then draws it.
  void LoadUnit(char16_t unit) {
    if (loaded_ && loadedUnit_ == unit) return;
    loaded_ = true;
    loadedUnit_ = unit;
    FT_Face face = face_.get();
    FT_UInt index = GlyphIndex(unit);
    // A character the face lacks is its glyph 0, as Windows draws it.
    FT_Error error = FT_Load_Glyph(face, index, FT_LOAD_TARGET_MONO);
    if (error != 0 && index != 0) error = FT_Load_Glyph(face, 0, FT_LOAD_TARGET_MONO);
    if (error != 0) {
      hasBitmap_ = false;
      advance_ = 0;
      return;
    }
    FT_GlyphSlot slot = face->glyph;
    FT_Pos advance = slot->advance.x;
    fromOutline_ = slot->format == FT_GLYPH_FORMAT_OUTLINE;
    gridOutline_ = false;
    boldBitmap_ = false;
    if (fromOutline_) {
      if (embolden_) {
        // Whole pixels, so the advance stays whole: about 1/24 of the em, at least one pixel.
        FT_Pos strength = std::max<FT_Pos>(64, (face->size->metrics.y_ppem * 64 / 24 + 32) & ~63);
        FT_Outline_EmboldenXY(&slot->outline, strength, 0);
        advance += strength;
      }
      // An outline on the pixel grid (pixel fonts such as Unifont, whose glyphs are made of many
      // small squares) is filled here, exactly as the monochrome rasteriser fills it and many
      // times faster; everything else goes through FreeType's monochrome rasteriser.
      gridOutline_ = IsOnPixelGrid(slot->outline);
      if (keepThinStems_ && (slot->outline.flags & FT_OUTLINE_IGNORE_DROPOUTS) != 0) {
        // The dropout control unhinted outlines get, so thin strokes stay.
        slot->outline.flags &= ~FT_OUTLINE_IGNORE_DROPOUTS;
        slot->outline.flags |= FT_OUTLINE_SMART_DROPOUTS;
      }
      if (!gridOutline_) error = FT_Render_Glyph(slot, FT_RENDER_MODE_MONO);
    } else if (embolden_) {
      boldBitmap_ = true;  // bitmaps are widened by one pixel while they are drawn
      advance += 64;
    }
    hasBitmap_ = error == 0 && !gridOutline_ && slot->format == FT_GLYPH_FORMAT_BITMAP;
    advance_ = static_cast<uint32_t>(std::max(0, RoundPixels(advance)));
  }

  // Draws the slot's bitmap in ink, clipped to the canvas. Bitmap glyphs (strikes) get the
  // synthetic italic and bold here, since FreeType transforms and emboldens outlines only.
  // Fills a grid outline by the non-zero winding rule: each vertical edge adds its direction at
  // its column for every row it spans, and a running sum along each row is the winding number of
  // each pixel's centre. Horizontal edges cross no pixel centre's row ray and count for nothing.
  void FillGridOutline() {
    const FT_Outline& outline = face_->glyph->outline;
    if (outline.n_points == 0) return;
    FT_Pos minX = outline.points[0].x, maxX = minX, minY = outline.points[0].y, maxY = minY;
    for (int i = 1; i < outline.n_points; ++i) {
      minX = std::min(minX, outline.points[i].x);
      maxX = std::max(maxX, outline.points[i].x);
      minY = std::min(minY, outline.points[i].y);
      maxY = std::max(maxY, outline.points[i].y);
    }
    const int32_t left = static_cast<int32_t>(minX >> 6);
    const int32_t top = static_cast<int32_t>(maxY >> 6);
    const int32_t width = static_cast<int32_t>((maxX - minX) >> 6);
    const int32_t height = static_cast<int32_t>((maxY - minY) >> 6);
    const int32_t stride = width + 1;
    windings_.assign(static_cast<size_t>(stride) * height, 0);
    int start = 0;
    for (int contour = 0; contour < outline.n_contours; ++contour) {
      const int end = outline.contours[contour];
      for (int i = start; i <= end; ++i) {
        const FT_Vector& from = outline.points[i];
        const FT_Vector& to = outline.points[i == end ? start : i + 1];
        if (from.x != to.x || from.y == to.y) continue;
        const int32_t column = static_cast<int32_t>(from.x >> 6) - left;
        const int direction = to.y > from.y ? 1 : -1;
        // Rows counted downwards from the outline's top edge.
        int32_t firstRow = top - static_cast<int32_t>(std::max(from.y, to.y) >> 6);
        int32_t lastRow = top - static_cast<int32_t>(std::min(from.y, to.y) >> 6);
        for (int32_t row = firstRow; row < lastRow; ++row) {
          windings_[static_cast<size_t>(row) * stride + column] += direction;
        }
      }
      start = end + 1;
    }
    const int32_t baseline = 1 + cell_.ascent;
    for (int32_t row = 0; row < height; ++row) {
      const int32_t y = baseline - top + row;
      if (y < 0 || y >= kSize) continue;
      Colour* target = pixels_.data() + static_cast<size_t>(y) * kSize;
      int winding = 0;
      for (int32_t column = 0; column < width; ++column) {
        winding += windings_[static_cast<size_t>(row) * stride + column];
        const int32_t x = 1 + left + column;
        if (winding != 0 && x >= 0 && x < kSize) target[x] = kInk;
      }
    }
  }

  void BlitGlyph() {
    if (gridOutline_) {
      FillGridOutline();
      return;
    }
    if (!hasBitmap_) return;
    FT_GlyphSlot slot = face_->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    if (bitmap.rows == 0 || bitmap.width == 0 || bitmap.buffer == nullptr) return;
    const bool mono = bitmap.pixel_mode == FT_PIXEL_MODE_MONO;
    if (!mono && bitmap.pixel_mode != FT_PIXEL_MODE_GRAY) return;
    const bool shearHere = transformed_ && !fromOutline_;
    const int32_t baseline = 1 + cell_.ascent;
    const int32_t originX = 1 + slot->bitmap_left;
    const int32_t originY = baseline - slot->bitmap_top;
    const int32_t width = static_cast<int32_t>(bitmap.width);
    const int32_t rows = static_cast<int32_t>(bitmap.rows);
    const int32_t pitch = bitmap.pitch;
    for (int32_t row = 0; row < rows; ++row) {
      const int32_t y = originY + row;
      if (y < 0 || y >= kSize) continue;
      const unsigned char* line =
          pitch >= 0 ? bitmap.buffer + row * pitch : bitmap.buffer + (rows - 1 - row) * -pitch;
      int32_t shift = 0;
      if (shearHere) {
        shift = static_cast<int32_t>(std::lround((baseline - y - 0.5) * matrix_.xy / 65536.0));
      }
      Colour* target = pixels_.data() + static_cast<size_t>(y) * kSize;
      for (int32_t column = 0; column < width; ++column) {
        bool ink = mono ? (line[column >> 3] >> (7 - (column & 7))) & 1 : line[column] >= 128;
        if (!ink) continue;
        int32_t x = originX + column + shift;
        if (x >= 0 && x < kSize) target[x] = kInk;
        if (boldBitmap_ && x + 1 >= 0 && x + 1 < kSize) target[x + 1] = kInk;
      }
    }
  }

  LibraryHandle library_;  // declared before the face, so the face is released first
  FaceHandle face_;
  std::u16string family_;
  std::string path_;
  bool underline_;
  bool strikeOut_;
  bool embolden_;
  bool keepThinStems_;  // a TrueType face without a hinting program: see HasHintingProgram
  bool symbolCharmap_ = false;
  bool transformed_ = false;
  FT_Matrix matrix_{0x10000, 0, 0, 0x10000};
  CellMetrics cell_;
  LineMetrics underlineLine_;
  LineMetrics strikeLine_;
  std::vector<Colour> pixels_;
  bool loaded_ = false;
  char16_t loadedUnit_ = 0;
  bool hasBitmap_ = false;
  bool fromOutline_ = false;
  bool gridOutline_ = false;
  std::vector<int> windings_;  // reused by every grid outline
  bool boldBitmap_ = false;
  uint32_t advance_ = 0;
};

void CheckFontFileReadable(const std::string& path) {
  struct stat status;
  if (stat(path.c_str(), &status) != 0) {
    throw UserError("cannot open font file \"" + path + "\": " + std::strerror(errno));
  }
  if (S_ISDIR(status.st_mode)) {
    throw UserError("cannot open font file \"" + path + "\": it is a directory");
  }
  int descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) {
    throw UserError("cannot open font file \"" + path + "\": " + std::strerror(errno));
  }
  close(descriptor);
}

FT_Fixed ToFixed(double value) {
  return static_cast<FT_Fixed>(std::lround(value * 65536.0));
}

}  // namespace

std::unique_ptr<FontCanvas> FontCanvas::Open(const FontSpec& fontSpec) {
  if (fontSpec.cellHeight <= 0) {
    throw UserError("cell height " + std::to_string(fontSpec.cellHeight) +
                    ": must be at least 1 pixel");
  }
  FT_Library rawLibrary = nullptr;
  if (FT_Init_FreeType(&rawLibrary) != 0) throw UserError("cannot start the FreeType library");
  LibraryHandle library(rawLibrary);

  const bool fromFile = !fontSpec.filePath.empty();
  std::string path = fontSpec.filePath;
  int faceIndex = 0;
  std::u16string family;
  bool embolden = false;
  bool hasMatrix = false;
  FT_Matrix matrix{0x10000, 0, 0, 0x10000};
  if (fromFile) {
    CheckFontFileReadable(path);
  } else {
    ResolvedFace resolved = ResolveFace(fontSpec);
    path = resolved.path;
    faceIndex = resolved.faceIndex;
    family = resolved.family;
    embolden = resolved.embolden;
    if (resolved.hasMatrix) {
      hasMatrix = true;
      matrix = FT_Matrix{ToFixed(resolved.matrix[0]), ToFixed(resolved.matrix[1]),
                         ToFixed(resolved.matrix[2]), ToFixed(resolved.matrix[3])};
    }
  }

  FT_Face rawFace = nullptr;
  FT_Error error = FT_New_Face(library.get(), path.c_str(), faceIndex, &rawFace);
  if (error != 0) {
    throw UserError("cannot open font file \"" + path + "\": " + DescribeFreeTypeError(error));
  }
  FaceHandle face(rawFace);
  if (!FT_IS_SCALABLE(rawFace) && rawFace->num_fixed_sizes <= 0) {
    throw UserError("cannot open font file \"" + path + "\": it has neither outlines nor strikes");
  }
  if (fromFile) family = Latin1OrUtf8(rawFace->family_name);

  // Bold or italic that the face itself lacks is synthesised, as fontconfig asks for it.
  auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(rawFace, FT_SFNT_OS2));
  bool faceIsBold = (rawFace->style_flags & FT_STYLE_FLAG_BOLD) != 0 ||
                    (os2 != nullptr && os2->version != 0xFFFF && os2->usWeightClass >= 600);
  if (fontSpec.weight >= 600 && !faceIsBold) embolden = true;
  bool faceIsItalic = (rawFace->style_flags & FT_STYLE_FLAG_ITALIC) != 0;
  if (fontSpec.italic && !faceIsItalic && !hasMatrix) {
    hasMatrix = true;
    matrix = FT_Matrix{0x10000, ToFixed(kObliqueShear), 0, 0x10000};
  }

  auto canvas =
      std::make_unique<FreeTypeCanvas>(std::move(library), std::move(face), fontSpec,
                                       std::move(family), embolden, hasMatrix ? &matrix : nullptr);
  canvas->SetPath(path);
  return canvas;
}

}  // namespace pindot
