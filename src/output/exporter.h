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
// UserError for a path that names no file ("out/", "", "out/..") or is not UTF-8, and for a title
// that cannot stand inside #include "...": a double quote, a backslash or a control character.
struct ExportPaths {
  std::u16string fileTitle;
  std::string headerPath;
  std::string sourcePath;
  std::string headerName;  // the header's file name as the file system spells it: "song16.h"
};
ExportPaths DeriveExportPaths(const std::string& fullPath);

// The source text in the code page. Inside the literal of EX_FONT_CHAR("..."), a character any of
// whose bytes is 0x5C (a backslash) or 0x22 (a quote) would end or break the literal for a compiler
// that reads the file byte by byte: CP932 writes U+00A5 as the single byte 0x5C, CP936 writes
// U+4E57 as 81 5C. Such a character is written as octal escapes of all its bytes, which every
// compiler reads alike (the macro drops the string anyway).
void EncodeSourceText(std::u16string_view text, const CodePage& codePage, std::string& out);

// The source's bytes: its first line, #include "<title>.h", names the header exactly as the file
// system spells it (the title's own bytes, so a title outside ASCII still finds its header); the
// rest in the code page, as EncodeSourceText writes it.
void EncodeExportedSource(std::u16string_view sourceText, std::string_view headerName,
                          const CodePage& codePage, std::string& out);

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

}  // namespace pindot
