#include "glyph/generator.h"

#include <sched.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "base/run_cancelled.h"
#include "base/user_error.h"
#include "text/number_text.h"

namespace pindot {

namespace {

// Distinct units a thread draws in one go: few enough that the threads finish together and the
// progress moves smoothly, enough that taking the next chunk costs nothing beside drawing it.
constexpr size_t kChunkUnits = 16;
// Fewer distinct units than this are drawn on one thread: setting up a clone (opening the face
// again) would cost more than sharing the drawing saves.
constexpr size_t kMinParallelUnits = 64;

// The cell a unit of the given extent is drawn in and scanned from.
GlyphCell CellOfExtent(const TextExtent& extent) {
  return GlyphCell{1, 1, static_cast<int32_t>(extent.cx) + 1, static_cast<int32_t>(extent.cy) + 1};
}

// Checked before each glyph is drawn, so a cancelled run stops within one glyph's time.
void StopIfCancelled(const std::atomic<bool>* cancel) {
  if (cancel != nullptr && cancel->load(std::memory_order_relaxed)) throw RunCancelled();
}

}  // namespace

// PINDOT_THREADS, else the cores this process may run on (its affinity mask, so a container's or
// taskset's limit counts), at most Generator::kMaxDrawingThreads.
unsigned DefaultDrawingThreads() {
  if (const char* forced = std::getenv("PINDOT_THREADS"); forced != nullptr && *forced != '\0') {
    const std::optional<uint64_t> number = ParseNumber(forced, Generator::kMaxDrawingThreads);
    if (!number || *number == 0) {
      throw UserError(std::string("PINDOT_THREADS \"") + forced +
                      "\" is not a number of threads from 1 to " +
                      std::to_string(Generator::kMaxDrawingThreads));
    }
    return static_cast<unsigned>(*number);
  }
  unsigned cores = 0;
  cpu_set_t cpus;
  if (sched_getaffinity(0, sizeof cpus, &cpus) == 0) {
    cores = static_cast<unsigned>(CPU_COUNT(&cpus));
  }
  if (cores == 0) cores = std::thread::hardware_concurrency();
  return std::clamp(cores, 1u, Generator::kMaxDrawingThreads);
}

namespace {

// What one thread drew of one chunk of units.
struct DrawnChunk {
  std::vector<DrawnGlyph> glyphs;  // their firstByte counts from the start of `bytes`
  std::vector<uint8_t> bytes;
  // What the canvas threw for the unit after the last of `glyphs`; the chunk's later units are
  // not drawn.
  std::exception_ptr failure;
};

// The distinct units of a sample cut into chunks, which threads take in turn, each drawing on a
// canvas of its own. A chunk is read only once it is done; until then only its drawer touches it.
class ChunkedDrawing {
 public:
  ChunkedDrawing(std::vector<char16_t> units, const std::atomic<bool>* cancel)
      : units_(std::move(units)),
        cancel_(cancel),
        chunks_((units_.size() + kChunkUnits - 1) / kChunkUnits),
        done_(chunks_.size(), false) {}

  size_t ChunkCount() const { return chunks_.size(); }

  // Takes the next chunk and draws it on `canvas`, or returns false when none is left to take:
  // all are taken, an earlier one failed, or the drawing was abandoned. `scanBytes` is the
  // calling thread's own.
  bool DrawNextChunk(GlyphCanvas& canvas, std::vector<uint8_t>& scanBytes) {
    if (abandoned_) return false;
    const size_t index = next_++;
    // A chunk after one that failed is never filed.
    if (index >= chunks_.size() || index > firstFailed_) return false;
    DrawnChunk& chunk = chunks_[index];
    const size_t begin = index * kChunkUnits;
    const size_t end = std::min(begin + kChunkUnits, units_.size());
    try {
      chunk.glyphs.reserve(end - begin);
      for (size_t i = begin; i < end; ++i) {
        StopIfCancelled(cancel_);
        const char16_t unit = units_[i];
        const GlyphCell cell = CellOfExtent(canvas.MeasureCharacter(unit));
        canvas.DrawCharacter(unit);
        ScanGlyph(canvas, cell, scanBytes);
        chunk.glyphs.push_back(DrawnGlyph{unit, cell.Width(), cell.Rows(), chunk.bytes.size()});
        chunk.bytes.insert(chunk.bytes.end(), scanBytes.begin(), scanBytes.end());
      }
    } catch (...) {
      chunk.failure = std::current_exception();
      size_t failed = firstFailed_;
      while (index < failed && !firstFailed_.compare_exchange_weak(failed, index)) {
      }
    }
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      done_[index] = true;
    }
    chunkDone_.notify_one();
    return true;
  }

