// What one Generate leaves behind, to hold a run on several threads against a run on one.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/user_error.h"
#include "glyph/generator.h"
#include "output/font_data_text.h"
#include "recording_progress.h"

namespace pindot::testing {

struct GenerateOutcome {
  std::string error;  // the UserError's message; empty when the run went through
  // The glyphs kept, in the order they were filed: each one's unit, width, rows and bytes.
  std::vector<uint32_t> glyphs;
  std::u16string thin;  // the lists' characters, in list order
  std::u16string wide;
  std::vector<uint32_t> ranges;  // what the render pass told the progress display
  uint32_t position = 0;
  std::u16string preview;  // both texts only when the run went through
  std::u16string data;
};

// Generates on `threads` threads (Generator::SetDrawingThreads), catching a UserError.
inline GenerateOutcome RunGenerate(Generator& generator, std::u16string_view sample,
                                   GlyphCanvas& canvas, unsigned threads) {
  GenerateOutcome outcome;
  RecordingProgress progress;
  generator.SetDrawingThreads(threads);
  try {
    generator.Generate(sample, canvas, progress);
  } catch (const UserError& error) {
    outcome.error = error.what();
  }
  outcome.ranges = progress.ranges;
  outcome.position = progress.position;
  for (const DrawnGlyph& glyph : generator.Glyphs()) {
    outcome.glyphs.insert(outcome.glyphs.end(), {glyph.unit, glyph.width, glyph.rows});
    const uint8_t* bytes = generator.GlyphBytes(glyph);
    outcome.glyphs.insert(outcome.glyphs.end(), bytes,
                          bytes + glyph.rows * ((glyph.width + 7) / 8));
  }
  for (auto [list, characters] : {std::pair{&generator.ThinList(), &outcome.thin},
                                  std::pair{&generator.WideList(), &outcome.wide}}) {
    for (const GlyphEntry& entry : *list) characters->push_back(entry.character);
  }
  if (outcome.error.empty()) {
    outcome.preview = generator.GlyphPreviewText();
    NoProgress none;
    outcome.data = BuildFontDataText(generator, none);
  }
  return outcome;
}

// The long texts are compared whole but not printed: a font data text runs to megabytes.
inline void ExpectSameOutcome(const GenerateOutcome& threaded, const GenerateOutcome& alone,
                              const std::string& name) {
  EXPECT_EQ(threaded.error, alone.error) << name;
  EXPECT_TRUE(threaded.glyphs == alone.glyphs) << name << ": the glyphs kept differ";
  EXPECT_TRUE(threaded.thin == alone.thin) << name << ": the thin lists differ";
  EXPECT_TRUE(threaded.wide == alone.wide) << name << ": the wide lists differ";
  EXPECT_EQ(threaded.ranges, alone.ranges) << name;
  EXPECT_EQ(threaded.position, alone.position) << name;
  EXPECT_TRUE(threaded.preview == alone.preview) << name << ": the previews differ";
  EXPECT_TRUE(threaded.data == alone.data) << name << ": the font data texts differ";
}

}  // namespace pindot::testing
