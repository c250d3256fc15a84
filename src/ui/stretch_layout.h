// Controls placed by a template at its own size, moved and stretched as the window is resized.
#pragma once

#include <QRect>
#include <QSize>
#include <vector>

class QWidget;

namespace pindot {

// Each edge of a control moves by a share of the difference between the window's size and the
// template's: 0 keeps it, 1 moves it with the window's right or bottom edge. A window wider than
// the template and one narrower may share the width out differently (a column of fixed controls
// keeps its width when the window narrows, while the boxes beside it give up theirs).
struct EdgeShares {
  double leftWider, rightWider;
  double leftNarrower, rightNarrower;
  double top, bottom;
};

class StretchLayout {
 public:
  // `widget` at `placed` when the window is `templateSize`.
  void Add(QWidget* widget, const QRect& placed, const EdgeShares& shares);
  void Apply(const QSize& templateSize, const QSize& windowSize) const;

 private:
  struct Item {
    QWidget* widget;
    QRect placed;
    EdgeShares shares;
  };
  std::vector<Item> items_;
};

}  // namespace pindot