  // Chunk `index` once it is done, or null when it is not (yet); with `wait`, waits for it.
  DrawnChunk* Finished(size_t index, bool wait) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (wait) chunkDone_.wait(lock, [&] { return done_[index]; });
    return done_[index] ? &chunks_[index] : nullptr;
  }

  // Lets go of a chunk's memory once it is filed.
  void Release(size_t index) { chunks_[index] = DrawnChunk{}; }

  // No thread takes another chunk.
  void Abandon() { abandoned_ = true; }

 private:
  const std::vector<char16_t> units_;
  const std::atomic<bool>* const cancel_;
  std::vector<DrawnChunk> chunks_;
  std::atomic<size_t> next_{0};
  std::atomic<size_t> firstFailed_{SIZE_MAX};
  std::atomic<bool> abandoned_{false};
  std::mutex mutex_;
  std::condition_variable chunkDone_;  // only the calling thread waits
  std::vector<bool> done_;             // guarded by mutex_
};

// The helper threads of one pass, stopped and joined however the pass ends.
class DrawingThreads {
 public:
  explicit DrawingThreads(ChunkedDrawing& drawing) : drawing_(drawing) {}
  DrawingThreads(const DrawingThreads&) = delete;
  DrawingThreads& operator=(const DrawingThreads&) = delete;
  ~DrawingThreads() {
    drawing_.Abandon();
    for (std::thread& thread : threads_) thread.join();
  }

  // Starts a thread that draws chunks on `canvas` until none is left; false when the system has
  // no thread to give (the threads already started and the calling thread do the work).
  bool Start(GlyphCanvas& canvas) {
    try {
      threads_.emplace_back([this, &canvas] {
        std::vector<uint8_t> scanBytes;
        while (drawing_.DrawNextChunk(canvas, scanBytes)) {
        }
      });
    } catch (const std::system_error&) {
      return false;
    }
    return true;
  }

 private:
  ChunkedDrawing& drawing_;
  std::vector<std::thread> threads_;
};

}  // namespace

void Generator::Generate(std::u16string_view sampleText, GlyphCanvas& canvas,
                         ProgressIndicator& progress, const std::atomic<bool>* cancel) {
  sample_.clear();
  glyphs_.clear();
  glyphBytes_.clear();
  glyphOfUnit_.assign(0x10000, kNotDrawn);
  thinList_.RemoveAll();
  wideList_.RemoveAll();
  leftOutThin_.clear();
  leftOutWide_.clear();
  RenderSampleText(sampleText, canvas, progress, cancel);
  OrderGlyphLists(thinList_, wideList_, &leftOutThin_, &leftOutWide_);
}

void Generator::RenderSampleText(std::u16string_view sampleText, GlyphCanvas& canvas,
                                 ProgressIndicator& progress, const std::atomic<bool>* cancel) {
  progress.SetRange(static_cast<uint32_t>(sampleText.size()));
  progress.SetPosition(0);
  sample_.append(sampleText);
  const unsigned threads = DefaultDrawingThreads();
  if (threads > 1 && RenderInParallel(sampleText, canvas, progress, threads, cancel)) return;
  for (char16_t unit : sampleText) {
    if (glyphOfUnit_[unit] == kNotDrawn) {
      StopIfCancelled(cancel);
      const GlyphCell cell = CellOfExtent(canvas.MeasureCharacter(unit));
      canvas.DrawCharacter(unit);
      GenerateGlyph(unit, canvas, cell);
    }
    progress.Step();
  }
}

