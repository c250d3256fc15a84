// Whole runs on a synthetic canvas: Generate of U+4E00..U+9FA5, and Generate plus the export texts.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "glyph/generator.h"
#include "output/font_data_text.h"
#include "output/source_template.h"
#include "output/text_sink.h"
#include "synthetic_canvas.h"
#include "text/code_page.h"

namespace pindot::bench {
namespace {

Generator CjkGenerator(uint32_t size) {
  Generator generator{CodePage(936)};
  generator.Settings().width = size;
  generator.Settings().height = size;
  return generator;
}

// Rendered, scanned, filed, ordered and written as font data text: the target is well under a
// quarter of a second of CPU for 20,902 glyphs of 16 x 16. A fresh generator every time, as one
// command makes it, so growing the texts from nothing is part of the cost.
void BM_Generate(benchmark::State& state) {
  const auto size = static_cast<uint32_t>(state.range(0));
  const std::u16string sample = UnitRange(kCjkFirst, kCjkLast);
  SyntheticCanvas canvas(size);
  NoProgress progress;
  uint32_t glyphs = 0;
  for (auto _ : state) {
    Generator generator = CjkGenerator(size);
    generator.Generate(sample, canvas, progress);
    glyphs = generator.WideList().GetCount();
    const std::u16string fontDataText = BuildFontDataText(generator, progress);
    benchmark::DoNotOptimize(fontDataText.data());
  }
  state.SetItemsProcessed(state.iterations() * sample.size());
  state.counters["glyphs"] = glyphs;
}
BENCHMARK(BM_Generate)->Arg(16)->Arg(32)->Unit(benchmark::kMillisecond);

// Everything `pindot -o` does but the disk: Generate, both templates, the source streamed into
// code page 936 bytes.
void BM_GenerateAndExportTexts(benchmark::State& state) {
  const auto size = static_cast<uint32_t>(state.range(0));
  const std::u16string sample = UnitRange(kCjkFirst, kCjkLast);
  SyntheticCanvas canvas(size);
  NoProgress progress;
  size_t fileBytes = 0;
  for (auto _ : state) {
    Generator generator = CjkGenerator(size);
    generator.Generate(sample, canvas, progress);
    fileBytes = 0;
    CodePageSink sink(generator.GetCodePage(),
                      [&fileBytes](std::string_view bytes) { fileBytes += bytes.size(); });
    std::u16string headerText;
    std::vector<std::u16string> sourcePieces;
    std::vector<StreamedPart> streamedParts;  // the font data text alone
    SourceTemplate::For(generator, u"song")
        .BuildAroundData(headerText, sourcePieces, streamedParts);
    sink.AppendText(sourcePieces.front());
    for (size_t i = 1; i < sourcePieces.size(); ++i) {
      WriteFontDataText(generator, sink, progress);
      sink.AppendText(sourcePieces[i]);
    }
    sink.Flush();
  }
  state.SetItemsProcessed(state.iterations() * sample.size());
  state.counters["file_bytes"] = static_cast<double>(fileBytes);
}
BENCHMARK(BM_GenerateAndExportTexts)->Arg(16)->Arg(32)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pindot::bench
