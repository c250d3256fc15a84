// What the window keeps between runs beyond the described dialog: the choices its menu offers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "font/font_request.h"
#include "output/font_data_text.h"

namespace pindot {

// The command line's --width, --const and --codepage, as the window's Options dialog sets them.
struct WindowOptions {
  unsigned codePage = 0;     // the ANSI code page; 0: picked from the locale, as before
  uint32_t wideWidth = 0;    // the wide cell's width in pixels; 0: the width of "中"
  bool constTables = false;  // the tables declared const
};

// How the font data text and the exported source declare the tables.
DataTextOptions TableOptions(const WindowOptions& options);

// Read from and written to the user's settings (QSettings, organisation "pindot", application
// "pindot-gui"); unreadable or out-of-range values read as the defaults.
WindowOptions LoadWindowOptions();
void SaveWindowOptions(const WindowOptions& options);

// What the Characters... dialog appended to the sample: a character set or a range as the command
// line names it, and the characters that made.
struct SampleAddition {
  bool isCharacterSet = false;  // --charset NAME, else --range A-B
  std::string name;             // "GB2312", "0x4e00-0x9fa5"
  std::u16string characters;
};

// Everything a Generate in the window depends on, to be said as a pindot command.
struct WindowState {
  FontRequest font;
  std::u16string sample;  // as Generate reads it, line breaks as CR LF
  bool sortByUnicode = true;
  unsigned codePage = 1252;  // the code page in use
  WindowOptions options;
  std::vector<SampleAddition> additions;  // in the order they were made
};

// The pindot command that makes the same tables from the same font, sample and settings, each
// argument quoted for a POSIX shell where it needs it (bash's $'...' for a text with control
// characters). The sample becomes --text, with --charset and --range for additions it still ends
// with (the command adds ranges, then character sets, after the text); an empty sample is
// --text ''. Add -o PATH to export, or --preview to print the glyph preview.
std::string PindotCommandLine(const WindowState& state);

// Whether --text can carry every unit of `text`: U+0000 ends an argument, and a lone surrogate half
// has no UTF-8.
bool CommandLineCarries(std::u16string_view text);

// One argument as a shell reads it back unchanged.
std::string ShellQuoted(std::string_view argument);

}  // namespace pindot
