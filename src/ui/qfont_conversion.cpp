#include "ui/qfont_conversion.h"

#include <QFile>
#include <QFontDatabase>
#include <QStringList>
#include <cmath>

#include "font/font_pipeline.h"
#include "ui/qt_text.h"

namespace pindot {

namespace {

constexpr int kBoldWeight = 700;
constexpr int kRegularWeight = 400;

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

FontSpec FontSpecFromQFont(const QFont& font, double dotsPerInch) {
  FontSpec fontSpec;
  fontSpec.faceName = ToU16String(font.family());
  // A chooser's size is an em, as Windows' chooser gives -MulDiv(points, dpi, 72) as lfHeight: an
  // em of that many pixels, whose cell is taller for most faces. Qt's pixel size is an em too.
  if (font.pixelSize() > 0) {
    fontSpec.emHeight = font.pixelSize();
  } else {
    fontSpec.emHeight = static_cast<int>(std::lround(font.pointSizeF() * dotsPerInch / 72.0));
  }
  if (fontSpec.emHeight < 1) fontSpec.emHeight = 1;
  fontSpec.weight = font.weight() >= 600 ? kBoldWeight : kRegularWeight;
  fontSpec.italic = font.italic();
  fontSpec.underline = font.underline();
  fontSpec.strikeOut = font.strikeOut();
  return fontSpec;
}

QFont QFontFromFontSpec(const FontSpec& fontSpec, const ResolvedFace* face) {
  QFont font;
  font.setFamily(face != nullptr ? FamilyForFace(*face) : ToQString(fontSpec.faceName));
  // Qt sizes fonts by their em; a cell height is near enough to show the sample in.
  const int pixels = fontSpec.emHeight > 0 ? fontSpec.emHeight : fontSpec.cellHeight;
  font.setPixelSize(pixels > 0 ? pixels : 1);
  font.setWeight(fontSpec.weight >= 600 ? QFont::Bold : QFont::Normal);
  font.setItalic(fontSpec.italic);
  font.setUnderline(fontSpec.underline);
  font.setStrikeOut(fontSpec.strikeOut);
  return font;
}

}  // namespace pindot
