// Between the core's FontRequest and Qt's QFont: for the sample box and the font chooser.
#pragma once

#include <QFont>

#include "font/font_request.h"

namespace pindot {

struct ResolvedFace;

// The font the chooser returned as the generator asks for it: the family as the face name, the
// pixel size (or the point size at dotsPerInch) as the em height, bold from semi-bold up.
FontRequest FontRequestFromQFont(const QFont& font, double dotsPerInch);

// The font description as Qt draws it. With the face it resolved to, that family is used (and its
// file made known to Qt when Qt lacks it), so the sample box shows the glyphs that Generate
// draws even for names only the project's aliases know ("Fixedsys", "宋体").
QFont QFontFromFontRequest(const FontRequest& fontRequest, const ResolvedFace* face);

}  // namespace pindot
