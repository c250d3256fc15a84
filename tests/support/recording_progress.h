// A progress display for tests: records the ranges it was given and where it stands.
#pragma once

#include <cstdint>
#include <vector>

#include "glyph/progress_indicator.h"

namespace pindot::testing {

// Records what the stages did with the progress display.
class RecordingProgress : public ProgressIndicator {
 public:
  void SetRange(uint32_t maximum) override { ranges.push_back(maximum); }
  void SetPosition(uint32_t value) override { position = value; }
  void Step() override { ++position; }

  std::vector<uint32_t> ranges;
  uint32_t position = 12345;  // whatever an earlier run left
};

}  // namespace pindot::testing
