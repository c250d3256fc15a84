#include "glyph/generator.h"

#include <gmock/gmock.h>
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
#include "output/font_data_text.h"
#include "recording_progress.h"
#include "text/number_text.h"
#include "worked_example.h"

namespace pindot {
namespace {

using testing::AsciiCanvas;
using testing::ExpectSameOutcome;
using testing::RecordingProgress;
using testing::RunGenerate;

Generator MakeGenerator(uint32_t width, bool sortByUnicode) {
  Generator generator{CodePage(936)};
  generator.Settings().width = width;
  generator.Settings().height = 2;
  generator.Settings().sortByUnicode = sortByUnicode;
  return generator;
}

std::u16string Characters(const GlyphList& list) {
  std::u16string text;
  for (const GlyphEntry& entry : list) text.push_back(entry.character);
  return text;
}

// A row of `width` ink pixels over a blank row.
std::vector<std::string> Bar(size_t width) {
  return {std::string(width, '#'), std::string(width, '.')};
}

// At W = 16 the thin cell is 8 wide: a glyph goes to the table whose cell holds its advance.
TEST(Generator, FilesAGlyphThinWhenItsAdvanceFitsTheThinCell) {
  AsciiCanvas canvas(2);
  const std::pair<char16_t, size_t> glyphs[] = {{u'\u0301', 0}, {u'a', 8},       {u'b', 9},
                                                {u'm', 15},     {u'\u4e2d', 16}, {u'\u0391', 17}};
  for (const auto& [unit, width] : glyphs) canvas.SetGlyph(unit, Bar(width));
  NoProgress progress;
  Generator generator = MakeGenerator(16, true);
  generator.Generate(u"aa\u4e2dm\u0301b\u0391", canvas, progress);
  EXPECT_EQ(Characters(generator.ThinList()), u"a\u0301");
  EXPECT_EQ(Characters(generator.WideList()), u"bm\u0391\u4e2d");
}

// Each entry holds exactly its cell, ((w + 7) >> 3) x H bytes: at W = 12 a thin cell is 6 x 2
// (1 byte a row), a wide one 12 x 2 (2 bytes a row).
TEST(Generator, EveryEntryHoldsExactlyItsTablesCell) {
  AsciiCanvas canvas(2);
  canvas.SetGlyph(u't', {"#####", "#...#"});                    // 5: thin, as it is
  canvas.SetGlyph(u's', {"#######", "#.....#"});                // 7: wide, padded: fe 00 / 82 00
  canvas.SetGlyph(u'w', {"##############", "#............#"});  // 14: cut to 12: ff f0 / 80 00
  NoProgress progress;
  Generator generator = MakeGenerator(12, true);
  generator.Generate(u"tsw", canvas, progress);
  const GeneratorSettings& settings = generator.Settings();
  std::vector<uint8_t> bytes;
  generator.CellBytes(*generator.ThinList().begin(), CellOf(TableKind::kThin, settings), bytes);
  EXPECT_EQ(bytes, (std::vector<uint8_t>{0xf8, 0x88}));
  auto wide = generator.WideList().begin();
  generator.CellBytes(*wide, CellOf(TableKind::kWide, settings), bytes);
  EXPECT_EQ(bytes, (std::vector<uint8_t>{0xfe, 0x00, 0x82, 0x00}));
  generator.CellBytes(*std::next(wide), CellOf(TableKind::kWide, settings), bytes);
  EXPECT_EQ(bytes, (std::vector<uint8_t>{0xff, 0xf0, 0x80, 0x00}));
}

TEST(Generator, OnlyGlyphsWiderThanTheirCellAreCut) {
  AsciiCanvas canvas(2);
  for (const auto& [unit, width] : {std::pair{u'a', 6}, {u'b', 7}, {u'c', 12}, {u'd', 13}})
    canvas.SetGlyph(unit, Bar(width));
  NoProgress progress;
  Generator generator = MakeGenerator(12, true);
  generator.Generate(u"abcd", canvas, progress);
  EXPECT_TRUE(generator.CutEntries(TableKind::kThin).empty());
  const std::vector<const GlyphEntry*> cut = generator.CutEntries(TableKind::kWide);
  ASSERT_EQ(cut.size(), 1u);
  EXPECT_EQ(cut[0]->character, u'd');
}

// Drawing each distinct unit once changes nothing that is shown: the preview still has every unit.
TEST(Generator, DrawsEachDistinctUnitOnceButPreviewsEveryUnit) {
  struct CountingCanvas : AsciiCanvas {
    using AsciiCanvas::AsciiCanvas;
    void DrawCharacter(char16_t unit) override {
      ++draws;
      AsciiCanvas::DrawCharacter(unit);
    }
    int draws = 0;
  } canvas(1);
  canvas.SetGlyph(u'i', {"#"});
  RecordingProgress progress;
  Generator generator = MakeGenerator(8, true);
  generator.Generate(u"iiiii", canvas, progress);
  EXPECT_EQ(canvas.draws, 1);
  EXPECT_EQ(generator.GlyphPreviewText(), u"80 11\r\n80 11\r\n80 11\r\n80 11\r\n80 11\r\n");
  EXPECT_EQ(progress.ranges, std::vector<uint32_t>{5});
  EXPECT_EQ(progress.position, 5u);
  EXPECT_EQ(generator.ThinList().GetCount(), 1u);
}

TEST(Generator, EveryRunStartsAfresh) {
  AsciiCanvas canvas = testing::WorkedExampleCanvas();
  canvas.SetMissingWidth(1);
  RecordingProgress progress;
  Generator generator = MakeGenerator(8, true);
  generator.Generate(u"j\u4e2dij", canvas, progress);
  const std::u16string data = BuildFontDataText(generator, progress);
  // The preview keeps every unit in sample order, repeats and a line break's two units included.
  generator.Generate(u"ii\r\n", canvas, progress);
  EXPECT_EQ(generator.GlyphPreviewText(),
            u"40   11\r\nc0 1111\r\n40   11\r\nc0 1111\r\n"
            u"00   \r\n00   \r\n00   \r\n00   \r\n");
  EXPECT_EQ(Characters(generator.ThinList()), u"\n\ri");
  generator.Generate(u"j\u4e2dij", canvas, progress);
  EXPECT_EQ(BuildFontDataText(generator, progress), data);
  // Read twice, the preview still holds the four glyphs once: two rows each.
  generator.GlyphPreviewText();
  const std::u16string& preview = generator.GlyphPreviewText();
  EXPECT_EQ(std::count(preview.begin(), preview.end(), u'\n'), 8);
  EXPECT_EQ(preview.substr(0, 20), u"20     11\r\nc0 1111  ");

  generator.Generate(u"", canvas, progress);
  EXPECT_EQ(generator.GlyphPreviewText() + BuildFontDataText(generator, progress), u"");
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
  CloningCanvas(uint32_t cellHeight, std::shared_ptr<CloneLog> log)
      : AsciiCanvas(cellHeight), log_(std::move(log)) {}

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

TEST(GeneratorThreads, StepTheProgressOnTheCallingThreadOnly) {
  struct ThreadProgress : RecordingProgress {
    void SetRange(uint32_t maximum) override { Record(), RecordingProgress::SetRange(maximum); }
    void SetPosition(uint32_t value) override { Record(), RecordingProgress::SetPosition(value); }
    void Step() override { Record(), RecordingProgress::Step(); }
    void Record() { threads.insert(std::this_thread::get_id()); }
    std::set<std::thread::id> threads;
  } progress;
  CloningCanvas canvas(3, std::make_shared<CloneLog>());
  const std::u16string sample = DrawManyGlyphs(canvas, 2000);
  Generator generator = MakeGenerator(16, true);
  generator.SetDrawingThreads(4);
  generator.Generate(sample, canvas, progress);
  EXPECT_EQ(progress.threads, std::set<std::thread::id>{std::this_thread::get_id()});
  EXPECT_EQ(progress.ranges, std::vector<uint32_t>{static_cast<uint32_t>(sample.size())});
  EXPECT_EQ(progress.position, sample.size());
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
    CloningCanvas canvas(3, log);
    const std::u16string sample = DrawManyGlyphs(canvas, 600);
    Generator alone = MakeGenerator(16, true);
    const testing::GenerateOutcome expected = RunGenerate(alone, sample, canvas, 1);
    ASSERT_EQ(expected.error, "cannot draw " + CodePointName(*failing.begin())) << name;
    log->waitsForAFailure = waiting;
    Generator threaded = MakeGenerator(16, true);
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
      CloningCanvas canvas(3, log);
      const std::u16string sample = DrawManyGlyphs(canvas, 2000);
      CancellingProgress progress;
      progress.turnAt = turnAt;
      progress.flag = turnAt == 0;
      Generator generator = MakeGenerator(16, true);
      generator.SetDrawingThreads(threads);
      EXPECT_THROW(generator.Generate(sample, canvas, progress, &progress.flag), RunCancelled);
      // No glyph is drawn past the step that turned the flag (helper threads may have drawn ahead
      // of the steps), and the progress stops there.
      if (threads == 1 || turnAt == 0) {
        EXPECT_LE(log->draws, static_cast<int>(turnAt)) << threads;
      }
      EXPECT_LT(progress.position, sample.size()) << threads;
    }
  }
}

// PINDOT_THREADS chooses the count when the generator is left to choose.
TEST(GeneratorThreads, TakeTheirCountFromTheEnvironment) {
  for (const auto& [value, clones] : {std::pair{"1", 0}, {"3", 2}, {"0x2", 1}, {"16", 15}}) {
    setenv("PINDOT_THREADS", value, 1);
    auto log = std::make_shared<CloneLog>();
    CloningCanvas canvas(3, log);
    Generator generator = MakeGenerator(16, true);
    NoProgress progress;
    generator.Generate(DrawManyGlyphs(canvas, 400), canvas, progress);
    EXPECT_EQ(log->clones, clones) << value;
    // 400 units and the line break's two, each drawn once by one of the canvases.
    EXPECT_EQ(log->draws, 402) << value;
  }
  for (const char* value : {"0", "17", "two", "-1"}) {
    setenv("PINDOT_THREADS", value, 1);
    AsciiCanvas canvas(3);
    Generator generator = MakeGenerator(16, true);
    NoProgress progress;
    EXPECT_THAT([&] { generator.Generate(u"a", canvas, progress); },
                ::testing::ThrowsMessage<UserError>(std::string("PINDOT_THREADS \"") + value +
                                                    "\" is not a number of threads from 1 to 16"));
  }
  unsetenv("PINDOT_THREADS");
}

}  // namespace
}  // namespace pindot
