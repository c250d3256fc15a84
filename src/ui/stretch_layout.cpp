#include "ui/stretch_layout.h"

#include <QWidget>
#include <cmath>

namespace pindot {

void StretchLayout::Add(QWidget* widget, const QRect& placed, const EdgeShares& shares) {
  items_.push_back({widget, placed, shares});
}

void StretchLayout::Apply(const QSize& templateSize, const QSize& windowSize) const {
  const int wider = windowSize.width() - templateSize.width();
  const int taller = windowSize.height() - templateSize.height();
  const auto moved = [](int edge, double share, int by) {
    return edge + static_cast<int>(std::lround(share * by));
  };
  for (const Item& item : items_) {
    const EdgeShares& shares = item.shares;
    const bool narrower = wider < 0;
    const int left =
        moved(item.placed.left(), narrower ? shares.leftNarrower : shares.leftWider, wider);
    // QRect's right() is the last pixel; edges are counted past it.
    const int right = moved(item.placed.left() + item.placed.width(),
                            narrower ? shares.rightNarrower : shares.rightWider, wider);
    const int top = moved(item.placed.top(), shares.top, taller);
    const int bottom = moved(item.placed.top() + item.placed.height(), shares.bottom, taller);
    item.widget->setGeometry(left, top, std::max(0, right - left), std::max(0, bottom - top));
  }
}

}  // namespace pindot
