// Font files as the canvas opens them, and the one way their failures are worded.
#pragma once

#include <string>

#include "base/user_error.h"

namespace pindot {

// `cannot open font file "x.ttf": unknown file format`.
UserError FontFileError(const std::string& path, const std::string& reason);

// Throws FontFileError unless `path` names something that can be opened for reading and is not a
// directory.
void CheckFontFileReadable(const std::string& path);

}  // namespace pindot
