#include "ui/characters_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include "base/user_error.h"
#include "text/character_set.h"
#include "ui/in_language.h"

namespace pindot {

const char* const CharactersDialog::kCharacterSets[] = {
    "GB2312", "BIG5",   "SHIFT_JIS", "EUC-KR", "CP1250", "CP1251", "CP1252", "CP1253", "CP1254",
    "CP1255", "CP1256", "CP1257",    "CP1258", "CP874",  "CP932",  "CP936",  "CP949",  "CP950"};

CharactersDialog::CharactersDialog(Language language, QWidget* parent)
    : QDialog(parent), language_(language) {
  setWindowTitle(InLanguage(language, "Add Characters", "添加字符"));
  characterSetButton_ = new QRadioButton(InLanguage(language, "Character &set:", "字符集(&S):"));
  characterSetBox_ = new QComboBox;
  characterSetBox_->setEditable(true);
  for (const char* name : kCharacterSets) characterSetBox_->addItem(QString::fromLatin1(name));
  rangeButton_ = new QRadioButton(InLanguage(language, "&Range:", "范围(&R):"));
  rangeBox_ = new QLineEdit(QStringLiteral("0x4e00-0x9fa5"));
  characterSetButton_->setChecked(true);
  // Typing into a box picks its kind.
  connect(characterSetBox_, &QComboBox::currentTextChanged, characterSetButton_,
          [this] { characterSetButton_->setChecked(true); });
  connect(rangeBox_, &QLineEdit::textEdited, rangeButton_,
          [this] { rangeButton_->setChecked(true); });

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &CharactersDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &CharactersDialog::reject);
  // Said inside the dialog, which stays open for another try.
  errorLabel_ = new QLabel;
  errorLabel_->setWordWrap(true);
  errorLabel_->setStyleSheet(QStringLiteral("color: #c00000"));
  errorLabel_->hide();
  auto* grid = new QGridLayout(this);
  grid->addWidget(characterSetButton_, 0, 0);
  grid->addWidget(characterSetBox_, 0, 1);
  grid->addWidget(rangeButton_, 1, 0);
  grid->addWidget(rangeBox_, 1, 1);
  grid->addWidget(errorLabel_, 2, 0, 1, 2);
  grid->addWidget(buttons, 3, 0, 1, 2);
}

void CharactersDialog::accept() {
  SampleAddition addition;
  addition.isCharacterSet = characterSetButton_->isChecked();
  addition.name = (addition.isCharacterSet ? characterSetBox_->currentText() : rangeBox_->text())
                      .trimmed()
                      .toStdString();
  try {
    if (addition.isCharacterSet) {
      AppendCharacterSet(addition.characters, addition.name);
    } else {
      AppendCharacterRange(addition.characters, ParseCharacterRange(addition.name));
    }
  } catch (const std::exception& error) {
    errorLabel_->setText(FailureText(language_, error));
    errorLabel_->show();
    return;
  }
  addition_ = std::move(addition);
  QDialog::accept();
}

}  // namespace pindot
