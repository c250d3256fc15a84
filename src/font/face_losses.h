// The face's part of a run's loss report: what it has no glyph for.
#pragma once

#include "font/font_canvas.h"
#include "glyph/generator.h"
#include "glyph/loss_report.h"

namespace pindot {

// Names the face that drew, a bitmap face's strike of another size than `asked` had, the distinct
// units of the last sample it has no glyph for (drawn as its glyph 0; control codes left out), and
// whether "中", which the cells are measured on, is one of its missing glyphs.
void AddFaceLosses(FontCanvas& canvas, const FontRequest& asked, const Generator& generator,
                   LossReport& report);

}  // namespace pindot
