#include "glyph/generator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "ascii_canvas.h"
#include "base/run_cancelled.h"
#include "base/user_error.h"
#include "generate_outcome.h"
#include "glyph/fitted_entries.h"
#include "glyph_preview.h"
#include "output/font_data_text.h"
#include "text/number_text.h"
#include "worked_example.h"

namespace pindot {
namespace {

using testing::AsciiCanvas;
using testing::RecordingProgress;
using testing::RunGenerate;

Generator MakeGenerator(uint32_t width) {
  Generator generator{CodePage(936)};
  generator.Settings().width = width;
  generator.Settings().height = 2;
  return generator;
}

// At W = 13 the thin cell is 7 wide (half of W, rounded up): a glyph goes to the table whose cell
// holds its advance, and each entry holds exactly its cell, ((w + 7) >> 3) x H bytes; only a glyph
// wider than its cell is cut.
TEST(Generator, FilesEachGlyphInTheTableWhoseCellHoldsIt) {
  AsciiCanvas canvas(2);
  canvas.SetGlyph(u'\u0301', {"", ""});
  canvas.SetGlyph(u't', {"#####", "#...#"});                      // 5: f8 / 88
  canvas.SetGlyph(u'u', {"#######", "#.....#"});                  // 7, the thin cell: fe / 82
  canvas.SetGlyph(u'v', {"########", "#......#"});                // 8: wide, padded: ff 00 / 81 00
  canvas.SetGlyph(u'c', {"#############", "#...........#"});      // 13: fills it: ff f8 / 80 08
  canvas.SetGlyph(u'w', {"###############", "#.............#"});  // 15: cut: ff f8 / 80 00
  NoProgress progress;
  Generator generator = MakeGenerator(13);
  generator.Generate(u"wvvu\u0301tcu", canvas, progress);
  const std::tuple<char16_t, std::vector<uint8_t>, bool> tables[2][3] = {
      {{u't', {0xf8, 0x88}, false}, {u'u', {0xfe, 0x82}, false}, {u'\u0301', {0, 0}, false}},
      {{u'c', {0xff, 0xf8, 0x80, 0x08}, false},
       {u'v', {0xff, 0x00, 0x81, 0x00}, false},
       {u'w', {0xff, 0xf8, 0x80, 0x00}, true}}};
  for (const TableKind kind : {TableKind::kThin, TableKind::kWide}) {
    const auto& expected = tables[kind == TableKind::kThin ? 0 : 1];
    std::vector<std::tuple<char16_t, std::vector<uint8_t>, bool>> entries;
    for (const FittedEntry fitted : FittedEntries(generator, kind)) {
      std::vector<uint8_t> bytes;
      fitted.FitInto(bytes);
      entries.emplace_back(fitted.Entry().character, bytes, fitted.Cut());
    }
    EXPECT_EQ(entries, (std::vector(std::begin(expected), std::end(expected)))) << int(kind);
  }
}

// Each distinct unit is drawn once a run, but the preview shows every unit in sample order, repeats
// and a line break's two units included; each run starts afresh.
TEST(Generator, EveryRunStartsAfreshAndDrawsEachUnitOnce) {
  struct CountingCanvas : AsciiCanvas {
    explicit CountingCanvas(AsciiCanvas base) : AsciiCanvas(std::move(base)) {}
    void DrawCharacter(char16_t unit) override {
      ++draws;
      AsciiCanvas::DrawCharacter(unit);
    }
    int draws = 0;
  } canvas(testing::WorkedExampleCanvas());
  canvas.SetMissingWidth(1);
  RecordingProgress progress;
  Generator generator = MakeGenerator(8);
  generator.Generate(u"j\u4e2dij", canvas, progress);
  const std::u16string data = BuildFontDataText(generator, progress);
  generator.Generate(u"iii\r\n", canvas, progress);
  EXPECT_EQ(canvas.draws, 6);
  EXPECT_EQ(testing::GlyphPreviewText(generator),
            u"40   11\r\nc0 1111\r\n40   11\r\nc0 1111\r\n"
            u"40   11\r\nc0 1111\r\n00   \r\n00   \r\n00   \r\n00   \r\n");
  EXPECT_EQ(progress.ranges, (std::vector<uint32_t>{4, 3, 5}));
  EXPECT_EQ(progress.position, 5u);
  generator.Generate(u"j\u4e2dij", canvas, progress);
  EXPECT_EQ(BuildFontDataText(generator, progress), data);
  // The four units of the sample, two rows each.
  const std::u16string preview = testing::GlyphPreviewText(generator);
  EXPECT_EQ(std::count(preview.begin(), preview.end(), u'\n'), 8);
  EXPECT_EQ(preview.substr(0, 20), u"20     11\r\nc0 1111  ");

  generator.Generate(u"", canvas, progress);
  EXPECT_EQ(testing::GlyphPreviewText(generator) + BuildFontDataText(generator, progress), u"");
  EXPECT_EQ(generator.ThinList().GetCount() + generator.WideList().GetCount(), 0u);
  EXPECT_EQ(progress.ranges.back(), 0u);
  EXPECT_EQ(progress.position, 0u);
}

// What a canvas and all its clones did, and what they are to do.
struct CloneLog {
  std::atomic<int> clones{0};
  std::atomic<int> draws{0};
  std::set<char16_t> failing;  // drawing one of these throws UserError
  // Drawing this unit first waits (at most two seconds) until some other unit has failed, so that
  // with two threads a later unit fails first.
  char16_t waitsForAFailure = 0;
  std::mutex mutex;
  std::condition_variable failed;
  bool anyFailed = false;
};

// An ASCII canvas whose clones are copies of it, all writing to one log.
class CloningCanvas : public AsciiCanvas {
 public:
  explicit CloningCanvas(std::shared_ptr<CloneLog> log = std::make_shared<CloneLog>())
      : AsciiCanvas(3), log_(std::move(log)) {}

