// The generator's progress shown on a QProgressBar that repaints while the window is busy.
#pragma once

#include <QElapsedTimer>
#include <QProgressBar>
#include <cstdint>

#include "glyph/progress_indicator.h"

namespace pindot {

// A Generate runs on the window's own thread, so no event loop turns while it works. The bar is
// therefore repainted directly, at most once per repaint interval, plus once when a stage ends,
// which keeps thousands of steps from costing thousands of repaints.
class ProgressBarIndicator : public ProgressIndicator {
 public:
  explicit ProgressBarIndicator(QProgressBar& bar, int repaintIntervalMs = 30);

  void SetRange(uint32_t maximum) override;
  void SetPosition(uint32_t position) override;
  void Step() override;

 private:
  void Show(bool force);

  QProgressBar& bar_;
  int repaintIntervalMs_;
  uint32_t maximum_ = 0;
  uint32_t position_ = 0;
  QElapsedTimer sinceRepaint_;
};

}  // namespace pindot
