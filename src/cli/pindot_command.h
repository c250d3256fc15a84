// The pindot command line: options in, a Generate, the texts out; or a manifest's fonts built.
#pragma once

#include <ostream>

#include "cli/command_options.h"

namespace pindot {

// Runs the whole command; `pindot build MANIFEST` makes every font a manifest lists (see
// build_command.h). Standard output gets the requested texts in UTF-8 with their own CR LF,
// all at once at the end, so a failure never leaves partial output; `err` gets warnings, errors
// (one line each) and, when `errIsTerminal`, a progress bar. Returns the exit status: 0 success,
// 1 a failure at run time (a font, a file, a code page...), 2 a usage error.
int RunPindot(int argc, char** argv, std::ostream& out, std::ostream& err,
              bool errIsTerminal = false);

}  // namespace pindot
