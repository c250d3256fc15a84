// pindot build: every font of a manifest made in one run, written all or nothing.
#pragma once

#include <ostream>
#include <string>

namespace CLI {
class App;
}

namespace pindot {

struct BuildOptions {
  std::string manifestPath;
  bool strict = false;   // --strict for every font
  bool verbose = false;  // --verbose for every font
};

// The build subcommand's arguments: the manifest and the flags that apply to every font.
void AddBuildOptions(CLI::App& build, BuildOptions& options);

// Makes every font of the manifest (see manifest.h) as `pindot` makes one with the same options,
// each font's files prepared unseen; then, only when every font was made and no two would define
// the same global name, puts in place each file whose bytes differ from the file already there
// (an unchanged file keeps its timestamp). Errors are one line each on `err`, naming the manifest
// and the font's line. Returns the exit status: 0 success, 1 a failure at run time (nothing
// written), 2 an error in the manifest (nothing written).
int RunBuild(const BuildOptions& options, std::ostream& err, bool errIsTerminal = false);

}  // namespace pindot
