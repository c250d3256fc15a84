#include "ui/font_spec_conversion.h"

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
  FontSpec spec;
  spec.faceName = ToU16String(font.family());
  if (font.pixelSize() > 0) {
    spec.cellHeight = font.pixelSize();
  } else {
    spec.cellHeight = static_cast<int>(std::lround(font.pointSizeF() * dotsPerInch / 72.0));
  }
  if (spec.cellHeight < 1) spec.cellHeight = 1;
  spec.weight = font.weight() >= 600 ? kBoldWeight : kRegularWeight;
  spec.italic = font.italic();
  spec.underline = font.underline();
  spec.strikeOut = font.strikeOut();
  return spec;
}

QFont QFontFromFontSpec(const FontSpec& spec, const FontCanvas* canvas) {
  QFont font;
  font.setFamily(canvas != nullptr ? FamilyForCanvas(*canvas) : ToQString(spec.faceName));
  font.setPixelSize(spec.cellHeight > 0 ? spec.cellHeight : 1);
  font.setWeight(spec.weight >= 600 ? QFont::Bold : QFont::Normal);
  font.setItalic(spec.italic);
  font.setUnderline(spec.underline);
  font.setStrikeOut(spec.strikeOut);
  return font;
}

}  // namespace pindot
