// pindot build: every font of a manifest made in one run, written all or nothing.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "glyph/generator.h"

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

// The global names an export of the generator's last run defines, as the templates name them:
// g_<kind>_font<H>, install_<kind>_<W>x<H>_font and each non-empty table's
// thin_<kind>_font<w>x<H> or wide_<kind>_font<W>x<H>, or with a `name` g_<name>, install_<name>,
// thin_<name>, wide_<name>. Two exports sharing one do not link together.
std::vector<std::string> ExportedNames(const Generator& generator, const std::string& name = "");

// Makes every font of the manifest (see manifest.h) as `pindot` makes one with the same options,
// each font's files prepared unseen; then, only when every font was made and no two would define
// the same global name, puts in place each file whose bytes differ from the file already there
// (an unchanged file keeps its timestamp). Errors are one line each on `err`, naming the manifest
// and the font's line. Returns the exit status: 0 success, 1 a failure at run time (nothing
// written), 2 an error in the manifest (nothing written).
int RunBuild(const BuildOptions& options, std::ostream& err, bool errIsTerminal = false);

}  // namespace pindot
