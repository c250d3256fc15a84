// The formats besides EXFONT's pair, for the command line and manifests: the options that go with
// them, where -o puts their files, and the files made from a run.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/command_options.h"
#include "glyph/generator.h"
#include "glyph/glyph_canvas.h"
#include "output/ink_font.h"

namespace pindot {

// A number option that takes one of four values, as --bpp and --rotate do.
struct NumberChoice {
  int values[4];
  const char* inWords;   // "1, 2, 4 or 8"
  const char* typeName;  // "1|2|4|8", as --help shows it

  bool Allows(int64_t value) const {
    for (int allowed : values) {
      if (value == allowed) return true;
    }
    return false;
  }
};
inline constexpr NumberChoice kBitsPerPixelChoice{{1, 2, 4, 8}, "1, 2, 4 or 8", "1|2|4|8"};
inline constexpr NumberChoice kRotationChoice{
    {0, 90, 180, 270}, "0, 90, 180 or 270", "0|90|180|270"};

// What is wrong with the options' format, in words, or nothing: an unknown format, --bpp with
// EXFONT or a one-bit format, a format without its --name or with ANSI keys, --layout or --rotate
// for another format than raw.
std::optional<std::string> FormatOptionsProblem(const CommandOptions& options);

// The files -o PATH makes in `format`: PATH's title with the format's extension, beside where
// EXFONT's source would go ("out/song16.txt" -> "out/song16.c" for lvgl, "out/song16.bin"), after
// PATH's header ("out/song16.h") for a format whose source goes with one.
std::vector<std::string> FormatOutputPaths(const InkFontFormat& format, const std::string& output);

// The run's characters drawn again on its canvas at the options' depth, with the options' name.
// Characters beyond U+FFFF (surrogate pairs in the sample) are left out with a warning on `err`,
// each line opening with `prefix`; with --strict that fails (UserError).
InkFont MakeInkFont(const CommandOptions& options, const Generator& generator, GlyphCanvas& canvas,
                    const std::string& prefix, std::ostream& err);

// The run's files in `format`, in the order of FormatOutputPaths: `font` (from MakeInkFont; null
// for a format of cells) or for a format of cells the run's tables. A GFX font's empty codes and
// the entries one table of raw cells cannot hold are warned about on `err`, each line opening
// with `prefix`; with --strict a character left out fails (UserError).
std::vector<std::string> MakeFormatFiles(const InkFontFormat& format, const CommandOptions& options,
                                         const Generator& generator, InkFont* font,
                                         const std::string& prefix, std::ostream& err);

}  // namespace pindot
