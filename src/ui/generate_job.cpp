#include "ui/generate_job.h"

#include <QApplication>
#include <QEventLoop>
#include <QProgressBar>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include "base/run_cancelled.h"
#include "output/font_data_text.h"
#include "ui/progress_bar_indicator.h"

namespace pindot {

namespace {

// Thrown on the job's thread at its next step once the job is cancelled.
struct Cancelled {};

// How often the bar is brought up to date from the job's counts.
constexpr int kProgressIntervalMs = 30;

}  // namespace

// The job's steps counted where the window's thread can read them; the job's own thread is the
// only one that writes.
class GenerateJob::SharedProgress : public ProgressIndicator {
 public:
  explicit SharedProgress(const std::atomic<bool>& cancelled) : cancelled_(cancelled) {}

  void SetRange(uint32_t maximum) override {
    ThrowWhenCancelled();
    position_ = 0;
    maximum_ = maximum;
  }
  void SetPosition(uint32_t position) override { position_ = position; }
  void Step() override {
    ThrowWhenCancelled();
    position_.fetch_add(1, std::memory_order_relaxed);
  }

  // Shows the counts on the bar.
  void ShowOn(ProgressBarIndicator& bar) {
    const uint32_t maximum = maximum_;
    if (maximum != shownMaximum_) {
      shownMaximum_ = maximum;
      bar.SetRange(maximum);
    }
    bar.SetPosition(position_);
  }

 private:
  void ThrowWhenCancelled() const {
    if (cancelled_.load(std::memory_order_relaxed)) throw Cancelled{};
  }

  const std::atomic<bool>& cancelled_;
  std::atomic<uint32_t> maximum_{0};
  std::atomic<uint32_t> position_{0};
  uint32_t shownMaximum_ = UINT32_MAX;
};

GenerateJob::GenerateJob(PipelineRequest request, DataTextOptions options)
    : request_(std::move(request)), options_(std::move(options)) {}

GenerateJob::~GenerateJob() = default;

bool GenerateJob::Run(QWidget& window, QProgressBar& bar) {
  SharedProgress progress(cancelled_);
  ProgressBarIndicator barIndicator(bar);
  bool cancelled = false;
  QThread* thread = QThread::create([&] {
    try {
      Work(progress);
    } catch (const Cancelled&) {
      cancelled = true;
    } catch (const RunCancelled&) {
      cancelled = true;
    } catch (...) {
      failure_ = std::current_exception();
    }
  });
  QEventLoop loop;
  connect(thread, &QThread::finished, &loop, &QEventLoop::quit);
  QTimer poll;
  connect(&poll, &QTimer::timeout, &loop, [&] { progress.ShowOn(barIndicator); });
  poll.start(kProgressIntervalMs);

  window_ = &window;
  qApp->installEventFilter(this);
  QApplication::setOverrideCursor(Qt::WaitCursor);
  thread->start();
  loop.exec();
  thread->wait();
  delete thread;
  QApplication::restoreOverrideCursor();
  qApp->removeEventFilter(this);
  window_ = nullptr;

  progress.ShowOn(barIndicator);
  if (failure_) std::rethrow_exception(failure_);
  return !cancelled;
}

void GenerateJob::Work(SharedProgress& progress) {
  result_ = RunPipeline(request_, progress, &cancelled_);
  auto fontData = std::make_shared<StoredText>();
  fontData->Reserve(FontDataTextLength(*result_.generator));
  WriteFontDataText(*result_.generator, *fontData, progress, options_);
  fontData_ = std::move(fontData);
}

bool GenerateJob::eventFilter(QObject* watched, QEvent* event) {
  // The window's input waits for the job, as it would on a window that is busy; painting, timers
  // and closing go on.
  switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::HoverEnter:
    case QEvent::HoverMove:
    case QEvent::HoverLeave:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::InputMethod:
    case QEvent::TabletPress:
    case QEvent::TouchBegin: {
      auto* widget = qobject_cast<QWidget*>(watched);
      return widget != nullptr && widget->window() == window_;
    }
    default:
      return false;
  }
}

}  // namespace pindot
