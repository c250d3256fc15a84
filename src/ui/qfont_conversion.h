// Between the core's FontSpec and Qt's QFont: for the sample box and the font chooser.
#pragma once

#include <QFont>

#include "font/font_description.h"

namespace pindot {

class FontCanvas;

// The font the chooser returned as the generator asks for it: the family as the face name, the
// pixel size (or the point size at dotsPerInch) as the em height, bold from weight 600 up.
FontSpec FontSpecFromQFont(const QFont& font, double dotsPerInch);

// The font description as Qt draws it. With a canvas the family it really resolved to is used (and
// its file made known to Qt when Qt lacks it), so the sample box shows the glyphs that Generate
// draws even for names only the project's aliases know ("Fixedsys", "宋体").
QFont QFontFromFontSpec(const FontSpec& fontSpec, const FontCanvas* canvas);

}  // namespace pindot
