#include "ui/qfont_conversion.h"

#include <QFile>
#include <QFontDatabase>
#include <QStringList>
#include <cmath>

#include "font/font_pipeline.h"
#include "ui/qt_text.h"

namespace pindot {

namespace {

QString FamilyForFace(const ResolvedFace& face) {
  QString family = ToQString(face.family);
  if (!family.isEmpty() && QFontDatabase::hasFamily(family)) return family;
  if (!face.path.empty()) {
    const int id = QFontDatabase::addApplicationFont(QFile::decodeName(face.path.c_str()));
    const QStringList families = QFontDatabase::applicationFontFamilies(id);
    if (!families.isEmpty()) return families.first();
  }
  return family;
}

}  // namespace

FontRequest FontRequestFromQFont(const QFont& font, double dotsPerInch) {
  FontRequest fontRequest;
  fontRequest.faceName = ToU16String(font.family());
  // A chooser's size is an em, as Windows' chooser gives -MulDiv(points, dpi, 72) as lfHeight: an
  // em of that many pixels, whose cell is taller for most faces. Qt's pixel size is an em too.
  if (font.pixelSize() > 0) {
    fontRequest.emHeight = font.pixelSize();
  } else {
    fontRequest.emHeight = static_cast<int>(std::lround(font.pointSizeF() * dotsPerInch / 72.0));
  }
  if (fontRequest.emHeight < 1) fontRequest.emHeight = 1;
  fontRequest.weight = font.weight() >= kSemiBoldWeight ? kBoldWeight : kRegularWeight;
  fontRequest.italic = font.italic();
  fontRequest.underline = font.underline();
  fontRequest.strikeOut = font.strikeOut();
  return fontRequest;
}

QFont QFontFromFontRequest(const FontRequest& fontRequest, const ResolvedFace* face) {
  QFont font;
  font.setFamily(face != nullptr ? FamilyForFace(*face) : ToQString(fontRequest.faceName));
  // Qt sizes fonts by their em; a cell height is near enough to show the sample in.
  const int pixels = fontRequest.emHeight > 0 ? fontRequest.emHeight : fontRequest.cellHeight;
  font.setPixelSize(pixels > 0 ? pixels : 1);
  font.setWeight(fontRequest.weight >= kSemiBoldWeight ? QFont::Bold : QFont::Normal);
  font.setItalic(fontRequest.italic);
  font.setUnderline(fontRequest.underline);
  font.setStrikeOut(fontRequest.strikeOut);
  return font;
}

}  // namespace pindot
