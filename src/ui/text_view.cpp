#include "ui/text_view.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QTextLayout>
#include <algorithm>
#include <cmath>
#include <utility>

namespace pindot {

namespace {

// Space between the frame and the text, as a text box's document keeps.
constexpr int kMargin = 4;
// Lines are laid out on one line of this width: far wider than any text shown.
constexpr qreal kUnwrappedWidth = 1e7;

class NoLines : public TextLines {
 public:
  size_t LineCount() const override { return 1; }
  QString Line(size_t) const override { return {}; }
  size_t WidestLine() const override { return 0; }
};

bool IsWordUnit(QChar unit) {
  return unit.isLetterOrNumber() || unit == QLatin1Char('_');
}

}  // namespace

TextView::TextView(QWidget* parent)
    : QAbstractScrollArea(parent), lines_(std::make_shared<NoLines>()) {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_InputMethodEnabled, false);
  viewport()->setCursor(Qt::IBeamCursor);
}

TextView::~TextView() = default;

void TextView::SetLines(std::shared_ptr<const TextLines> lines) {
  lines_ = lines != nullptr ? std::move(lines) : std::make_shared<NoLines>();
  caret_ = anchor_ = Position{};
  wantedColumnX_ = -1;
  QTextLayout widest;
  LayOut(widest, lines_->Line(lines_->WidestLine()));
  contentWidth_ = static_cast<int>(std::ceil(widest.lineAt(0).naturalTextWidth()));
  UpdateScrollBars();
  verticalScrollBar()->setValue(0);
  horizontalScrollBar()->setValue(0);
  viewport()->update();
}

void TextView::SetTabColumns(int columns) {
  tabColumns_ = columns;
  viewport()->update();
}

QString TextView::Text() const {
  const size_t last = lines_->LineCount() - 1;
  return TextBetween(Position{}, Position{last, LineLength(last)});
}

QString TextView::SelectedText() const {
  return TextBetween(std::min(caret_, anchor_), std::max(caret_, anchor_));
}

void TextView::SelectAll() {
  const size_t last = lines_->LineCount() - 1;
  anchor_ = Position{};
  caret_ = Position{last, LineLength(last)};
  wantedColumnX_ = -1;
  viewport()->update();
}

void TextView::Copy() const {
  if (caret_ == anchor_) return;
  QGuiApplication::clipboard()->setText(SelectedText());
}

void TextView::LayOut(QTextLayout& layout, const QString& text) const {
  QTextOption option;
  option.setWrapMode(QTextOption::NoWrap);
  option.setTabStopDistance(tabColumns_ *
                            QFontMetricsF(font()).horizontalAdvance(QLatin1Char(' ')));
  layout.setFont(font());
  layout.setText(text);
  layout.setTextOption(option);
  layout.beginLayout();
  QTextLine line = layout.createLine();
  line.setLineWidth(kUnwrappedWidth);
  line.setPosition(QPointF(0, 0));
  layout.endLayout();
}

int TextView::LineHeight() const {
  return std::max(1, QFontMetrics(font()).lineSpacing());
}

size_t TextView::VisibleLineCount() const {
  return static_cast<size_t>(std::max(1, (viewport()->height() - kMargin) / LineHeight()));
}

size_t TextView::FirstVisibleLine() const {
  return static_cast<size_t>(verticalScrollBar()->value());
}

void TextView::UpdateScrollBars() {
  const size_t count = lines_->LineCount();
  const size_t visible = VisibleLineCount();
  QScrollBar* vertical = verticalScrollBar();
  vertical->setRange(0, static_cast<int>(count > visible ? count - visible : 0));
  vertical->setPageStep(static_cast<int>(visible));
  vertical->setSingleStep(1);
  QScrollBar* horizontal = horizontalScrollBar();
  horizontal->setRange(0, std::max(0, contentWidth_ + 2 * kMargin - viewport()->width()));
  horizontal->setPageStep(viewport()->width());
  horizontal->setSingleStep(QFontMetrics(font()).horizontalAdvance(QLatin1Char('0')));
}

qsizetype TextView::LineLength(size_t line) const {
  return lines_->Line(line).size();
}

