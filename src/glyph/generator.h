// One Generate: render every unit of the sample text, file it thin or wide, order both lists.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "glyph/generator_settings.h"
#include "glyph/glyph_canvas.h"
#include "glyph/glyph_list.h"
#include "glyph/glyph_scan.h"
#include "glyph/progress_indicator.h"
#include "text/code_page.h"

namespace pindot {

// Owned and driven by the window and by the command line alike. Reading the settings from the
// controls before a run, writing the font data text from the lists (output/font_data_text.h) and
// showing the texts after it are the front end's business.
class Generator {
 public:
  explicit Generator(CodePage codePage) : codePage_(std::move(codePage)) {}

  GeneratorSettings& Settings() { return settings_; }
  const GeneratorSettings& Settings() const { return settings_; }
  const CodePage& GetCodePage() const { return codePage_; }

  // Empties the preview and both lists, renders, orders. Running it twice on the same input gives
  // the same lists and preview.
  void Generate(std::u16string_view sampleText, GlyphCanvas& canvas, ProgressIndicator& progress);

  // The render pass: every unit, in order, repeats, line breaks and surrogate halves included.
  void RenderSampleText(std::u16string_view sampleText, GlyphCanvas& canvas,
                        ProgressIndicator& progress);
  // One unit already drawn on the canvas: scan, make its entry, file it thin or wide.
  void GenerateGlyph(char16_t unit, const GlyphCanvas& canvas, const GlyphCell& cell);

  const GlyphList& ThinList() const { return thinList_; }
  const GlyphList& WideList() const { return wideList_; }
  // Written from the glyphs' bytes when first asked for after a run, so a run whose preview
  // nobody reads never holds it (100 MB for 20,902 glyphs of 32 x 32).
  const std::u16string& GlyphPreviewText() const;

 private:
  CodePage codePage_;
  GeneratorSettings settings_;
  GlyphList thinList_;
  GlyphList wideList_;
  // Every glyph drawn, in sample order, for the preview text: its size and where its packed bytes
  // start in previewBytes_.
  struct PreviewGlyph {
    size_t width;
    size_t rows;
    size_t firstByte;
  };
  std::vector<PreviewGlyph> previewGlyphs_;
  std::vector<uint8_t> previewBytes_;
  mutable std::u16string glyphPreviewText_;
  mutable size_t previewGlyphsWritten_ = 0;
  std::vector<uint8_t> scanBytes_;  // reused between glyphs
};

}  // namespace pindot
