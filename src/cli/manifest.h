// A build manifest: the fonts `pindot build` makes in one run, each a [[font]] table of a TOML
// file.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "cli/command_options.h"

namespace pindot {

// One [[font]]: the command line's long options without their dashes, with the same meanings and
// defaults ("font-file", "size", "range" as an array of "A-B" texts ...), "output" required.
struct ManifestFont {
  int line = 0;            // the line of its [[font]], for messages
  CommandOptions options;  // relative paths joined to the manifest's folder
};

// Every font of a manifest, or everything wrong with it: one line each, in line order, naming the
// file, the line and the key:
//
//   fonts.toml:7: key "sise": unknown key (did you mean "size"?)
//   fonts.toml:9: key "size": 0 is not a cell height from 1 to 1000 pixels
//
// Beside unknown keys, wrong types, missing and bad values, it refuses two fonts that would write
// the same file or headers with the same include guard (KV_<TITLE>_H).
struct Manifest {
  std::vector<ManifestFont> fonts;  // empty when there are errors
  std::vector<std::string> errors;
};

// Reads the TOML text of the manifest at `path`: `path` names it in messages, and relative paths
// inside it start from its folder.
Manifest ParseManifest(std::string_view text, const std::string& path);

// The key among `known` that `key` most likely meant ("sise" -> "size", "em_size" -> "em-size"),
// or empty when none is close.
std::string_view ClosestKey(std::string_view key, const std::vector<std::string_view>& known);

}  // namespace pindot