QString TextView::TextBetween(Position from, Position to) const {
  if (from.line == to.line)
    return lines_->Line(from.line).mid(from.column, to.column - from.column);
  QString text = lines_->Line(from.line).mid(from.column);
  for (size_t line = from.line + 1; line < to.line; ++line) {
    text += QLatin1String("\r\n");
    text += lines_->Line(line);
  }
  text += QLatin1String("\r\n");
  text += lines_->Line(to.line).left(to.column);
  return text;
}

TextView::Position TextView::PositionAt(QPoint point) const {
  const int row = point.y() - kMargin;
  const qsizetype offset = row < 0 ? -1 - (-1 - row) / LineHeight() : row / LineHeight();
  const qsizetype line = std::clamp<qsizetype>(static_cast<qsizetype>(FirstVisibleLine()) + offset,
                                               0, static_cast<qsizetype>(lines_->LineCount() - 1));
  QTextLayout layout;
  LayOut(layout, lines_->Line(static_cast<size_t>(line)));
  const qreal x = point.x() - kMargin + horizontalScrollBar()->value();
  return Position{static_cast<size_t>(line), layout.lineAt(0).xToCursor(x)};
}

void TextView::MoveCaret(Position to, bool extend) {
  caret_ = to;
  if (!extend) anchor_ = to;
  EnsureCaretVisible();
  RestartBlinking();
  viewport()->update();
}

void TextView::EnsureCaretVisible() {
  QScrollBar* vertical = verticalScrollBar();
  const size_t first = FirstVisibleLine();
  if (caret_.line < first) {
    vertical->setValue(static_cast<int>(caret_.line));
  } else if (caret_.line >= first + VisibleLineCount()) {
    vertical->setValue(static_cast<int>(caret_.line - VisibleLineCount() + 1));
  }
  QTextLayout layout;
  LayOut(layout, lines_->Line(caret_.line));
  const QTextLine line = layout.lineAt(0);
  const int x = static_cast<int>(line.cursorToX(static_cast<int>(caret_.column)));
  contentWidth_ = std::max(contentWidth_, static_cast<int>(std::ceil(line.naturalTextWidth())));
  UpdateScrollBars();
  QScrollBar* horizontal = horizontalScrollBar();
  const int room = viewport()->width() - 2 * kMargin;
  if (x < horizontal->value()) {
    horizontal->setValue(x);
  } else if (x + 1 > horizontal->value() + room) {
    horizontal->setValue(x + 1 - room);
  }
}

void TextView::RestartBlinking() {
  caretShown_ = hasFocus();
  const int flash = QApplication::cursorFlashTime();
  if (hasFocus() && flash > 0) {
    blinkTimer_.start(flash / 2, this);
  } else {
    blinkTimer_.stop();
  }
}

void TextView::SetSelectionClipboard() const {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (clipboard->supportsSelection() && caret_ != anchor_) {
    clipboard->setText(SelectedText(), QClipboard::Selection);
  }
}

void TextView::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  const QPalette::ColorGroup group = hasFocus() ? QPalette::Active : QPalette::Inactive;
  QTextCharFormat selected;
  selected.setBackground(palette().brush(group, QPalette::Highlight));
  selected.setForeground(palette().brush(group, QPalette::HighlightedText));
  const Position from = std::min(caret_, anchor_);
  const Position to = std::max(caret_, anchor_);
  const int height = LineHeight();
  const size_t count = lines_->LineCount();
  const size_t first = FirstVisibleLine();
  const int left = kMargin - horizontalScrollBar()->value();
  int widest = contentWidth_;
  for (size_t index = first; index < count; ++index) {
    const int top = kMargin + static_cast<int>(index - first) * height;
    if (top >= viewport()->height()) break;
    QTextLayout layout;
    const QString text = lines_->Line(index);
    LayOut(layout, text);
    const QTextLine line = layout.lineAt(0);
    widest = std::max(widest, static_cast<int>(std::ceil(line.naturalTextWidth())));
    QList<QTextLayout::FormatRange> selection;
    if (from != to && index >= from.line && index <= to.line) {
      const qsizetype start = index == from.line ? from.column : 0;
      const qsizetype end = index == to.line ? to.column : text.size();
      if (end > start)
        selection.append({static_cast<int>(start), static_cast<int>(end - start), selected});
      if (index < to.line) {  // the line break is selected too: a space's width after the line
        const int x = left + static_cast<int>(line.naturalTextWidth());
        painter.fillRect(x, top, QFontMetrics(font()).horizontalAdvance(QLatin1Char(' ')), height,
                         selected.background());
      }
    }
    layout.draw(&painter, QPointF(left, top), selection);
    if (caretShown_ && index == caret_.line) {
      layout.drawCursor(&painter, QPointF(left, top), static_cast<int>(caret_.column));
    }
  }
  if (widest > contentWidth_) {
    // A line wider than the widest line's units said: the sideways range grows once painted.
    contentWidth_ = widest;
    QMetaObject::invokeMethod(this, &TextView::UpdateScrollBars, Qt::QueuedConnection);
  }
}

