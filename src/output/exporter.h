// Export: Generate, fill the header and source templates, write both files in the code page.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "glyph/generator.h"
#include "output/file_writer.h"

namespace pindot {

// Paths as a save chooser yields them: "out/song16.txt" -> title "song16", "out/song16.h" and
// "out/song16.c"; a name without extension gets ".h" and ".c" appended.
// A name ending in a dot ("song16.") gives "song16.h", the file the source includes. Throws
// UserError for a path that names no file ("out/", "", "out/..") or is not UTF-8.
struct ExportPaths {
  std::u16string fileTitle;
  std::string headerPath;
  std::string sourcePath;
};
ExportPaths DeriveExportPaths(const std::string& fullPath);

// The source text in the code page. A double-byte character whose second byte is 0x5C (a backslash,
// as with U+4E57 in code page 936 or U+529F in 950) would escape the closing quote of
// EX_FONT_CHAR("...") for a compiler that reads the file byte by byte; inside that literal such a
// character is written as octal escapes of its two bytes, which every compiler reads alike (the
// macro drops the string anyway).
void EncodeSourceText(std::u16string_view text, const CodePage& codePage, std::string& out);

struct ExportFailure {
  std::string path;
  std::string reason;  // in words, e.g. "Permission denied"
};

struct ExportReport {
  ExportPaths paths;
  std::vector<ExportFailure> failures;  // empty when both files were written
};

// Runs a full Generate first and writes the font data text, then writes the header, then the
// source through FileReplacement (missing folders are created), holding a FolderLock on their
// folders so that two runs exporting the same pair never leave one's header beside the other's
// source. A file that cannot be written is reported and leaves any previous file of that name
// untouched; the other file is still written.
ExportReport ExportFontFiles(Generator& generator, std::u16string_view sampleText,
                             GlyphCanvas& canvas, ProgressIndicator& progress,
                             const std::string& fullPath);
// The same with the system calls of the file writing replaced (tests act out a full disk).
ExportReport ExportFontFiles(Generator& generator, std::u16string_view sampleText,
                             GlyphCanvas& canvas, ProgressIndicator& progress,
                             const std::string& fullPath, const FileSystemCalls& calls);

// The part of an export after Generate, for a front end that has just generated and written the
// font data text: fills the templates from the generator's settings and that text and writes both
// files.
ExportReport ExportGeneratedFiles(const Generator& generator, std::u16string_view fontDataText,
                                  const std::string& fullPath,
                                  const FileSystemCalls& calls = FileSystemCalls::System());

struct ExportTexts {
  std::u16string headerText;
  std::u16string sourceText;
};
// The two texts as they are written (before the code page): height H, thin width (W + 1) >> 1
// (the width the font data text declares the thin table with), wide width W, "ansi" when the keys
// are ANSI, and the source adapted to an empty thin or wide list.
ExportTexts BuildExportTexts(const Generator& generator, std::u16string_view fontDataText,
                             std::u16string_view fileTitle);

// A glyph whose bytes do not fit the cell its table declares (proportional fonts): other than
// ((w + 7) >> 3) x H bytes, w being (W + 1) >> 1 for the thin table and W for the wide one. More
// bytes are cut off by the compiler; fewer mean shorter rows than the library steps by, as with an
// "i" of 8 pixels in the 16-pixel thin cell of a 32-pixel font. Glyphs without bytes fit (they
// draw blank). Such a glyph is exported as it is; front ends warn. In table order, thin first.
struct OversizedGlyph {
  std::u16string character;
  bool inThinTable = true;
};
std::vector<OversizedGlyph> FindOversizedGlyphs(const Generator& generator);

}  // namespace pindot
