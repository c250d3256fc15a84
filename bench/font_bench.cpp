// Whole Generate runs over the real FreeType canvas with Unifont, its two canvas calls alone, and
// drawing and scanning both ways the canvas draws.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "font/font_canvas.h"
#include "glyph/generator.h"
#include "glyph/glyph_scan.h"
#include "output/font_data_text.h"
#include "synthetic_canvas.h"
#include "text/code_page.h"

namespace pindot::bench {
namespace {

std::unique_ptr<FontCanvas> OpenUnifont(
    int cellHeight, FontCanvas::PlainGlyphs plainGlyphs = FontCanvas::PlainGlyphs::kPacked) {
  FontRequest fontRequest;
  fontRequest.filePath = PINDOT_UNIFONT_PATH;
  fontRequest.cellHeight = cellHeight;
  return FontCanvas::Open(fontRequest, plainGlyphs);
}

void BM_GenerateUnifont(benchmark::State& state) {
  const auto size = static_cast<uint32_t>(state.range(0));
  const std::u16string sample = UnitRange(kCjkFirst, kCjkLast);
  std::unique_ptr<FontCanvas> canvas = OpenUnifont(static_cast<int>(size));
  NoProgress progress;
  Generator generator{CodePage(936)};
  generator.Settings().width = size;
  generator.Settings().height = size;
  for (auto _ : state) {
    generator.Generate(sample, *canvas, progress);
    const std::u16string fontDataText = BuildFontDataText(generator, progress);
    benchmark::DoNotOptimize(fontDataText.data());
  }
  state.SetItemsProcessed(state.iterations() * sample.size());
  state.counters["wide"] = static_cast<double>(generator.WideList().GetCount());
}
BENCHMARK(BM_GenerateUnifont)->Arg(16)->Arg(32)->Arg(128)->Unit(benchmark::kMillisecond);

// Measuring and drawing alone: the rasteriser's share of a run.
void BM_UnifontMeasureAndDraw(benchmark::State& state) {
  const auto size = static_cast<uint32_t>(state.range(0));
  const std::u16string sample = UnitRange(kCjkFirst, kCjkLast);
  std::unique_ptr<FontCanvas> canvas = OpenUnifont(static_cast<int>(size));
  for (auto _ : state) {
    for (char16_t unit : sample) {
      benchmark::DoNotOptimize(canvas->MeasureCharacter(unit));
      canvas->DrawCharacter(unit);
    }
  }
  state.SetItemsProcessed(state.iterations() * sample.size());
}
BENCHMARK(BM_UnifontMeasureAndDraw)->Arg(16)->Arg(32)->Arg(128)->Unit(benchmark::kMillisecond);

// Drawing and scanning each glyph, the canvas's two ways: /0 plain glyphs kept as bits and handed
// over packed, /1 drawn in colours and scanned pixel by pixel, as styled glyphs still are.
void BM_UnifontDrawAndScan(benchmark::State& state) {
  const auto size = static_cast<int32_t>(state.range(0));
  const std::u16string sample = UnitRange(kCjkFirst, kCjkLast);
  std::unique_ptr<FontCanvas> canvas =
      OpenUnifont(size, state.range(1) == 0 ? FontCanvas::PlainGlyphs::kPacked
                                            : FontCanvas::PlainGlyphs::kInColour);
  std::vector<uint8_t> bytes;
  for (auto _ : state) {
    for (char16_t unit : sample) {
      const TextExtent extent = canvas->MeasureCharacter(unit);
      canvas->DrawCharacter(unit);
      ScanGlyph(*canvas, GlyphCell{1, 1, 1 + static_cast<int32_t>(extent.cx), 1 + size}, bytes);
      benchmark::DoNotOptimize(bytes.data());
    }
  }
  state.SetItemsProcessed(state.iterations() * sample.size());
}
BENCHMARK(BM_UnifontDrawAndScan)->ArgsProduct({{16, 128}, {0, 1}})->Unit(benchmark::kMillisecond);

// Opening the font: fontconfig and FreeType start-up, paid once per command.
void BM_OpenUnifont(benchmark::State& state) {
  for (auto _ : state) {
    std::unique_ptr<FontCanvas> canvas = OpenUnifont(16);
    benchmark::DoNotOptimize(canvas.get());
  }
}
BENCHMARK(BM_OpenUnifont)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pindot::bench
