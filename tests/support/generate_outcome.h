// What one Generate leaves behind, to hold a run on several threads against a run on one, and the
// progress display that records it.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "base/user_error.h"
#include "glyph/generator.h"
#include "glyph/progress_indicator.h"
#include "glyph_preview.h"
#include "output/font_data_text.h"

namespace pindot::testing {

// A progress display that records the ranges the stages gave it and where it stands.
class RecordingProgress : public ProgressIndicator {
 public:
  void SetRange(uint32_t maximum) override { ranges.push_back(maximum); }
  void SetPosition(uint32_t value) override { position = value; }
  void Step() override { ++position; }

  std::vector<uint32_t> ranges;
  uint32_t position = 12345;  // whatever an earlier run left
};

struct GenerateOutcome {
  std::string error;               // the UserError's message; empty when the run went through
  std::vector<uint32_t> progress;  // the ranges the render pass gave the display, then its position
  // Each glyph kept, in the order filed: its unit, width, rows and bytes.
  std::vector<uint32_t> glyphs;
  // The lists' characters in list order, then the preview and the font data text when the run
  // went through.
  std::u16string texts;
};

// Generates on `threads` threads (PINDOT_THREADS, unset again afterwards), catching a UserError.
inline GenerateOutcome RunGenerate(Generator& generator, std::u16string_view sample,
                                   GlyphCanvas& canvas, unsigned threads) {
  GenerateOutcome outcome;
  RecordingProgress progress;
  setenv("PINDOT_THREADS", std::to_string(threads).c_str(), 1);
  try {
    generator.Generate(sample, canvas, progress);
  } catch (const UserError& error) {
    outcome.error = error.what();
  }
  unsetenv("PINDOT_THREADS");
  outcome.progress = progress.ranges;
  outcome.progress.push_back(progress.position);
  for (const DrawnGlyph& glyph : generator.Glyphs()) {
    outcome.glyphs.insert(outcome.glyphs.end(), {glyph.unit, glyph.width, glyph.rows});
    const uint8_t* bytes = generator.GlyphBytes(glyph);
    outcome.glyphs.insert(outcome.glyphs.end(), bytes,
                          bytes + glyph.rows * ((glyph.width + 7) / 8));
  }
  for (const GlyphList* list : {&generator.ThinList(), &generator.WideList()}) {
    for (const GlyphEntry& entry : *list) outcome.texts.push_back(entry.character);
    outcome.texts.push_back(u'\n');
  }
  if (outcome.error.empty()) {
    NoProgress none;
    outcome.texts += GlyphPreviewText(generator) + BuildFontDataText(generator, none);
  }
  return outcome;
}

// The glyphs and texts are compared whole but not printed: a font data text runs to megabytes.
inline void ExpectSameOutcome(const GenerateOutcome& threaded, const GenerateOutcome& alone,
                              const std::string& name) {
  EXPECT_EQ(threaded.error, alone.error) << name;
  EXPECT_EQ(threaded.progress, alone.progress) << name;
  EXPECT_TRUE(threaded.glyphs == alone.glyphs) << name << ": the glyphs kept differ";
  EXPECT_TRUE(threaded.texts == alone.texts) << name << ": the lists or the texts differ";
}

}  // namespace pindot::testing