bool Generator::RenderInParallel(std::u16string_view sampleText, GlyphCanvas& canvas,
                                 ProgressIndicator& progress, unsigned threads,
                                 const std::atomic<bool>* cancel) {
  std::vector<char16_t> units;  // the units to draw, in the order they first appear
  std::vector<bool> seen(0x10000, false);
  for (char16_t unit : sampleText) {
    if (glyphOfUnit_[unit] != kNotDrawn || seen[unit]) continue;
    seen[unit] = true;
    units.push_back(unit);
  }
  if (units.size() < kMinParallelUnits) return false;
  ChunkedDrawing drawing(std::move(units), cancel);
  threads = static_cast<unsigned>(std::min<size_t>(threads, drawing.ChunkCount()));
  // The clones are all made before any thread draws, so none is made from a canvas in use. A
  // clone that cannot be made only means fewer threads: the canvas itself draws the same.
  std::vector<std::unique_ptr<GlyphCanvas>> clones;
  try {
    while (clones.size() + 1 < threads) {
      std::unique_ptr<GlyphCanvas> clone = canvas.Clone();
      if (!clone) break;
      clones.push_back(std::move(clone));
    }
  } catch (const std::exception&) {
  }
  if (clones.empty()) return false;

  DrawingThreads helpers(drawing);
  for (const std::unique_ptr<GlyphCanvas>& clone : clones) {
    if (!helpers.Start(*clone)) break;
  }
  // The calling thread draws too, and between its chunks files what is done, in order, and steps
  // the progress past every unit whose glyph is filed; once no chunk is left to take it waits.
  size_t position = 0;
  for (size_t filed = 0; filed < drawing.ChunkCount();) {
    const bool drew = drawing.DrawNextChunk(canvas, scanBytes_);
    while (filed < drawing.ChunkCount()) {
      DrawnChunk* chunk = drawing.Finished(filed, !drew);
      if (chunk == nullptr) break;
      const std::vector<DrawnGlyph>& glyphs = chunk->glyphs;
      for (size_t i = 0; i < glyphs.size(); ++i) {
        const size_t end = i + 1 < glyphs.size() ? glyphs[i + 1].firstByte : chunk->bytes.size();
        FileGlyph(glyphs[i].unit, glyphs[i].width, glyphs[i].rows,
                  chunk->bytes.data() + glyphs[i].firstByte, end - glyphs[i].firstByte);
      }
      for (; position < sampleText.size() && glyphOfUnit_[sampleText[position]] != kNotDrawn;
           ++position) {
        progress.Step();
      }
      if (chunk->failure) std::rethrow_exception(chunk->failure);
      StopIfCancelled(cancel);
      drawing.Release(filed);
      ++filed;
    }
  }
  for (; position < sampleText.size(); ++position) progress.Step();
  return true;
}

void Generator::GenerateGlyph(char16_t unit, const GlyphCanvas& canvas, const GlyphCell& cell) {
  ScanGlyph(canvas, cell, scanBytes_);
  FileGlyph(unit, cell.Width(), cell.Rows(), scanBytes_.data(), scanBytes_.size());
}

void Generator::FileGlyph(char16_t unit, uint32_t width, uint32_t rows, const uint8_t* bytes,
                          size_t count) {
  const DrawnGlyph glyph{unit, width, rows, glyphBytes_.size()};
  glyphBytes_.insert(glyphBytes_.end(), bytes, bytes + count);
  const auto index = static_cast<uint32_t>(glyphs_.size());
  glyphs_.push_back(glyph);
  glyphOfUnit_[unit] = index;

  GlyphEntry entry = MakeGlyphEntry(unit, index, settings_.sortByUnicode, codePage_);
  // A glyph goes to the table whose cell holds it: thin when its advance fits the thin cell, so a
  // 10-pixel Greek letter of a 16-pixel font lands in the wide table whole.
  if (glyph.width <= CellOf(TableKind::kThin, settings_).width) {
    thinList_.Append(entry);
  } else {
    wideList_.Append(entry);
  }
}

void Generator::WriteGlyphPreview(const std::function<void(std::u16string_view piece)>& sink,
                                  size_t pieceLength) const {
  std::u16string piece;
  for (char16_t unit : sample_) {
    const DrawnGlyph& glyph = GlyphOfUnit(unit);
    AppendPreviewLines(GlyphBytes(glyph), glyph.width, glyph.rows, piece);
    if (piece.size() >= pieceLength) {
      sink(piece);
      piece.clear();
    }
  }
  if (!piece.empty()) sink(piece);
}

}  // namespace pindot