void TextView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollBars();
}

void TextView::scrollContentsBy(int, int) {
  viewport()->update();
}

void TextView::keyPressEvent(QKeyEvent* event) {
  if (event == QKeySequence::Copy) return Copy();
  if (event == QKeySequence::SelectAll) return SelectAll();

  // The movements, in the order of the keys that make them. With Shift, as every Select key of
  // the platform's is its Move key with Shift, each extends the selection.
  enum Move {
    kLeft,
    kRight,
    kWordLeft,
    kWordRight,
    kUp,
    kDown,
    kHome,
    kEnd,
    kPageUp,
    kPageDown,
    kTop,
    kBottom
  };
  static constexpr QKeySequence::StandardKey kMoveKeys[] = {
      QKeySequence::MoveToPreviousChar,    QKeySequence::MoveToNextChar,
      QKeySequence::MoveToPreviousWord,    QKeySequence::MoveToNextWord,
      QKeySequence::MoveToPreviousLine,    QKeySequence::MoveToNextLine,
      QKeySequence::MoveToStartOfLine,     QKeySequence::MoveToEndOfLine,
      QKeySequence::MoveToPreviousPage,    QKeySequence::MoveToNextPage,
      QKeySequence::MoveToStartOfDocument, QKeySequence::MoveToEndOfDocument};
  const bool extend = (event->modifiers() & Qt::ShiftModifier) != 0;
  const QKeyEvent unshifted(event->type(), event->key(), event->modifiers() & ~Qt::ShiftModifier);
  const auto found =
      std::find_if(std::begin(kMoveKeys), std::end(kMoveKeys),
                   [&](QKeySequence::StandardKey key) { return unshifted.matches(key); });
  if (found == std::end(kMoveKeys)) {
    // Return, Escape and the rest are the window's: the default button, Exit.
    event->ignore();
    return;
  }
  const auto what = static_cast<Move>(found - std::begin(kMoveKeys));
  const size_t last = lines_->LineCount() - 1;
  QTextLayout layout;
  LayOut(layout, lines_->Line(caret_.line));
  const qsizetype length = layout.text().size();
  const int column = static_cast<int>(caret_.column);
  Position to = caret_;
  const auto lineAtX = [&](size_t line) {
    // Up and Down keep aiming at the column where the vertical movement began.
    if (wantedColumnX_ < 0) wantedColumnX_ = qRound(layout.lineAt(0).cursorToX(column));
    QTextLayout target;
    LayOut(target, lines_->Line(line));
    return Position{line, target.lineAt(0).xToCursor(wantedColumnX_)};
  };
  const size_t page = VisibleLineCount();
  switch (what) {
    case kLeft:
    case kWordLeft:
      if (column > 0) {
        to.column = layout.previousCursorPosition(
            column, what == kLeft ? QTextLayout::SkipCharacters : QTextLayout::SkipWords);
      } else if (to.line > 0) {
        to = Position{to.line - 1, LineLength(to.line - 1)};
      }
      break;
    case kRight:
    case kWordRight:
      if (column < length) {
        to.column = layout.nextCursorPosition(
            column, what == kRight ? QTextLayout::SkipCharacters : QTextLayout::SkipWords);
      } else if (to.line < last) {
        to = Position{to.line + 1, 0};
      }
      break;
    case kUp:
      if (to.line > 0) to = lineAtX(to.line - 1);
      break;
    case kDown:
      if (to.line < last) to = lineAtX(to.line + 1);
      break;
    case kPageUp:
      to = lineAtX(to.line > page ? to.line - page : 0);
      verticalScrollBar()->setValue(verticalScrollBar()->value() - static_cast<int>(page));
      break;
    case kPageDown:
      to = lineAtX(std::min(last, to.line + page));
      verticalScrollBar()->setValue(verticalScrollBar()->value() + static_cast<int>(page));
      break;
    case kHome:
      to.column = 0;
      break;
    case kEnd:
      to.column = length;
      break;
    case kTop:
      to = Position{};
      break;
    case kBottom:
      to = Position{last, LineLength(last)};
      break;
  }
  const bool vertical = what == kUp || what == kDown || what == kPageUp || what == kPageDown;
  const qsizetype wanted = wantedColumnX_;
  MoveCaret(to, extend);
  wantedColumnX_ = vertical ? wanted : -1;
}

