#include "ui/dialog_units.h"

#include <QFontMetrics>
#include <QString>

namespace pindot {

DialogUnits::DialogUnits(const QFont& dialogFont) {
  const QFontMetrics metrics(dialogFont);
  const int alphabetWidth = metrics.horizontalAdvance(
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  // Windows: (extent of the 52 letters / 26 + 1) / 2, i.e. the average rounded half up.
  baseWidth_ = (alphabetWidth / 26 + 1) / 2;
  baseHeight_ = metrics.height();
  if (baseWidth_ < 1) baseWidth_ = 1;
  if (baseHeight_ < 1) baseHeight_ = 1;
}

int DialogUnits::ScaleRounded(int value, int numerator, int denominator) {
  const long long product = static_cast<long long>(value) * numerator;
  const long long half = denominator / 2;
  return static_cast<int>(product >= 0 ? (product + half) / denominator
                                       : -((-product + half) / denominator));
}

}  // namespace pindot
