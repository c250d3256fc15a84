// Dialog units of a window template turned into pixels through the dialog font, as Windows does.
#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

namespace pindot {

// One horizontal unit is a quarter of the font's average character width, one vertical unit an
// eighth of its height. The average width is taken over "A".."Z" and "a".."z", rounded the way
// Windows rounds it, so a template keeps its proportions whatever font the desktop uses.
class DialogUnits {
 public:
  explicit DialogUnits(const QFont& dialogFont);

  int X(int units) const { return ScaleRounded(units, baseWidth_, 4); }
  int Y(int units) const { return ScaleRounded(units, baseHeight_, 8); }
  QRect Rect(int x, int y, int width, int height) const {
    return QRect(X(x), Y(y), X(width), Y(height));
  }
  QSize Size(int width, int height) const { return QSize(X(width), Y(height)); }

 private:
  // value * numerator / denominator rounded to the nearest integer, halves away from zero.
  static int ScaleRounded(int value, int numerator, int denominator);

  int baseWidth_;
  int baseHeight_;
};

}  // namespace pindot
