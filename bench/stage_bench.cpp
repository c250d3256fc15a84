// Micro-benchmarks of the pipeline's stages: scan, ordering, font data text, templates, code page,
// glyph sheet.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "gb2312_sample.h"
#include "glyph/generator.h"
#include "glyph/glyph_list.h"
#include "glyph/glyph_scan.h"
#include "output/font_data_text.h"
#include "output/glyph_sheet.h"
#include "synthetic_canvas.h"
#include "text/code_page.h"

namespace pindot::bench {
namespace {

// Scan and pack one drawn cell of N x N pixels into reused bytes, as the generation pass does.
void BM_ScanGlyph(benchmark::State& state) {
  const auto size = static_cast<uint32_t>(state.range(0));
  SyntheticCanvas canvas(size);
  canvas.DrawCharacter(u'\u4e2d');
  const GlyphCell cell{1, 1, static_cast<int32_t>(size) + 1, static_cast<int32_t>(size) + 1};
  std::vector<uint8_t> bytes;
  for (auto _ : state) {
    ScanGlyph(canvas, canvas.InkColour(), cell, bytes);
    benchmark::DoNotOptimize(bytes.data());
  }
  state.SetItemsProcessed(state.iterations());
  state.SetBytesProcessed(state.iterations() * size * size);  // pixels, not bytes
}
BENCHMARK(BM_ScanGlyph)->Arg(16)->Arg(32);

// The preview lines of one packed cell.
void BM_GlyphTexts(benchmark::State& state) {
  const auto size = static_cast<uint32_t>(state.range(0));
  SyntheticCanvas canvas(size);
  canvas.DrawCharacter(u'\u4e2d');
  const GlyphCell cell{1, 1, static_cast<int32_t>(size) + 1, static_cast<int32_t>(size) + 1};
  std::vector<uint8_t> bytes;
  ScanGlyph(canvas, canvas.InkColour(), cell, bytes);
  std::u16string previewLines;
  for (auto _ : state) {
    previewLines.clear();
    AppendPreviewLines(bytes.data(), size, size, previewLines);
    benchmark::DoNotOptimize(previewLines.data());
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_GlyphTexts)->Arg(16)->Arg(32);

// Entries for every unit of a sample, repeats included, as ordering receives them.
GlyphList EntriesFor(std::u16string_view sample, bool sortByUnicode, const CodePage& codePage) {
  GlyphList list;
  uint32_t glyph = 0;
  for (char16_t unit : sample) list.Append(MakeGlyphEntry(unit, glyph++, sortByUnicode, codePage));
  return list;
}

// A generator that has drawn U+4E00..U+9FA5, all wide, 16 x 16, on the synthetic canvas.
Generator CjkGenerator() {
  Generator generator{CodePage(936)};
  generator.Settings().width = 16;
  generator.Settings().height = 16;
  SyntheticCanvas canvas(16);
  NoProgress progress;
  generator.Generate(UnitRange(kCjkFirst, kCjkLast), canvas, progress);
  return generator;
}

// Argument 0: the first half of U+4E00..U+9FA5 twice over, 20,902 entries of which half are
// repeats; 1: the GB2312 hanzi in code order, sorted by Unicode (scrambled input);
// 2: U+4E00..U+9FA5 once, already in order.
std::u16string OrderingSample(int64_t which) {
  if (which == 1) return Gb2312Hanzi();
  if (which == 2) return UnitRange(kCjkFirst, kCjkLast);
  std::u16string range = UnitRange(kCjkFirst, kCjkLast);
  return range.substr(0, range.size() / 2) + range.substr(0, range.size() - range.size() / 2);
}

void BM_OrderGlyphLists(benchmark::State& state) {
  const CodePage codePage(936);
  const GlyphList input = EntriesFor(OrderingSample(state.range(0)), true, codePage);
  for (auto _ : state) {
    state.PauseTiming();
    GlyphList thin;
    GlyphList wide = input;
    state.ResumeTiming();
    OrderGlyphLists(thin, wide);
    benchmark::DoNotOptimize(wide.GetCount());
    state.PauseTiming();
    {
      GlyphList dropped = std::move(wide);  // freeing is not part of the ordering
    }
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * input.GetCount());
}
BENCHMARK(BM_OrderGlyphLists)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// The font data text for 20,902 wide 16 x 16 glyphs.
void BM_BuildFontDataText(benchmark::State& state) {
  const Generator generator = CjkGenerator();
  NoProgress progress;
  size_t length = 0;
  for (auto _ : state) {
    std::u16string text = BuildFontDataText(generator, progress);
    length = text.size();
    benchmark::DoNotOptimize(text.data());
  }
  state.SetItemsProcessed(state.iterations() * generator.WideList().GetCount());
  state.SetBytesProcessed(state.iterations() * length * sizeof(char16_t));
}
BENCHMARK(BM_BuildFontDataText)->Unit(benchmark::kMillisecond);

std::u16string CjkFontDataText() {
  NoProgress progress;
  return BuildFontDataText(CjkGenerator(), progress);
}

// Converting the font data text of 20,902 glyphs to code page 936: cold (a fresh code page, so
// every CJK unit goes through iconv once) and warm (every unit already cached).
void BM_CodePageEncodeCold(benchmark::State& state) {
  const std::u16string data = CjkFontDataText();
  for (auto _ : state) {
    const CodePage codePage(936);
    std::string bytes;
    codePage.Encode(data, bytes);
    benchmark::DoNotOptimize(bytes.data());
  }
  state.SetBytesProcessed(state.iterations() * data.size() * sizeof(char16_t));
}
BENCHMARK(BM_CodePageEncodeCold)->Unit(benchmark::kMillisecond);

void BM_CodePageEncodeWarm(benchmark::State& state) {
  const std::u16string data = CjkFontDataText();
  const CodePage codePage(936);
  std::string first;
  codePage.Encode(data, first);
  for (auto _ : state) {
    std::string bytes;
    codePage.Encode(data, bytes);
    benchmark::DoNotOptimize(bytes.data());
  }
  state.SetBytesProcessed(state.iterations() * data.size() * sizeof(char16_t));
}
BENCHMARK(BM_CodePageEncodeWarm)->Unit(benchmark::kMillisecond);

// A text of CJK units only, where the ASCII fast path never helps.
void BM_CodePageEncodeCjkOnly(benchmark::State& state) {
  std::u16string text;
  for (int repeat = 0; repeat < 50; ++repeat) text += UnitRange(kCjkFirst, kCjkLast);
  const CodePage codePage(936);
  std::string first;
  codePage.Encode(text, first);
  for (auto _ : state) {
    std::string bytes;
    codePage.Encode(text, bytes);
    benchmark::DoNotOptimize(bytes.data());
  }
  state.SetBytesProcessed(state.iterations() * text.size() * sizeof(char16_t));
}
BENCHMARK(BM_CodePageEncodeCjkOnly)->Unit(benchmark::kMillisecond);

// The glyph sheet of 20,902 wide 16 x 16 glyphs (the synthetic canvas's drawings), 95 thin ones
// before them: the picture is 1,416 x 38,166 pixels, drawn a row at a time.
void BM_GlyphSheet(benchmark::State& state) {
  SyntheticCanvas canvas(16);
  std::vector<uint8_t> bytes;
  std::vector<uint8_t> wideBytes;
  SheetTable thin{8, 16, {}};
  SheetTable wide{16, 16, {}};
  const std::u16string units = UnitRange(kCjkFirst, kCjkLast);
  for (char16_t unit : units) {
    canvas.DrawCharacter(unit);
    ScanGlyph(canvas, canvas.InkColour(), GlyphCell{1, 1, 17, 17}, bytes);
    wideBytes.insert(wideBytes.end(), bytes.begin(), bytes.end());
  }
  for (size_t i = 0; i < units.size(); ++i)
    wide.cells.push_back({static_cast<uint16_t>(units[i]), wideBytes.data() + i * 32, false});
  for (uint16_t code = 0x20; code < 0x7f; ++code)
    thin.cells.push_back({code, wideBytes.data() + code * 32, code % 16 == 0});
  size_t length = 0;
  for (auto _ : state) {
    std::string png = EncodeGlyphSheet(thin, wide);
    length = png.size();
    benchmark::DoNotOptimize(png.data());
  }
  state.SetItemsProcessed(state.iterations() * (thin.cells.size() + wide.cells.size()));
  state.counters["png_bytes"] = static_cast<double>(length);
}
BENCHMARK(BM_GlyphSheet)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pindot::bench
