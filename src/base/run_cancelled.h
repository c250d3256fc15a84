// What a long run throws when its caller asked it to stop.
#pragma once

#include <exception>

namespace pindot {

// Not a failure: the front end that set the flag knows why, and drops whatever the run had made.
class RunCancelled : public std::exception {
 public:
  const char* what() const noexcept override { return "cancelled"; }
};

}  // namespace pindot
