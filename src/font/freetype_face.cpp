#include "font/freetype_face.h"

#include FT_MODULE_H
#include FT_TRUETYPE_TABLES_H
#include FT_TRUETYPE_TAGS_H

#include <cmath>
#include <cstdlib>
#include <vector>

#include "base/user_error.h"
#include "font/font_lookup.h"
#include "text/utf.h"

namespace pindot {

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

void LibraryDeleter::operator()(FT_Library library) const {
  FT_Done_Library(library);
  delete heap;
}

namespace {

// The shear fontconfig uses for a synthetic oblique, used when the face file is given directly.
constexpr double kObliqueShear = 0.2;

FT_Fixed ToFixed(double value) {
  return static_cast<FT_Fixed>(std::lround(value * 65536.0));
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

}  // namespace

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

bool HasHintingProgram(FT_Face face) {
  for (FT_ULong tag : {TTAG_fpgm, TTAG_prep}) {
    FT_ULong length = 0;
    if (FT_Load_Sfnt_Table(face, tag, 0, nullptr, &length) == 0 && length > 0) return true;
  }
  return false;
}

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

void CopyOutline(const FT_Outline& source, Outline& target) {
  target.points.resize(static_cast<size_t>(std::max<int>(source.n_points, 0)));
  for (size_t i = 0; i < target.points.size(); ++i) {
    target.points[i] = OutlinePoint{source.points[i].x, source.points[i].y,
                                    FT_CURVE_TAG(source.tags[i]) == FT_CURVE_TAG_ON};
  }
  target.contourEnds.assign(source.contours, source.contours + std::max<int>(source.n_contours, 0));
}

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

FaceSetup LookUpFace(const FontRequest& fontRequest) {
  FaceSetup setup;
  setup.path = fontRequest.filePath;
  if (!fontRequest.filePath.empty()) return setup;
  FaceMatch resolved = ResolveFace(fontRequest);
  setup.path = resolved.path;
  setup.faceIndex = resolved.faceIndex;
  setup.family = resolved.family;
  setup.embolden = resolved.embolden;
  if (resolved.hasMatrix) {
    setup.matrix = FT_Matrix{ToFixed(resolved.matrix[0]), ToFixed(resolved.matrix[1]),
                             ToFixed(resolved.matrix[2]), ToFixed(resolved.matrix[3])};
  }
  setup.namedFaceMetrics = resolved.namedFaceMetrics;
  return setup;
}

void AddSyntheticStyles(FT_Face face, const FontRequest& fontRequest, FaceSetup& setup) {
  if (!fontRequest.filePath.empty()) setup.family = Latin1OrUtf8(face->family_name);
  auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  const bool faceIsBold =
      (face->style_flags & FT_STYLE_FLAG_BOLD) != 0 ||
      (os2 != nullptr && os2->version != 0xFFFF && os2->usWeightClass >= kSemiBoldWeight);
  if (fontRequest.weight >= kSemiBoldWeight && !faceIsBold) setup.embolden = true;
  const bool faceIsItalic = (face->style_flags & FT_STYLE_FLAG_ITALIC) != 0;
  if (fontRequest.italic && !faceIsItalic && !setup.matrix) {
    setup.matrix = FT_Matrix{0x10000, ToFixed(kObliqueShear), 0, 0x10000};
  }
}

}  // namespace pindot
