// The Characters... dialog: a character set or a range of code points to add to the sample.
#pragma once

#include <QDialog>
#include <optional>

#include "text/string_table.h"
#include "ui/window_options.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace pindot {

// OK reads the choice through the core (AppendCharacterSet, ParseCharacterRange); what it cannot
// read is said in the dialog, which stays open.
class CharactersDialog : public QDialog {
  Q_OBJECT

 public:
  explicit CharactersDialog(Language language, QWidget* parent = nullptr);

  // The character sets offered; any other name iconv knows may be typed.
  static const char* const kCharacterSets[];

  QRadioButton* CharacterSetButton() const { return characterSetButton_; }
  QComboBox* CharacterSetBox() const { return characterSetBox_; }
  QRadioButton* RangeButton() const { return rangeButton_; }
  QLineEdit* RangeBox() const { return rangeBox_; }
  QLabel* ErrorLabel() const { return errorLabel_; }

  // After OK: what to append.
  const SampleAddition& Addition() const { return addition_; }

  void accept() override;

 private:
  Language language_;
  QRadioButton* characterSetButton_;
  QComboBox* characterSetBox_;
  QRadioButton* rangeButton_;
  QLineEdit* rangeBox_;
  QLabel* errorLabel_;
  SampleAddition addition_;
};

}  // namespace pindot
