#include "ui/qfont_conversion.h"

#include <QFile>
#include <QFontDatabase>
#include <QStringList>
#include <cmath>

#include "font/font_canvas.h"
#include "ui/qt_text.h"

namespace pindot {

namespace {

constexpr int kBoldWeight = 700;
constexpr int kRegularWeight = 400;

QString FamilyForCanvas(const FontCanvas& canvas) {
  QString family = ToQString(canvas.ResolvedFamily());
  if (!family.isEmpty() && QFontDatabase::hasFamily(family)) return family;
  const std::string path = canvas.ResolvedPath();
  if (!path.empty()) {
    const int id = QFontDatabase::addApplicationFont(QFile::decodeName(path.c_str()));
    const QStringList families = QFontDatabase::applicationFontFamilies(id);
    if (!families.isEmpty()) return families.first();
  }
  return family;
}

}  // namespace

FontSpec FontSpecFromQFont(const QFont& font, double dotsPerInch) {
  FontSpec fontSpec;
  fontSpec.faceName = ToU16String(font.family());
  if (font.pixelSize() > 0) {
    fontSpec.cellHeight = font.pixelSize();
  } else {
    fontSpec.cellHeight = static_cast<int>(std::lround(font.pointSizeF() * dotsPerInch / 72.0));
  }
  if (fontSpec.cellHeight < 1) fontSpec.cellHeight = 1;
  fontSpec.weight = font.weight() >= 600 ? kBoldWeight : kRegularWeight;
  fontSpec.italic = font.italic();
  fontSpec.underline = font.underline();
  fontSpec.strikeOut = font.strikeOut();
  return fontSpec;
}

QFont QFontFromFontSpec(const FontSpec& fontSpec, const FontCanvas* canvas) {
  QFont font;
  font.setFamily(canvas != nullptr ? FamilyForCanvas(*canvas) : ToQString(fontSpec.faceName));
  font.setPixelSize(fontSpec.cellHeight > 0 ? fontSpec.cellHeight : 1);
  font.setWeight(fontSpec.weight >= 600 ? QFont::Bold : QFont::Normal);
  font.setItalic(fontSpec.italic);
  font.setUnderline(fontSpec.underline);
  font.setStrikeOut(fontSpec.strikeOut);
  return font;
}

}  // namespace pindot
