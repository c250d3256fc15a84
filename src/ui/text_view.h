// A read-only box for texts of millions of lines: only the lines in sight are laid out.
#pragma once

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QPoint>
#include <QString>
#include <cstddef>
#include <memory>

class QTextLayout;

namespace pindot {

// The lines of a text, made when asked for. The text is the lines joined by CR LF; a text that
// ends in CR LF has an empty last line.
class TextLines {
 public:
  virtual ~TextLines() = default;
  virtual size_t LineCount() const = 0;  // at least 1
  virtual QString Line(size_t index) const = 0;
  // A line with the most units, whose width stands for the text's.
  virtual size_t WidestLine() const = 0;
};

// What a read-only multi-line edit box gives a user, without a document of the text: scrolling
// by lines and pixels, a caret moved by the keyboard, selecting with the mouse and the keyboard,
// Copy and Select All from the keys and a context menu. Tab, Return and Escape are left to the
// window. Copy puts the selection on the clipboard with CR LF line ends, as the text is made.
class TextView : public QAbstractScrollArea {
  Q_OBJECT

 public:
  // A place between two units: line, and units before it in that line.
  struct Position {
    size_t line = 0;
    qsizetype column = 0;
    friend bool operator==(const Position& a, const Position& b) {
      return a.line == b.line && a.column == b.column;
    }
    friend bool operator!=(const Position& a, const Position& b) { return !(a == b); }
    friend bool operator<(const Position& a, const Position& b) {
      return a.line != b.line ? a.line < b.line : a.column < b.column;
    }
  };

  explicit TextView(QWidget* parent = nullptr);
  ~TextView() override;

  // Shows `lines` from the top, caret at the start, nothing selected.
  void SetLines(std::shared_ptr<const TextLines> lines);
  const TextLines& Lines() const { return *lines_; }
  // Tab stops every `columns` widths of a space; 8 unless set.
  void SetTabColumns(int columns);

  // The whole text, or the selected part, lines joined by CR LF.
  QString Text() const;
  QString SelectedText() const;
  Position Caret() const { return caret_; }
  Position Anchor() const { return anchor_; }

  void SelectAll();
  void Copy() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void timerEvent(QTimerEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool event(QEvent* event) override;

 private:
  // One line laid out in the view's font; x from the line's start.
  void LayOut(QTextLayout& layout, const QString& text) const;
  int LineHeight() const;
  size_t VisibleLineCount() const;  // whole lines the viewport holds, at least 1
  size_t FirstVisibleLine() const;
  void UpdateScrollBars();
  // The place under a point of the viewport, clamped to the text.
  Position PositionAt(QPoint point) const;
  // Moves the caret; the anchor stays where it is when `extend`, follows otherwise.
  void MoveCaret(Position to, bool extend);
  void EnsureCaretVisible();
  qsizetype LineLength(size_t line) const;
  QString TextBetween(Position from, Position to) const;
  void RestartBlinking();
  void SetSelectionClipboard() const;

  std::shared_ptr<const TextLines> lines_;
  int tabColumns_ = 8;
  int contentWidth_ = 0;  // the widest line's width in pixels, as far as seen
  Position caret_;
  Position anchor_;
  qsizetype wantedColumnX_ = -1;  // where Up and Down aim, in pixels; -1: the caret's own place
  bool caretShown_ = false;
  bool selectingWithMouse_ = false;
  QPoint lastMousePoint_;
  QBasicTimer blinkTimer_;
  QBasicTimer autoScrollTimer_;
};

}  // namespace pindot
