// The sample box: the characters the device needs, read back unit for unit.
#pragma once

#include <QPlainTextEdit>
#include <QString>
#include <string>

namespace pindot {

// A plain-text box whose line breaks are CR LF to the generator and whose every other unit is read
// as typed. A text box keeps its lines as blocks, and it would make a pasted or typed U+2029
// (PARAGRAPH SEPARATOR) a line break too: the box marks the block that follows such a character,
// so the character comes back as itself. U+2028 (LINE SEPARATOR) stays inside its block anyway.
// Its keys are those of a Windows dialog's box without "want return": Return and Tab are the
// window's (the default button, the next control), Ctrl+Return and Ctrl+Tab type them.
class SampleEdit : public QPlainTextEdit {
  Q_OBJECT

 public:
  explicit SampleEdit(QWidget* parent = nullptr);

  // Replaces the text: CR LF, LF and CR are line breaks; everything else, U+2028 and U+2029
  // included, stays a character.
  void SetSample(const QString& text);
  // Line breaks as CR LF, every other unit as it stands.
  std::u16string Sample() const;

 protected:
  void insertFromMimeData(const QMimeData* source) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  // Inserts at the cursor as SetSample reads the text.
  void InsertSample(const QString& text);
};

}  // namespace pindot
