// One Generate: render every unit of the sample text, file it thin or wide, order, write the data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "font/font_description.h"
#include "glyph/glyph_canvas.h"
#include "glyph/glyph_list.h"
#include "text/code_page.h"

namespace pindot {

struct GeneratorSettings {
  uint32_t width = 8;   // a glyph narrower than this is thin; checked 4..128 where it is typed
  uint32_t height = 8;  // checked 0..128 where it is typed
  std::u16string faceName = u"\u5b8b\u4f53";  // "SimSun" in Chinese, until a font is measured
  int32_t thinWidth = 0;                      // advance of "a"; only export reads it
  bool sortByUnicode = true;
  FontSpec font;
};

// Owned and driven by the window and by the command line alike. Reading the settings from the
// controls before a run, and showing the texts after it, is the front end's business.
class Generator {
 public:
  explicit Generator(CodePage codePage) : codePage_(std::move(codePage)) {}

  GeneratorSettings& Settings() { return settings_; }
  const GeneratorSettings& Settings() const { return settings_; }
  const CodePage& GetCodePage() const { return codePage_; }

  // Empties both texts and both lists, renders, orders, writes the font data text. Running it
  // twice on the same input gives the same texts.
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
  const std::u16string& FontDataText() const { return fontDataText_; }

 private:
  CodePage codePage_;
  GeneratorSettings settings_;
  GlyphList thinList_;
  GlyphList wideList_;
  std::u16string fontDataText_;
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
