// A progress bar drawn on a terminal line, for the command line's long runs.
#pragma once

#include <cstdint>
#include <ostream>

#include "glyph/progress_indicator.h"

namespace pindot {

// Redraws "[#####.....]  50%" in place with a carriage return, only when the percentage changes,
// so a run of 100,000 units writes at most a few hundred bytes per stage. Clear() wipes the line.
class TerminalProgress : public ProgressIndicator {
 public:
  explicit TerminalProgress(std::ostream& terminal) : terminal_(terminal) {}
  ~TerminalProgress() override;

  void SetRange(uint32_t maximum) override;
  void SetPosition(uint32_t position) override;
  void Step() override;
  void Clear();

 private:
  void Draw();

  std::ostream& terminal_;
  uint32_t maximum_ = 0;
  uint32_t position_ = 0;
  int shownPercent_ = -1;
  bool drawn_ = false;
};

}  // namespace pindot
