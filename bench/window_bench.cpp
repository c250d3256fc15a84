// The window's Generate of GB2312 with the default font at 16 pixels, until both boxes are filled
// and the window has handled the events that follow (layout and painting, offscreen).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <memory>

#include "text/character_set.h"
#include "text/code_page.h"
#include "text/string_table.h"
#include "ui/generator_dialog.h"
#include "ui/qt_text.h"

namespace pindot::bench {
namespace {

void BM_WindowGenerateGb2312(benchmark::State& state) {
  std::u16string sample;
  AppendCharacterSet(sample, "GB2312");
  qsizetype previewLength = 0;
  qsizetype dataLength = 0;
  for (auto _ : state) {
    // A fresh window each time: an unchanged text would not be loaded into its box again.
    state.PauseTiming();
    auto dialog = std::make_unique<GeneratorDialog>(Language::kEnglish, 936u);
    dialog->ControlAs<QPlainTextEdit>(GeneratorDialog::kSampleEdit)
        ->setPlainText(QString::fromStdU16String(sample));
    dialog->show();
    QApplication::processEvents();
    state.ResumeTiming();

    dialog->ControlAs<QPushButton>(GeneratorDialog::kGenerateButton)->click();
    QApplication::processEvents();

    state.PauseTiming();
    previewLength = dialog->ControlAs<QPlainTextEdit>(GeneratorDialog::kPreviewBox)
                        ->document()
                        ->characterCount();
    dataLength = dialog->ControlAs<QPlainTextEdit>(GeneratorDialog::kFontDataBox)
                     ->document()
                     ->characterCount();
    dialog.reset();
    state.ResumeTiming();
  }
  state.counters["units"] = static_cast<double>(sample.size());
  state.counters["preview_chars"] = static_cast<double>(previewLength);
  state.counters["data_chars"] = static_cast<double>(dataLength);
}
BENCHMARK(BM_WindowGenerateGb2312)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace
}  // namespace pindot::bench

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
