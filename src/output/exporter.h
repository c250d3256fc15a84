// Export: Generate, fill the header and source templates, write both files in the code page.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "glyph/generator.h"

namespace pindot {

// Paths as a save chooser yields them: "out/song16.txt" -> title "song16", "out/song16.h" and
// "out/song16.c"; a name without extension gets ".h" and ".c" appended. Folders are never touched.
struct ExportPaths {
  std::u16string fileTitle;
  std::string headerPath;
  std::string sourcePath;
};
ExportPaths DeriveExportPaths(const std::string& fullPath);

struct ExportFailure {
  std::string path;
  std::string reason;  // in words, e.g. "Permission denied"
};

struct ExportReport {
  ExportPaths paths;
  std::vector<ExportFailure> failures;  // empty when both files were written
};

// Runs a full Generate first, then writes the header, then the source. A file that cannot be
// written is reported and leaves any previous file of that name untouched; the other file is still
// written.
ExportReport ExportFontFiles(Generator& generator, std::u16string_view sampleText,
                             GlyphCanvas& canvas, ProgressIndicator& progress,
                             const std::string& fullPath);

// A glyph whose bytes do not fit the cell its table declares (proportional fonts).
struct OversizedGlyph {
  std::u16string character;
  bool inThinTable = true;
};
std::vector<OversizedGlyph> FindOversizedGlyphs(const Generator& generator);

}  // namespace pindot
