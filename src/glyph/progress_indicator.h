// The progress display a long run steps: a bar in the window, a line on a terminal, or nothing.
#pragma once

#include <cstdint>

namespace pindot {

class ProgressIndicator {
 public:
  virtual ~ProgressIndicator() = default;
  virtual void SetRange(uint32_t maximum) = 0;  // range 0..maximum, never cut to 16 bits
  virtual void SetPosition(uint32_t position) = 0;
  virtual void Step() = 0;  // advance by one
};

// For callers that show no progress.
class NoProgress : public ProgressIndicator {
 public:
  void SetRange(uint32_t) override {}
  void SetPosition(uint32_t) override {}
  void Step() override {}
};

}  // namespace pindot
