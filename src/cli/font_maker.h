// Making one font as the command's options ask, shared by `pindot` and `pindot build`.
#pragma once

#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/command_options.h"
#include "cli/terminal_progress.h"
#include "font/font_canvas.h"
#include "glyph/generator.h"

namespace pindot {

// Opens the font the options ask for, measures it and generates their sample text: what a Generate
// in the window makes of the same font, settings and text. Every line it says on `err` starts with
// `prefix` ("pindot: "): the face really used when it is not the one asked for, one warning per
// kind of loss, and with --strict the refusal. Gives null when --strict refused the run. Throws
// UserError for a font, text file, code page, range or character set that cannot be had. With
// `canvas`, the font's canvas is kept there for drawing the glyphs again in another format; with
// `missing`, the characters the face drew as its missing-glyph box go there.
std::unique_ptr<Generator> MakeFont(const CommandOptions& options, const std::string& prefix,
                                    std::ostream& err, CommandProgress& progress,
                                    std::unique_ptr<FontCanvas>* canvas = nullptr,
                                    std::vector<char16_t>* missing = nullptr);

}  // namespace pindot
