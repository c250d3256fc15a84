// Making one font as the command's options ask, shared by `pindot` and `pindot build`.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/command_options.h"
#include "cli/terminal_progress.h"
#include "font/font_canvas.h"
#include "glyph/generator.h"
#include "glyph/progress_indicator.h"

namespace pindot {

// The progress of a run: a bar on standard error when that is a terminal, else nothing shown.
class CommandProgress {
 public:
  CommandProgress(std::ostream& err, bool errIsTerminal);

  ProgressIndicator& Indicator();
  // Wipes the bar's line, so that what is said next starts on a clean line.
  void Wipe();

 private:
  std::optional<TerminalProgress> bar_;
  NoProgress none_;
};

// A text file as the window's edit box holds it: UTF-8 decoded, a leading byte order mark dropped,
// every LF that is not already preceded by CR turned into CR LF. Throws UserError.
std::u16string ReadSampleTextFile(const std::string& path);

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

// Runs a command, turning what it throws into one line on `err` and the exit status 1 (a failure
// at run time); otherwise gives what the command gives.
int RunReportingFailures(std::ostream& err, const std::function<int()>& command);

}  // namespace pindot
