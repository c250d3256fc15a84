// FreeType's side of the canvas: a library on a capped heap, a face opened from a font file in
// memory, set to the size asked for, and its metrics and lines in the canvas's terms.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstddef>
#include <memory>
#include <optional>
#include <string>

#include "font/cell_metrics.h"
#include "font/font_file.h"
#include "font/font_request.h"
#include "font/grid_outline.h"

namespace pindot {

// FreeType's memory for one canvas, capped (see freetype_face.cpp).
class FreeTypeHeap;

// Owns the heap too, which goes after the library.
struct LibraryDeleter {
  FreeTypeHeap* heap = nullptr;
  void operator()(FT_Library library) const;
};
struct FaceDeleter {
  void operator()(FT_Face face) const { FT_Done_Face(face); }
};
using LibraryHandle = std::unique_ptr<FT_LibraryRec_, LibraryDeleter>;
using FaceHandle = std::unique_ptr<FT_FaceRec_, FaceDeleter>;

// A FreeType library of its own, on a heap of its own: one per canvas, so canvases on different
// threads share no FreeType object.
LibraryHandle NewLibrary();

// Face `faceIndex` of a font file read into memory, opened in `library`. Throws FontFileError
// naming `path`.
FaceHandle OpenFace(const LibraryHandle& library, const FontFile& file, int faceIndex,
                    const std::string& path);

// FreeType's error codes in words, for the messages a user reads.
std::string DescribeFreeTypeError(FT_Error error);

// How a face is to be drawn, besides the face itself: what the lookup chose, and the styles the
// face lacks, synthesised as fontconfig asks for them.
struct FaceSetup {
  std::u16string family;  // the name reported as the face really used
  std::string path;
  int faceIndex = 0;
  bool embolden = false;                            // synthetic bold
  std::optional<FT_Matrix> matrix;                  // synthetic italic
  std::optional<VerticalMetrics> namedFaceMetrics;  // a stand-in's: see FaceMatch
};

// The file and face to open for a request: the lookup's match, or the request's own file.
FaceSetup LookUpFace(const FontRequest& fontRequest);
// Completes the setup once the face is open: the family of a face given as a file, and the
// synthetic bold and italic the face lacks.
void AddSyntheticStyles(FT_Face face, const FontRequest& fontRequest, FaceSetup& setup);

// Whether a face carries a TrueType hinting program. One without never switches the rasteriser's
// dropout control on, so strokes thinner than a pixel vanish when it is hinted (WenQuanYi Zen Hei
// loses the upright of U+4E2D at 13 pixels).
bool HasHintingProgram(FT_Face face);

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
                 const std::optional<VerticalMetrics>& namedFaceMetrics);

// The face's underline and strike-out at its current size; bitmap fonts give neither.
std::optional<FaceLine> FaceUnderline(FT_Face face);
std::optional<FaceLine> FaceStrikeOut(FT_Face face);

// FreeType's outline in the grid filler's terms.
void CopyOutline(const FT_Outline& source, Outline& target);

}  // namespace pindot
