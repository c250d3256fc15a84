// A font of glyphs that each have a box of their own, as proportional formats write it, and the
// table of those formats.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "glyph/ink_glyph.h"
#include "output/c_source_text.h"

namespace pindot {

// One font to write: glyphs in ascending code order, each code once, all at one depth.
struct InkFont {
  std::string name;         // the C name the format declares (a C identifier), if it has one
  std::string description;  // one line for a file's opening comment: face and size
  FaceLines lines;
  uint8_t bpp = 1;
  std::vector<InkGlyph> glyphs;
  std::string headerName;  // for a format with a header: its file name as the source includes it
};

// A format that writes one file from an InkFont, or a header and a source. EXFONT is no row: its
// pair comes from its templates.
struct InkFontFormat {
  std::string_view name;       // as --format and the manifest's `format` take it
  std::string_view extension;  // of the file -o PATH makes: PATH's title with it
  bool needsName;              // the file declares a C name, given by --name
  bool binary;                 // bytes, never printed on standard output
  std::string (*write)(const InkFont& font);
  // Instead of `write`, for a format whose source goes with a header (PATH.h beside it, included
  // as InkFont::headerName): both, made at once.
  SourcePair (*writePair)(const InkFont& font) = nullptr;
  bool oneBit = false;  // its glyphs have no grey levels: --bpp 1 only
  // Its glyphs are EXFONT's cells, from the run's tables (keyed as --sort says), not ink boxes;
  // neither writer is used.
  bool cells = false;
};

// Every such format, in the order the help lists them.
const std::vector<InkFontFormat>& InkFontFormats();
// Null for a name no row has (among them "exfont").
const InkFontFormat* FindInkFontFormat(std::string_view name);

}  // namespace pindot
