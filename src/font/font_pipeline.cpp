#include "font/font_pipeline.h"

#include "font/face_losses.h"
#include "font/font_metrics.h"
#include "text/code_page.h"

namespace pindot {

namespace {

struct OpenedFont {
  std::unique_ptr<FontCanvas> canvas;
  FontRequest font;  // as asked, a file's face name filled in from the file
  ResolvedFace face;
};

OpenedFont OpenFont(const FontRequest& asked) {
  OpenedFont opened{FontCanvas::Open(asked), asked, {}};
  opened.face.family = opened.canvas->ResolvedFamily();
  opened.face.path = opened.canvas->ResolvedPath();
  if (asked.filePath.empty()) {
    opened.face.standIn = opened.face.family != asked.faceName;
  } else {
    opened.font.faceName = opened.face.family;  // a file has no asked name; its family stands in
  }
  return opened;
}

}  // namespace

MeasuredFont MeasureRequestedFont(const FontRequest& font) {
  OpenedFont opened = OpenFont(font);
  MeasuredFont measured;
  MeasureFont(*opened.canvas, opened.font, measured.settings);
  measured.face = std::move(opened.face);
  return measured;
}

PipelineResult RunPipeline(const PipelineRequest& request, ProgressIndicator& progress,
                           const std::atomic<bool>* cancel) {
  CodePage codePage(request.codePage);
  OpenedFont opened = OpenFont(request.font);
  PipelineResult result;
  result.generator = std::make_unique<Generator>(std::move(codePage));
  Generator& generator = *result.generator;
  GeneratorSettings& settings = generator.Settings();
  MeasureFont(*opened.canvas, opened.font, settings);
  if (request.width) settings.width = *request.width;
  if (request.height) settings.height = *request.height;
  settings.sortByUnicode = request.sortByUnicode;
  generator.Generate(request.sample, *opened.canvas, progress, cancel);

  result.losses = FindLosses(generator);
  AddFaceLosses(*opened.canvas, opened.font, generator, result.losses);
  if (!request.sizeAsked) {
    result.losses.askedHeight.reset();
    result.losses.strikeHeight.reset();
  }
  // The cells are the missing glyph's box only when no other width was given.
  if (settings.width != result.losses.referenceBox.width) result.losses.referenceMissing = false;
  if (request.boxedGlyphs) {
    result.losses.cut[0].clear();
    result.losses.cut[1].clear();
    result.losses.referenceMissing = false;
  }
  result.face = std::move(opened.face);
  result.canvas = std::move(opened.canvas);
  return result;
}

}  // namespace pindot
