// The pindot command line: options in, a Generate, the texts out.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "font/font_description.h"
#include "text/string_table.h"

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
  std::optional<std::string> text;      // --text, UTF-8 as given
  std::optional<std::string> textFile;  // --text-file
  std::vector<std::string> ranges;      // --range, in the order given
  std::vector<std::string> charsets;    // --charset, in the order given
  std::string sort = "unicode";         // --sort unicode|ansi
  std::optional<unsigned> codePage;     // --codepage
  bool preview = false;                 // --preview
  bool data = false;                    // --data
  bool constTables = false;             // --const: tables declared const, kept in flash
  bool verbose = false;                 // --verbose: warnings name every character
  bool strict = false;                  // --strict: any character lost fails the run
  std::optional<std::string> output;    // -o, --output: export to the pair derived from PATH
  std::optional<std::string> sheet;     // --sheet: a PNG picture of every entry
};

// A text file as the window's edit box holds it: UTF-8 decoded, a leading byte order mark dropped,
// every LF that is not already preceded by CR turned into CR LF. Throws UserError.
std::u16string ReadSampleTextFile(const std::string& path);

// Runs the whole command. Standard output gets the requested texts in UTF-8 with their own CR LF,
// all at once at the end, so a failure never leaves partial output; `err` gets warnings, errors
// (one line each) and, when `errIsTerminal`, a progress bar. Returns the exit status: 0 success,
// 1 a failure at run time (a font, a file, a code page...), 2 a usage error.
int RunPindot(int argc, char** argv, std::ostream& out, std::ostream& err,
              bool errIsTerminal = false);

}  // namespace pindot