void TextView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QAbstractScrollArea::mousePressEvent(event);
  selectingWithMouse_ = true;
  lastMousePoint_ = event->position().toPoint();
  wantedColumnX_ = -1;
  MoveCaret(PositionAt(lastMousePoint_), event->modifiers() & Qt::ShiftModifier);
}

void TextView::mouseMoveEvent(QMouseEvent* event) {
  if (!selectingWithMouse_ || !(event->buttons() & Qt::LeftButton)) return;
  lastMousePoint_ = event->position().toPoint();
  MoveCaret(PositionAt(lastMousePoint_), true);
  // Held outside the box, the selection goes on growing as the text scrolls under the pointer.
  if (viewport()->rect().contains(lastMousePoint_)) {
    autoScrollTimer_.stop();
  } else if (!autoScrollTimer_.isActive()) {
    autoScrollTimer_.start(50, this);
  }
}

void TextView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !selectingWithMouse_) {
    return QAbstractScrollArea::mouseReleaseEvent(event);
  }
  selectingWithMouse_ = false;
  autoScrollTimer_.stop();
  SetSelectionClipboard();
}

void TextView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QAbstractScrollArea::mouseDoubleClickEvent(event);
  // The word under the pointer, or the one unit there when it is not part of a word.
  const Position at = PositionAt(event->position().toPoint());
  const QString text = lines_->Line(at.line);
  if (text.isEmpty()) return;
  qsizetype start = std::min(at.column, text.size() - 1);
  qsizetype end = start + 1;
  if (IsWordUnit(text[start])) {
    while (start > 0 && IsWordUnit(text[start - 1])) --start;
    while (end < text.size() && IsWordUnit(text[end])) ++end;
  }
  anchor_ = Position{at.line, start};
  MoveCaret(Position{at.line, end}, true);
  SetSelectionClipboard();
}

void TextView::contextMenuEvent(QContextMenuEvent* event) {
  // The items and their texts of Qt's own menu for read-only text, so they are translated alike.
  QMenu menu(this);
  QAction* copy = menu.addAction(QCoreApplication::translate("QWidgetTextControl", "&Copy"), this,
                                 &TextView::Copy);
  copy->setShortcut(QKeySequence::Copy);
  copy->setEnabled(caret_ != anchor_);
  menu.addSeparator();
  QAction* selectAll = menu.addAction(
      QCoreApplication::translate("QWidgetTextControl", "Select All"), this, &TextView::SelectAll);
  selectAll->setShortcut(QKeySequence::SelectAll);
  selectAll->setEnabled(lines_->LineCount() > 1 || !lines_->Line(0).isEmpty());
  menu.exec(event->globalPos());
}

void TextView::focusInEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusInEvent(event);
  RestartBlinking();
  viewport()->update();
}

void TextView::focusOutEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusOutEvent(event);
  RestartBlinking();
  viewport()->update();
}

void TextView::timerEvent(QTimerEvent* event) {
  if (event->timerId() == blinkTimer_.timerId()) {
    caretShown_ = !caretShown_;
    viewport()->update();
  } else if (event->timerId() == autoScrollTimer_.timerId()) {
    MoveCaret(PositionAt(lastMousePoint_), true);
  } else {
    QAbstractScrollArea::timerEvent(event);
  }
}

void TextView::changeEvent(QEvent* event) {
  QAbstractScrollArea::changeEvent(event);
  if (event->type() == QEvent::FontChange) SetLines(lines_);
}

bool TextView::event(QEvent* event) {
  // Copy and Select All are this box's while it has the focus, whatever shortcuts the window has.
  if (event->type() == QEvent::ShortcutOverride) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key == QKeySequence::Copy || key == QKeySequence::SelectAll) {
      event->accept();
      return true;
    }
  }
  return QAbstractScrollArea::event(event);
}

}  // namespace pindot
