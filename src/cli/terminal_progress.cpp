#include "cli/terminal_progress.h"

#include <string>

namespace pindot {

namespace {
constexpr int kBarWidth = 40;
}

TerminalProgress::~TerminalProgress() {
  Clear();
}

void TerminalProgress::SetRange(uint32_t maximum) {
  maximum_ = maximum;
  shownPercent_ = -1;
  Draw();
}

void TerminalProgress::SetPosition(uint32_t position) {
  position_ = position;
  Draw();
}

void TerminalProgress::Step() {
  ++position_;
  Draw();
}

void TerminalProgress::Clear() {
  if (!drawn_) return;
  terminal_ << '\r' << std::string(kBarWidth + 8, ' ') << '\r' << std::flush;
  drawn_ = false;
  shownPercent_ = -1;
}

void TerminalProgress::Draw() {
  uint64_t done = position_ < maximum_ ? position_ : maximum_;
  int percent = maximum_ == 0 ? 100 : static_cast<int>(done * 100 / maximum_);
  if (percent == shownPercent_) return;
  shownPercent_ = percent;
  int filled = percent * kBarWidth / 100;
  std::string line = "\r[" + std::string(filled, '#') + std::string(kBarWidth - filled, '.') + "] ";
  std::string number = std::to_string(percent);
  line += std::string(3 - number.size(), ' ') + number + "%";
  terminal_ << line << std::flush;
  drawn_ = true;
}

CommandProgress::CommandProgress(std::ostream& err, bool errIsTerminal) {
  if (errIsTerminal) bar_.emplace(err);
}

ProgressIndicator& CommandProgress::Indicator() {
  return bar_ ? static_cast<ProgressIndicator&>(*bar_) : none_;
}

void CommandProgress::Wipe() {
  if (bar_) bar_->Clear();
}

}  // namespace pindot
