// Whole runs on a synthetic canvas: Generate of U+4E00..U+9FA5, and Generate plus the export texts.
#include <benchmark/benchmark.h>

#include <string>

#include "glyph/generator.h"
#include "output/exporter.h"
#include "output/font_data_text.h"
#include "synthetic_canvas.h"
#include "text/code_page.h"

namespace pindot::bench {
namespace {

Generator CjkGenerator(uint32_t size) {
  Generator generator{CodePage(936)};
  generator.Settings().width = size;
  generator.Settings().height = size;
  generator.Settings().thinWidth = static_cast<int32_t>(size / 2);
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
    const ExportPaths paths = DeriveExportPaths("song.txt");
    WriteExportedSource(generator, paths, {u"#include \"song.h\"\r\n\r\n", u"\r\n"},
                        {StreamedPart::kData}, sink, progress, DataTextOptions{});
    sink.Flush();
  }
  state.SetItemsProcessed(state.iterations() * sample.size());
  state.counters["file_bytes"] = static_cast<double>(fileBytes);
}
BENCHMARK(BM_GenerateAndExportTexts)->Arg(16)->Arg(32)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pindot::bench
