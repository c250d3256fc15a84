// A progress bar drawn on a terminal line, for the command line's long runs.
#pragma once

#include <cstdint>
#include <optional>
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

// The progress of a run: a bar on standard error when that is a terminal, else nothing shown.
class CommandProgress {
 public:
  CommandProgress(std::ostream& err, bool errIsTerminal);

  ProgressIndicator& Indicator();
  // Wipes the bar's line, so that what is said next starts on a clean line.
  void Wipe();

 private:
  std::optional<TerminalProgress> bar_;
  NoProgress none_;
};

}  // namespace pindot
