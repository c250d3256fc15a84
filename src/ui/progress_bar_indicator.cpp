#include "ui/progress_bar_indicator.h"

#include <algorithm>
#include <climits>

namespace pindot {

namespace {

// QProgressBar counts in int; ranges beyond that are shown scaled down rather than cut.
int ToBarValue(uint32_t value, uint32_t maximum) {
  if (maximum <= static_cast<uint32_t>(INT_MAX)) return static_cast<int>(value);
  return static_cast<int>(static_cast<uint64_t>(value) * INT_MAX / maximum);
}

}  // namespace

ProgressBarIndicator::ProgressBarIndicator(QProgressBar& bar, int repaintIntervalMs)
    : bar_(bar), repaintIntervalMs_(repaintIntervalMs) {
  sinceRepaint_.start();
}

void ProgressBarIndicator::SetRange(uint32_t maximum) {
  maximum_ = maximum;
  // A range of 0..0 would turn the bar into an endless "busy" animation; an empty bar says the
  // same thing here: nothing to do.
  bar_.setRange(0, maximum == 0 ? 1 : ToBarValue(maximum, maximum));
  Show(true);
}

void ProgressBarIndicator::SetPosition(uint32_t position) {
  position_ = position;
  Show(true);
}

void ProgressBarIndicator::Step() {
  ++position_;
  Show(position_ >= maximum_);
}

void ProgressBarIndicator::Show(bool force) {
  if (!force && sinceRepaint_.elapsed() < repaintIntervalMs_) return;
  bar_.setValue(ToBarValue(std::min(position_, maximum_), maximum_));
  if (bar_.isVisible()) bar_.repaint();
  sinceRepaint_.restart();
}

}  // namespace pindot
