#include "ui/font_chooser_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>
#include <cmath>

#include "ui/in_language.h"

namespace pindot {

namespace {

constexpr int kPointSizes[] = {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};
// Row of each style in the style list: bit 0 bold, bit 1 italic.
constexpr int kBold = 1;
constexpr int kItalic = 2;

// Selects the row whose text (or, for sizes, whose number) matches; false when none does.
bool SelectMatching(QListWidget* list, const QString& text, bool byNumber) {
  for (int row = 0; row < list->count(); ++row) {
    QListWidgetItem* item = list->item(row);
    const bool match = byNumber ? item->data(Qt::UserRole).toString() == text
                                : item->text().compare(text, Qt::CaseInsensitive) == 0;
    if (match) {
      list->setCurrentItem(item);
      list->scrollToItem(item);
      return true;
    }
  }
  return false;
}

}  // namespace

FontChooserDialog::FontChooserDialog(Language language, const QFont& initial, double dotsPerInch,
                                     QWidget* parent)
    : QDialog(parent), dotsPerInch_(dotsPerInch) {
  setWindowTitle(InLanguage(language, "Font", "字体"));
  familyBox_ = new QLineEdit;
  familyList_ = new QListWidget;
  familyList_->setObjectName(QStringLiteral("families"));
  QStringList families = QFontDatabase::families();
  // A name only the project's aliases know ("宋体" here) is offered as it was asked for.
  if (!families.contains(initial.family(), Qt::CaseInsensitive)) families << initial.family();
  families.sort(Qt::CaseInsensitive);
  familyList_->addItems(families);

  styleList_ = new QListWidget;
  styleList_->setObjectName(QStringLiteral("styles"));
  styleList_->addItems(
      {InLanguage(language, "Regular", "常规"), InLanguage(language, "Bold", "粗体"),
       InLanguage(language, "Italic", "倾斜"), InLanguage(language, "Bold Italic", "粗偏斜")});

  sizeBox_ = new QLineEdit;
  sizeList_ = new QListWidget;
  sizeList_->setObjectName(QStringLiteral("sizes"));
  for (int points : kPointSizes) {
    const long pixels = std::lround(points * dotsPerInch / 72.0);
    auto* item = new QListWidgetItem(QStringLiteral("%1  (%2 px)").arg(points).arg(pixels));
    item->setData(Qt::UserRole, QString::number(points));
    sizeList_->addItem(item);
  }

  underlineBox_ = new QCheckBox(InLanguage(language, "&Underline", "下划线(&U)"));
  strikeOutBox_ = new QCheckBox(InLanguage(language, "Stri&keout", "删除线(&K)"));
  sample_ = new QLabel(QStringLiteral("AaBbYyZz 中文"));
  sample_->setAlignment(Qt::AlignCenter);
  sample_->setMinimumHeight(72);

  connect(familyList_, &QListWidget::currentTextChanged, familyBox_, &QLineEdit::setText);
  connect(familyBox_, &QLineEdit::textEdited, this,
          [this](const QString& text) { SelectMatching(familyList_, text, false); });
  connect(sizeList_, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
    if (item) sizeBox_->setText(item->data(Qt::UserRole).toString());
  });
  connect(sizeBox_, &QLineEdit::textEdited, this,
          [this](const QString& text) { SelectMatching(sizeList_, text, true); });
  for (QLineEdit* box : {familyBox_, sizeBox_})
    connect(box, &QLineEdit::textChanged, this, &FontChooserDialog::ShowSample);
  connect(styleList_, &QListWidget::currentRowChanged, this, &FontChooserDialog::ShowSample);
  for (QCheckBox* box : {underlineBox_, strikeOutBox_})
    connect(box, &QCheckBox::toggled, this, &FontChooserDialog::ShowSample);

  const double points =
      initial.pixelSize() > 0 ? initial.pixelSize() * 72.0 / dotsPerInch : initial.pointSizeF();
  familyBox_->setText(initial.family());
  SelectMatching(familyList_, initial.family(), false);
  styleList_->setCurrentRow((initial.bold() ? kBold : 0) | (initial.italic() ? kItalic : 0));
  sizeBox_->setText(QString::number(points));
  SelectMatching(sizeList_, QString::number(points), true);
  underlineBox_->setChecked(initial.underline());
  strikeOutBox_->setChecked(initial.strikeOut());

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &FontChooserDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &FontChooserDialog::reject);
  auto* effects = new QGroupBox(InLanguage(language, "Effects", "效果"));
  auto* effectsColumn = new QVBoxLayout(effects);
  effectsColumn->addWidget(strikeOutBox_);
  effectsColumn->addWidget(underlineBox_);
  auto* grid = new QGridLayout(this);
  grid->addWidget(new QLabel(InLanguage(language, "Font:", "字体:")), 0, 0);
  grid->addWidget(new QLabel(InLanguage(language, "Font style:", "字形:")), 0, 1);
  grid->addWidget(new QLabel(InLanguage(language, "Size (points, pixels):", "大小(磅, 像素):")), 0,
                  2);
  grid->addWidget(familyBox_, 1, 0);
  grid->addWidget(sizeBox_, 1, 2);
  grid->addWidget(familyList_, 2, 0);
  grid->addWidget(styleList_, 1, 1, 2, 1);
  grid->addWidget(sizeList_, 2, 2);
  grid->addWidget(effects, 3, 0);
  grid->addWidget(sample_, 3, 1, 1, 2);
  grid->addWidget(buttons, 4, 0, 1, 3);
  ShowSample();
}

QFont FontChooserDialog::SelectedFont() const {
  QFont font(familyBox_->text());
  bool ok = false;
  const double points = sizeBox_->text().toDouble(&ok);
  font.setPointSizeF(ok && points > 0 ? points : 12);
  const int style = std::max(0, styleList_->currentRow());
  font.setWeight((style & kBold) != 0 ? QFont::Bold : QFont::Normal);
  font.setItalic((style & kItalic) != 0);
  font.setUnderline(underlineBox_->isChecked());
  font.setStrikeOut(strikeOutBox_->isChecked());
  return font;
}

void FontChooserDialog::ShowSample() {
  QFont font = SelectedFont();
  font.setPixelSize(static_cast<int>(std::lround(font.pointSizeF() * dotsPerInch_ / 72.0)));
  sample_->setFont(font);
}

}  // namespace pindot
