#include "font/font_canvas.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_BITMAP_H
#include FT_OUTLINE_H

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <vector>

#include "base/user_error.h"
#include "font/canvas_ink.h"
#include "font/cell_metrics.h"
#include "font/font_file.h"
#include "font/freetype_face.h"
#include "font/grey_glyph.h"
#include "font/grid_outline.h"
#include "glyph/ink_scan.h"
#include "text/number_text.h"
#include "text/utf.h"

namespace pindot {

namespace {

constexpr int32_t kSize = CanvasInk::kSize;
// Outlines up to this many pixels each way are rendered whole, as FreeType renders them (a bitmap
// of at most 2 MB); larger ones, which only hostile fonts have since cells are at most 1000 pixels
// high, only within kRenderMargin pixels of the canvas (see RenderOutline).
constexpr int64_t kWholeRenderLimit = 4096;
constexpr int64_t kRenderMargin = kSize;

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

class FreeTypeCanvas final : public FontCanvas {
 public:
  FreeTypeCanvas(std::shared_ptr<const FontFile> file, LibraryHandle library, FaceHandle face,
                 const FontRequest& fontRequest, const FaceSetup& setup, PlainGlyphs plainGlyphs)
      : file_(std::move(file)),
        library_(std::move(library)),
        face_(std::move(face)),
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
    ink_.emplace(plainGlyphs == PlainGlyphs::kPacked && !underline_ && !strikeOut_ && !embolden_ &&
                 !transformed_);
  }

  TextExtent MeasureCharacter(char16_t unit) override {
    return TextExtent{Load(unit).advance, static_cast<uint32_t>(cell_.height())};
  }

  void DrawCharacter(char16_t unit) override {
    LoadedGlyph& glyph = Load(unit);
    const int32_t right = 1 + static_cast<int32_t>(glyph.advance);
    const int32_t bottom = 1 + cell_.height();
    ink_->Clear(GlyphCell{1, 1, right, bottom});
    const int32_t baseline = 1 + cell_.ascent;
    if (glyph.image == LoadedGlyph::Image::kGridOutline && !FillGridOutline(baseline)) {
      // A stroke collapsed to no width: the rasteriser's dropout control decides its pixels.
      glyph.image = LoadedGlyph::Image::kOutline;
    }
    if (glyph.image == LoadedGlyph::Image::kOutline) RenderOutline(glyph, baseline);
    if (glyph.image == LoadedGlyph::Image::kRendered) {
      ink_->Blit(rendered_, 0, baseline, false);
    } else if (glyph.image == LoadedGlyph::Image::kStrikeBitmap) {
      FT_GlyphSlot slot = face_->glyph;
      const FT_Bitmap& bitmap = slot->bitmap;
      if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO || bitmap.pixel_mode == FT_PIXEL_MODE_GRAY) {
        // FreeType transforms and emboldens outlines only: a strike is sheared and widened here.
        ink_->Blit(BitmapView{bitmap.buffer, static_cast<int32_t>(bitmap.width),
                              static_cast<int32_t>(bitmap.rows), bitmap.pitch,
                              bitmap.pixel_mode == FT_PIXEL_MODE_MONO, 1 + slot->bitmap_left,
                              baseline - slot->bitmap_top},
                   transformed_ ? matrix_.xy / 65536.0 : 0, baseline, glyph.widen);
      }
    }
    if (underline_) DrawLine(underlineLine_, baseline, right);
    if (strikeOut_) DrawLine(strikeLine_, baseline, right);
  }

  Colour ReadPixel(int32_t x, int32_t y) const override { return ink_->ReadPixel(x, y); }
  void ReadPixelRow(int32_t x, int32_t y, int32_t count, Colour* out) const override {
    ink_->ReadPixelRow(x, y, count, out);
  }
  bool ReadPackedCell(const GlyphCell& cell, std::vector<uint8_t>& bytes) const override {
    return ink_->ReadPackedCell(cell, bytes);
  }

  Colour InkColour() const override { return CanvasInk::kInk; }

  // The same face of the same mapped file in a library of its own, set up as Open set up this one,
  // without asking fontconfig again.
  std::unique_ptr<GlyphCanvas> Clone() const override {
    LibraryHandle library = NewLibrary();
    FaceHandle face = OpenFace(library, *file_, setup_.faceIndex, setup_.path);
    return std::make_unique<FreeTypeCanvas>(file_, std::move(library), std::move(face),
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
    ink_->Clear(region);
    const auto advance = static_cast<int32_t>(glyph.advance);
    DrawCharacter(unit);
    return ScanInk(*this, CanvasInk::kInk, region, 1, baseline, 1, advance);
  }

  bool FillGridOutline(int32_t baseline) {
    return ink_->FillGridOutline(gridFiller_, outline_, 1, baseline);
  }

  void DrawLine(const LineMetrics& line, int32_t baseline, int32_t right) {
    for (int row = 0; row < line.thickness; ++row) {
      ink_->InkRow(baseline + line.top + row, 1, right);
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
    rendered_.pitch = static_cast<int32_t>(RowBytesOf(static_cast<uint32_t>(rendered_.width)));
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

  // Declared in this order, so the face is released first, then the library, then the file (which
  // the canvas's clones share: FreeType only reads it).
  std::shared_ptr<const FontFile> file_;
  LibraryHandle library_;
  FaceHandle face_;
  // What the canvas was opened with, also for its clones.
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
  std::optional<CanvasInk> ink_;
  std::optional<LoadedGlyph> glyph_;
  Outline outline_;  // the loaded glyph's outline, for the grid filler
  GridOutlineFiller gridFiller_;
  BitmapView rendered_;  // an outline rendered by RenderOutline, in renderedBits_
  std::vector<unsigned char> renderedBits_;
};

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
  FaceSetup setup = LookUpFace(fontRequest);
  auto file = std::make_shared<const FontFile>(FontFile::Open(setup.path));
  FaceHandle face = OpenFace(library, *file, setup.faceIndex, setup.path);
  if (!FT_IS_SCALABLE(face.get()) && face->num_fixed_sizes <= 0) {
    throw FontFileError(setup.path, "it has neither outlines nor strikes");
  }
  AddSyntheticStyles(face.get(), fontRequest, setup);
  return std::make_unique<FreeTypeCanvas>(std::move(file), std::move(library), std::move(face),
                                          fontRequest, setup, plainGlyphs);
}

}  // namespace pindot