  std::unique_ptr<GlyphCanvas> Clone() const override {
    ++log_->clones;
    return std::make_unique<CloningCanvas>(*this);
  }

  void DrawCharacter(char16_t unit) override {
    ++log_->draws;
    std::unique_lock<std::mutex> lock(log_->mutex);
    if (unit == log_->waitsForAFailure) {
      log_->failed.wait_for(lock, std::chrono::seconds(2), [&] { return log_->anyFailed; });
    }
    if (log_->failing.count(unit) != 0) {
      log_->anyFailed = true;
      log_->failed.notify_all();
      throw UserError("cannot draw " + CodePointName(unit));
    }
    lock.unlock();
    AsciiCanvas::DrawCharacter(unit);
  }

 private:
  std::shared_ptr<CloneLog> log_;
};

// `count` glyphs from U+0100 of 0 to 16 columns (thin and wide at W = 16) and 3 rows, each a
// picture of its own; and a sample of them, every third followed by a repeat of an earlier one and
// a line break now and then.
std::u16string DrawManyGlyphs(CloningCanvas& canvas, size_t count) {
  std::u16string sample;
  for (size_t i = 0; i < count; ++i) {
    const size_t width = (i * 7) % 17;
    std::vector<std::string> rows(3, std::string(width, '.'));
    for (size_t bit = 0; bit < 3 * width; ++bit) {
      if (((i + 1) * 2654435761u >> (bit % 29)) & 1) rows[bit / width][bit % width] = '#';
    }
    canvas.SetGlyph(static_cast<char16_t>(0x100 + i), rows);
    sample.push_back(static_cast<char16_t>(0x100 + i));
    if (i % 3 == 2) sample.push_back(static_cast<char16_t>(0x100 + i / 2));
    if (i % 50 == 49) sample += u"\r\n";
  }
  return sample;
}

// The sample's first failing unit is what a run throws, whichever thread fails first, and the
// glyphs before it are kept and stepped past as on one thread.
TEST(GeneratorThreads, ThrowTheFirstFailureInSampleOrder) {
  const char16_t first = 0x100 + 40, later = 0x100 + 500;
  const std::tuple<const char*, std::set<char16_t>, char16_t> cases[] = {
      {"one unit fails", {later}, 0},
      {"a later unit fails first", {first, later}, first},
      {"the first unit fails", {0x100}, 0},
  };
  for (const auto& [name, failing, waiting] : cases) {
    auto log = std::make_shared<CloneLog>();
    log->failing = failing;
    CloningCanvas canvas(log);
    const std::u16string sample = DrawManyGlyphs(canvas, 600);
    Generator alone = MakeGenerator(16);
    const testing::GenerateOutcome expected = RunGenerate(alone, sample, canvas, 1);
    ASSERT_EQ(expected.error, "cannot draw " + CodePointName(*failing.begin())) << name;
    log->waitsForAFailure = waiting;
    Generator threaded = MakeGenerator(16);
    ExpectSameOutcome(RunGenerate(threaded, sample, canvas, 2), expected, name);
    EXPECT_EQ(log->clones, 1) << name;
  }
}

// A cancel flag stops the render pass before the next glyph, on one thread and on several, whether
// it is set before the run or turns while glyphs are drawn.
TEST(GeneratorThreads, StopOnceTheCancelFlagTurns) {
  struct CancellingProgress : RecordingProgress {
    void Step() override {
      if (++position == turnAt) flag = true;
    }
    uint32_t turnAt = 0;
    std::atomic<bool> flag{false};
  };
  for (const unsigned threads : {1u, 4u}) {
    for (const uint32_t turnAt : {0u, 100u}) {
      auto log = std::make_shared<CloneLog>();
      CloningCanvas canvas(log);
      const std::u16string sample = DrawManyGlyphs(canvas, 2000);
      CancellingProgress progress;
      progress.turnAt = turnAt;
      progress.flag = turnAt == 0;
      Generator generator = MakeGenerator(16);
      setenv("PINDOT_THREADS", std::to_string(threads).c_str(), 1);
      EXPECT_THROW(generator.Generate(sample, canvas, progress, &progress.flag), RunCancelled);
      unsetenv("PINDOT_THREADS");
      // No glyph is drawn past the step that turned the flag (helper threads may have drawn ahead
      // of the steps), and the progress stops there.
      if (threads == 1 || turnAt == 0) {
        EXPECT_LE(log->draws, static_cast<int>(turnAt)) << threads;
      }
      EXPECT_LT(progress.position, sample.size()) << threads;
    }
  }
}

// PINDOT_THREADS chooses the count when the generator is left to choose; whatever the count, only
// the calling thread touches the progress.
TEST(GeneratorThreads, TakeTheirCountFromTheEnvironment) {
  struct ThreadProgress : RecordingProgress {
    void SetRange(uint32_t maximum) override { Record(), RecordingProgress::SetRange(maximum); }
    void SetPosition(uint32_t value) override { Record(), RecordingProgress::SetPosition(value); }
    void Step() override { Record(), RecordingProgress::Step(); }
    void Record() { threads.insert(std::this_thread::get_id()); }
    std::set<std::thread::id> threads;
  };
  for (const auto& [value, clones] : {std::pair{"1", 0}, {"3", 2}, {"0x2", 1}, {"16", 15}}) {
    setenv("PINDOT_THREADS", value, 1);
    auto log = std::make_shared<CloneLog>();
    CloningCanvas canvas(log);
    Generator generator = MakeGenerator(16);
    ThreadProgress progress;
    const std::u16string sample = DrawManyGlyphs(canvas, 400);
    generator.Generate(sample, canvas, progress);
    EXPECT_EQ(log->clones, clones) << value;
    // 400 units and the line break's two, each drawn once by one of the canvases.
    EXPECT_EQ(log->draws, 402) << value;
    EXPECT_EQ(progress.threads, std::set<std::thread::id>{std::this_thread::get_id()}) << value;
    EXPECT_EQ(progress.position, sample.size()) << value;
  }
  for (const char* value : {"0", "17", "two", "-1"}) {
    setenv("PINDOT_THREADS", value, 1);
    CloningCanvas canvas;
    Generator generator = MakeGenerator(16);
    NoProgress progress;
    EXPECT_THROW(generator.Generate(u"a", canvas, progress), UserError) << value;
  }
  unsetenv("PINDOT_THREADS");
}

}  // namespace
}  // namespace pindot
