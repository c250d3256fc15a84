// The sample text of --text-file.
#pragma once

#include <string>

namespace pindot {

// A text file as the window's edit box holds it: UTF-8 decoded, a leading byte order mark dropped,
// every LF that is not already preceded by CR turned into CR LF. Throws UserError.
std::u16string ReadSampleTextFile(const std::string& path);

}  // namespace pindot
