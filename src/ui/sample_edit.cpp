#include "ui/sample_edit.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QTextCursor>

namespace pindot {

namespace {

// The user state of a block that follows a U+2029 of the text rather than a line break.
constexpr int kAfterParagraphSeparator = 2029;

}  // namespace

SampleEdit::SampleEdit(QWidget* parent) : QPlainTextEdit(parent) {}

void SampleEdit::SetSample(const QString& text) {
  clear();
  InsertSample(text);
}

std::u16string SampleEdit::Sample() const {
  std::u16string sample;
  for (QTextBlock block = document()->firstBlock(); block.isValid(); block = block.next()) {
    if (block != document()->firstBlock()) {
      sample += block.userState() == kAfterParagraphSeparator ? u"\u2029" : u"\r\n";
    }
    const QString text = block.text();
    sample.append(reinterpret_cast<const char16_t*>(text.utf16()),
                  static_cast<size_t>(text.size()));
  }
  return sample;
}

void SampleEdit::insertFromMimeData(const QMimeData* source) {
  if (source != nullptr && source->hasText()) {
    InsertSample(source->text());
  } else {
    QPlainTextEdit::insertFromMimeData(source);
  }
}

void SampleEdit::keyPressEvent(QKeyEvent* event) {
  // Keys as in a Windows dialog's multi-line box without "want return": Return is the window's
  // (its default button) and Ctrl+Return types the line break; Tab moves on (tabChangesFocus) and
  // Ctrl+Tab types the tab.
  const bool control = event->modifiers() & Qt::ControlModifier;
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    if (!control || isReadOnly()) {
      event->ignore();
      return;
    }
    InsertSample(QStringLiteral("\n"));
    event->accept();
    return;
  }
  if (event->key() == Qt::Key_Tab && control && !isReadOnly()) {
    InsertSample(QStringLiteral("\t"));
    event->accept();
    return;
  }
  if (!isReadOnly() && event->text().contains(QChar::ParagraphSeparator)) {
    InsertSample(event->text());
    event->accept();
    return;
  }
  QPlainTextEdit::keyPressEvent(event);
}

void SampleEdit::InsertSample(const QString& text) {
  QTextCursor cursor = textCursor();
  cursor.beginEditBlock();
  QString run;  // units that go into the current block as they are
  const auto flush = [&] {
    if (!run.isEmpty()) cursor.insertText(run);
    run.clear();
  };
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar unit = text[i];
    if (unit == QLatin1Char('\r') || unit == QLatin1Char('\n')) {
      if (unit == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n')) {
        ++i;
      }
      flush();
      cursor.insertBlock();
      cursor.block().setUserState(-1);
    } else if (unit == QChar::ParagraphSeparator) {
      flush();
      cursor.insertBlock();
      cursor.block().setUserState(kAfterParagraphSeparator);
    } else {
      run += unit;
    }
  }
  flush();
  cursor.endEditBlock();
  setTextCursor(cursor);
}

}  // namespace pindot
