// The window's Generate from the click until both boxes are filled and the window has handled the
// events that follow (layout and painting, offscreen), on the work its users bring: GB2312 at 16
// pixels, U+4E00..U+9FA5 and 60,000 characters at 64. The font is the default's face, Unifont
// (Fixedsys), as `pindot --font Unifont --size N` draws it.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <memory>

#include "text/character_set.h"
#include "text/code_page.h"
#include "text/string_table.h"
#include "ui/generator_dialog.h"
#include "ui/qt_text.h"
#include "ui/text_view.h"

namespace pindot::bench {
namespace {

struct WindowCase {
  const char* name;
  int pixels;
  std::u16string (*sample)();
};

std::u16string Range(char16_t first, char16_t last) {
  std::u16string sample;
  for (char32_t unit = first; unit <= last; ++unit) sample.push_back(static_cast<char16_t>(unit));
  return sample;
}

const WindowCase kCases[] = {
    {"GB2312@16", 16,
     [] {
       std::u16string sample;
       AppendCharacterSet(sample, "GB2312");
       return sample;
     }},
    {"U+4E00..9FA5@64", 64, [] { return Range(0x4E00, 0x9FA5); }},
    // 60,000 units, U+0A00..U+F45F: Indic scripts, symbols, CJK, Hangul, the surrogates (each its
    // own unit) and private use.
    {"60000@64", 64, [] { return Range(0x0A00, 0xF45F); }},
};

// The peak resident memory of the process so far, in MB (2^20 bytes).
double PeakMegabytes() {
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly)) return 0;
  for (const QByteArray& line : status.readAll().split('\n')) {
    if (line.startsWith("VmHWM:"))
      return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
  }
  return 0;
}

void BM_WindowGenerate(benchmark::State& state) {
  const WindowCase& which = kCases[state.range(0)];
  state.SetLabel(which.name);
  const std::u16string sample = which.sample();
  double lines[2] = {0, 0};
  double glyphBytes = 0;
  QString height;
  for (auto _ : state) {
    state.PauseTiming();
    auto dialog = std::make_unique<GeneratorDialog>(Language::kEnglish, 936);
    dialog->SetFontChooser([&](const QFont&) {
      QFont unifont(QStringLiteral("Unifont"));
      unifont.setPixelSize(which.pixels);
      return std::optional(unifont);
    });
    dialog->OnChooseFont();
    dialog->ControlAs<QPlainTextEdit>(GeneratorDialog::kSampleEdit)
        ->setPlainText(ToQString(sample));
    dialog->SetMessageShower([](const QString&) {});  // losses (missing glyphs) are summed up
    dialog->show();
    QApplication::processEvents();
    state.ResumeTiming();

    dialog->ControlAs<QPushButton>(GeneratorDialog::kGenerateButton)->click();
    QApplication::processEvents();

    state.PauseTiming();
    int index = 0;
    for (int id : {GeneratorDialog::kPreviewBox, GeneratorDialog::kFontDataBox}) {
      lines[index++] = static_cast<double>(dialog->ControlAs<TextView>(id)->Lines().LineCount());
    }
    glyphBytes = 0;
    for (const DrawnGlyph& glyph : dialog->GetGenerator().Glyphs()) {
      glyphBytes += glyph.rows * ((glyph.width + 7) / 8);
    }
    height = dialog->ControlAs<QLineEdit>(GeneratorDialog::kHeightBox)->text();
    dialog.reset();
    state.ResumeTiming();
  }
  state.counters["units"] = static_cast<double>(sample.size());
  state.counters["height"] = height.toDouble();
  state.counters["preview_lines"] = lines[0];
  state.counters["data_lines"] = lines[1];
  state.counters["glyph_MB"] = glyphBytes / (1 << 20);
  state.counters["peak_MB"] = PeakMegabytes();
}
// The small case three times; each large one once, as it takes seconds and its peak memory is
// only its own when it runs alone (--benchmark_filter=BM_WindowGenerate/1).
BENCHMARK(BM_WindowGenerate)->Arg(0)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WindowGenerate)
    ->Arg(1)
    ->Arg(2)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

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
