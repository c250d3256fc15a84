// One Generate: render every unit of the sample text, file it thin or wide, order both lists.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "glyph/generator_settings.h"
#include "glyph/glyph_canvas.h"
#include "glyph/glyph_list.h"
#include "glyph/glyph_scan.h"
#include "glyph/progress_indicator.h"
#include "glyph/table_cell.h"
#include "text/code_page.h"

namespace pindot {

// A unit's glyph as it was drawn and scanned: its own advance and rows, whatever its table's cell.
struct DrawnGlyph {
  char16_t unit = 0;
  uint32_t width = 0;  // cx
  uint32_t rows = 0;   // cy
  size_t firstByte = 0;
};

// PINDOT_THREADS, else the cores this process may run on (its affinity mask, so a container's or
// taskset's limit counts), at most Generator::kMaxDrawingThreads. Throws UserError for a
// PINDOT_THREADS that is no number from 1 to that.
unsigned DefaultDrawingThreads();

// Owned and driven by the window and by the command line alike. Reading the settings from the
// controls before a run, writing the font data text from the lists (output/font_data_text.h) and
// showing the texts after it are the front end's business.
class Generator {
 public:
  explicit Generator(CodePage codePage) : codePage_(std::move(codePage)) {}

  // The most threads the render pass draws on when it chooses for itself.
  static constexpr unsigned kMaxDrawingThreads = 16;

  GeneratorSettings& Settings() { return settings_; }
  const GeneratorSettings& Settings() const { return settings_; }
  const CodePage& GetCodePage() const { return codePage_; }

  // Empties the preview and both lists, renders, orders. Running it twice on the same input gives
  // the same lists and preview, whatever the number of threads it draws on (DefaultDrawingThreads;
  // a PINDOT_THREADS that is no such number throws UserError). When `cancel` is given and turns
  // true, the render pass stops before the next glyph and throws RunCancelled, leaving the lists
  // incomplete.
  void Generate(std::u16string_view sampleText, GlyphCanvas& canvas, ProgressIndicator& progress,
                const std::atomic<bool>* cancel = nullptr);

  const GlyphList& ThinList() const { return thinList_; }
  const GlyphList& WideList() const { return wideList_; }

  const DrawnGlyph& Glyph(const GlyphEntry& entry) const { return glyphs_[entry.glyph]; }
  // The last sample, unit for unit, and the glyph of any of its units.
  std::u16string_view Sample() const { return sample_; }
  const DrawnGlyph& GlyphOfUnit(char16_t unit) const { return glyphs_[glyphOfUnit_[unit]]; }
  // Every distinct unit of the last sample, in the order it first appears.
  const std::vector<DrawnGlyph>& Glyphs() const { return glyphs_; }
  const uint8_t* GlyphBytes(const DrawnGlyph& glyph) const {
    return glyphBytes_.data() + glyph.firstByte;
  }
  // The entries de-duplication left out of a table because an earlier entry had the same key: with
  // Unicode keys none (each unit is filed once), with ANSI keys the characters whose code in the
  // code page is that of another character (all characters it lacks share the space's 0x0020).
  const std::vector<GlyphEntry>& LeftOutEntries(TableKind kind) const {
    return kind == TableKind::kThin ? leftOutThin_ : leftOutWide_;
  }

  // The glyph preview text: every unit of the last sample in sample order, repeats included,
  // handed out in pieces of about `pieceLength` units, so that no one needs to hold it whole.
  void WriteGlyphPreview(const std::function<void(std::u16string_view piece)>& sink,
                         size_t pieceLength = 1 << 16) const;

 private:
  static constexpr uint32_t kNotDrawn = UINT32_MAX;

  // The render pass: every unit, in order, repeats, line breaks and surrogate halves included, one
  // progress step each. A unit met before is not drawn again: its glyph and its entry would be the
  // same, and de-duplication keeps the first entry of each key anyway.
  //
  // With more than one drawing thread and a canvas that clones (GlyphCanvas::Clone), the distinct
  // units are drawn on the canvas and its clones at once, one thread each, the calling thread
  // among them; the calling thread files what they drew in sample order and steps the progress,
  // which no other thread touches. A canvas's exception comes out as the one-thread pass throws
  // it: that of the first unit in sample order that fails, with everything before it filed and
  // stepped. `cancel` is Generate's.
  void RenderSampleText(std::u16string_view sampleText, GlyphCanvas& canvas,
                        ProgressIndicator& progress, const std::atomic<bool>* cancel);
  // One unit already drawn on the canvas: scan, keep its glyph, make its entry and file it thin
  // when its advance fits the thin cell, wide otherwise.
  void GenerateGlyph(char16_t unit, const GlyphCanvas& canvas, const GlyphCell& cell);

  // The threaded render pass; false, having done nothing, when it cannot help (too few units to
  // draw, a canvas without clones).
  bool RenderInParallel(std::u16string_view sampleText, GlyphCanvas& canvas,
                        ProgressIndicator& progress, unsigned threads,
                        const std::atomic<bool>* cancel);
  // Keeps a drawn unit's glyph and files its entry.
  void FileGlyph(char16_t unit, uint32_t width, uint32_t rows, const uint8_t* bytes, size_t count);

  CodePage codePage_;
  GeneratorSettings settings_;
  GlyphList thinList_;
  GlyphList wideList_;
  std::vector<GlyphEntry> leftOutThin_;
  std::vector<GlyphEntry> leftOutWide_;
  std::u16string sample_;              // the last sample, for the preview
  std::vector<DrawnGlyph> glyphs_;     // one per distinct unit, in the order first drawn
  std::vector<uint8_t> glyphBytes_;    // their packed bytes, one after the other
  std::vector<uint32_t> glyphOfUnit_;  // unit -> index into glyphs_, or kNotDrawn
  std::vector<uint8_t> scanBytes_;     // reused between glyphs
};

}  // namespace pindot
