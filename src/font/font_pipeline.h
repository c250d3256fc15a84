// One run of the pipeline, the same for every front end: the font asked for is opened and
// measured, the sample drawn into both tables, and whatever did not come out as asked gathered.
// The command line, `pindot build` and the window only gather the request and show the result.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "font/font_canvas.h"
#include "font/font_request.h"
#include "glyph/generator.h"
#include "glyph/generator_settings.h"
#include "glyph/loss_report.h"
#include "glyph/progress_indicator.h"

namespace pindot {

// The face a font description resolved to, as the front ends name it.
struct ResolvedFace {
  std::u16string family;  // the face really used
  std::string path;       // its file
  bool standIn = false;   // no face of the asked name is installed: `family` draws instead
};

// A font opened and measured, nothing drawn: what a front end shows once a font is chosen.
struct MeasuredFont {
  GeneratorSettings settings;  // the cell and the face name as a run of this font measures them
  ResolvedFace face;
};

// Throws UserError when the font cannot be had.
MeasuredFont MeasureRequestedFont(const FontRequest& font);

// What one run is asked to make.
struct PipelineRequest {
  FontRequest font;  // a font file's family stands in for the face name
  std::u16string sample;
  unsigned codePage = 1252;  // the ANSI code page of the keys and the exported text
  bool sortByUnicode = true;
  std::optional<uint32_t> width;   // the wide cell's width instead of the advance of U+4E2D
  std::optional<uint32_t> height;  // the cell's rows instead of the face's cell height
  // Whether the user chose the size. Without a choice the default size stands, and a bitmap face
  // drawn at its own strike of another height is nothing lost.
  bool sizeAsked = true;
  // The glyphs are written with boxes of their own (every format but EXFONT): none is cut to a
  // cell, nor is a cell measured on U+4E2D, so neither is a loss.
  bool boxedGlyphs = false;
};

struct PipelineResult {
  std::unique_ptr<Generator> generator;  // both tables, the preview and the settings used
  LossReport losses;                     // missing, left out, cut, drawn with another strike
  ResolvedFace face;
  std::unique_ptr<FontCanvas> canvas;  // the font, to draw its glyphs again for another format
};

// Opens and measures the font, draws every unit of the sample (one progress step each) and gathers
// the losses. Throws UserError for a font or code page that cannot be had, and RunCancelled when
// `cancel` turns true before the last glyph is drawn.
PipelineResult RunPipeline(const PipelineRequest& request, ProgressIndicator& progress,
                           const std::atomic<bool>* cancel = nullptr);

}  // namespace pindot
