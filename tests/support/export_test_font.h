// The fixed font, sample and settings the export tests share, drawn as ASCII pictures.
#pragma once

#include <cstdlib>
#include <filesystem>

#include "ascii_canvas.h"
#include "output/exporter.h"

namespace pindot::testing {

// At width 10 the thin table is declared 5 wide, the wide one 10; unknown characters are blank.
inline AsciiCanvas MakeTestFont() {
  AsciiCanvas canvas(7);
  canvas.SetMissingWidth(5);
  canvas.SetGlyph(u'i', {".#.", "...", "##.", ".#.", ".#.", "###", "..."});
  canvas.SetGlyph(u'j', {"..#.", "....", ".##.", "..#.", "..#.", "..#.", "##.."});
  canvas.SetGlyph(u'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "....."});
  canvas.SetGlyph(u'"', {"#.#", "#.#", "...", "...", "...", "...", "..."});
  canvas.SetGlyph(u'\\', {"#....", ".#...", "..#..", "...#.", "....#", ".....", "....."});
  canvas.SetGlyph(u'\n', {"..#", "..#", "#.#", "###", "#..", "...", "..."});
  canvas.SetGlyph(u'\u00e9', {"..#.", ".#..", ".##.", "#..#", "####", "#...", ".###"});
  canvas.SetGlyph(u'\u20ac', {"..###", ".#...", "####.", ".#...", "####.", ".#...", "..###"});
  canvas.SetGlyph(u'\u4e2d', {"....##....", "#########.", "#...##..#.", "#...##..#.", "#########.",
                              "....##....", "....##...."});
  canvas.SetGlyph(u'\u56fd', {"##########", "#........#", "#.######.#", "#...##...#", "#.######.#",
                              "#........#", "##########"});
  return canvas;
}

// Thin and wide glyphs, a repeat, a quote, a backslash, a line break, letters the code pages hold
// differently (e in 936 and 1252, the euro sign, CJK only in 936); x and CR have no picture.
inline const std::u16string kTestSample = u"Aij\"\\\u4e2d\u00e9\r\n\u56fd\u20acjx";

// Draws `sample` with the test font at width `width`, height 7, and exports it as `path` as the
// command line does (Generate, then ExportGeneratedFiles); gives "path: reason" for each file that
// was not written.
inline std::string ExportTestFont(Generator& generator, std::u16string_view sample,
                                  const std::string& path, bool sortByUnicode = true,
                                  uint32_t width = 10,
                                  const FileSystemCalls& calls = FileSystemCalls::System(),
                                  const DataTextOptions& options = {}) {
  generator.Settings().width = width;
  generator.Settings().height = 7;
  generator.Settings().sortByUnicode = sortByUnicode;
  AsciiCanvas canvas = MakeTestFont();
  NoProgress progress;
  generator.Generate(sample, canvas, progress);
  std::string failures;
  for (const ExportFailure& failure :
       ExportGeneratedFiles(generator, path, progress, options, calls).failures)
    failures += failure.path + ": " + failure.reason + "\n";
  return failures;
}

// A new folder under the system's temporary folder, removed with its contents.
struct TempFolder {
  std::string pattern = (std::filesystem::temp_directory_path() / "pindot-XXXXXX").string();
  std::filesystem::path path = mkdtemp(pattern.data());
  ~TempFolder() { std::filesystem::remove_all(path, ignored); }
  std::error_code ignored;
  std::string operator/(const std::string& name) const { return (path / name).string(); }
};

}  // namespace pindot::testing
