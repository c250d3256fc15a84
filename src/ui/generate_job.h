// One Generate of the window, run off the window's thread while the window keeps painting.
#pragma once

#include <QObject>
#include <atomic>
#include <cstdint>
#include <exception>
#include <memory>
#include <string>

#include "font/font_pipeline.h"
#include "glyph/generator.h"
#include "glyph/loss_report.h"
#include "output/font_data_text.h"
#include "ui/output_lines.h"

class QProgressBar;
class QWidget;

namespace pindot {

// Draws the sample with the font into the generator and writes both output texts from it, on a
// thread of its own. Run() waits for it with an event loop turning, so the window repaints and
// the bar follows every stage; the window meanwhile takes no input but closing, shows the busy
// cursor, and a Cancel (from closing) ends the run early.
class GenerateJob : public QObject {
  Q_OBJECT

 public:
  GenerateJob(PipelineRequest request, DataTextOptions options);
  ~GenerateJob() override;

  // Returns when the job has ended; throws what the job threw (UserError for an unusable font).
  // False when it was cancelled, leaving the generator's results incomplete.
  bool Run(QWidget& window, QProgressBar& bar);
  // Safe from the window's thread while Run() waits.
  void Cancel() { cancelled_ = true; }

  // The run's generator, once Run() has returned true.
  Generator& TakeGenerator() { return *result_.generator; }
  std::shared_ptr<StoredText> FontData() const { return fontData_; }
  const LossReport& Losses() const { return result_.losses; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  class SharedProgress;
  void Work(SharedProgress& progress);

  PipelineRequest request_;
  DataTextOptions options_;
  PipelineResult result_;
  std::atomic<bool> cancelled_{false};
  QWidget* window_ = nullptr;
  std::shared_ptr<StoredText> fontData_;
  std::exception_ptr failure_;
};

}  // namespace pindot
