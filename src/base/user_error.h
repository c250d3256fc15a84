// The one error type for what a user can cause: a font not found, a file unreadable, a bad value.
#pragma once

#include <stdexcept>
#include <string>

namespace pindot {

// The message names the thing and the reason, e.g. `cannot open font file "x.ttf": unknown file
// format`. Front ends print it as it is.
class UserError : public std::runtime_error {
 public:
  explicit UserError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace pindot
