// What the pindot command's options ask for, from its command line or from a manifest's [[font]].
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace pindot {

// What the options asked for, before anything is opened or read.
struct CommandOptions {
  std::optional<std::string> fontName;  // --font
  std::optional<std::string> fontFile;  // --font-file
  std::optional<int> size;              // --size, 1..1000: the cell height (16 when not given)
  std::optional<int> emSize;            // --em-size: the em height instead, as a chooser gives
  std::optional<int> width;             // --width: the wide cell's width instead of the measured
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  std::optional<std::string> text;         // --text, UTF-8 as given
  std::optional<std::string> textFile;     // --text-file
  std::vector<std::string> ranges;         // --range, in the order given
  std::vector<std::string> charsets;       // --charset, in the order given
  std::optional<std::string> exclude;      // --exclude: characters taken out of the sample
  std::vector<std::string> excludeRanges;  // --exclude-range, as --range
  std::string sort = "unicode";            // --sort unicode|ansi
  std::optional<unsigned> codePage;        // --codepage
  bool preview = false;                    // --preview
  bool data = false;                       // --data
  bool constTables = false;                // --const: tables declared const, kept in flash
  bool verbose = false;                    // --verbose: warnings name every character
  bool strict = false;                     // --strict: any character lost fails the run
  std::optional<std::string> output;       // -o, --output: export to the pair derived from PATH
  std::optional<std::string> sheet;        // --sheet: a PNG picture of every entry
  std::optional<int> sheetZoom;            // --sheet-zoom: picture pixels a side per glyph pixel
  std::string format = "exfont";           // --format: exfont, or a row of InkFontFormats()
  int bpp = 1;                             // --bpp: 1, 2, 4 or 8 bits per pixel (not for exfont)
  std::optional<std::string> name;         // --name: every C name made from it, a C identifier
  std::string layout = "rows-msb";         // --layout: raw's byte layout (output/raw_font.h)
  int rotate = 0;                          // --rotate: raw's clockwise turn, 0, 90, 180 or 270
};

}  // namespace pindot
