#include "ui/options_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QSpinBox>
#include <utility>

#include "ui/in_language.h"

namespace pindot {

namespace {

// The box's least value stands for "measured": the window checks widths from 4 up.
constexpr int kMeasuredWidth = 3;
constexpr int kMaximumWidth = 128;

// A width in pixels, whose least value reads as the measured width of "中" instead of a number.
class WideWidthBox final : public QSpinBox {
 public:
  explicit WideWidthBox(QString measuredText) : measuredText_(std::move(measuredText)) {}

 protected:
  QString textFromValue(int value) const override {
    return value == minimum() ? measuredText_ : QSpinBox::textFromValue(value) + kPixels;
  }
  int valueFromText(const QString& text) const override {
    return text == measuredText_ ? minimum() : QSpinBox::valueFromText(WithoutUnit(text));
  }
  QValidator::State validate(QString& text, int& position) const override {
    if (measuredText_.startsWith(text)) {
      return text == measuredText_ ? QValidator::Acceptable : QValidator::Intermediate;
    }
    QString number = WithoutUnit(text);
    return QSpinBox::validate(number, position);
  }

 private:
  static constexpr QLatin1StringView kPixels{" px"};
  static QString WithoutUnit(QString text) {
    if (text.endsWith(kPixels)) text.chop(kPixels.size());
    return text.trimmed();
  }
  QString measuredText_;
};

// The Windows ANSI code pages offered, with what they are for.
struct CodePageName {
  unsigned number;
  const char* english;
  const char* chinese;
};
const CodePageName kCodePages[] = {
    {874, "Thai", "泰语"},
    {932, "Japanese (Shift-JIS)", "日语 (Shift-JIS)"},
    {936, "Simplified Chinese (GBK)", "简体中文 (GBK)"},
    {949, "Korean", "韩语"},
    {950, "Traditional Chinese (Big5)", "繁体中文 (Big5)"},
    {1250, "Central European", "中欧"},
    {1251, "Cyrillic", "西里尔文"},
    {1252, "Western European", "西欧"},
    {1253, "Greek", "希腊语"},
    {1254, "Turkish", "土耳其语"},
    {1255, "Hebrew", "希伯来语"},
    {1256, "Arabic", "阿拉伯语"},
    {1257, "Baltic", "波罗的海语"},
    {1258, "Vietnamese", "越南语"},
};

}  // namespace

OptionsDialog::OptionsDialog(Language language, const WindowOptions& options,
                             unsigned localeCodePage, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(InLanguage(language, "Options", "选项"));
  widthBox_ = new WideWidthBox(InLanguage(language, "width of \"中\"", "“中”的宽度"));
  widthBox_->setObjectName(QStringLiteral("width"));
  widthBox_->setRange(kMeasuredWidth, kMaximumWidth);
  widthBox_->setValue(options.wideWidth == 0 ? kMeasuredWidth
                                             : static_cast<int>(options.wideWidth));

  constBox_ = new QCheckBox(
      InLanguage(language, "&const tables (kept in flash)", "const 表(保存在闪存中)(&C)"));
  constBox_->setObjectName(QStringLiteral("const"));
  constBox_->setChecked(options.constTables);

  codePageBox_ = new QComboBox;
  codePageBox_->setObjectName(QStringLiteral("codePage"));
  codePageBox_->addItem(
      InLanguage(language, "From the locale (%1)", "取自区域设置 (%1)").arg(localeCodePage), 0u);
  for (const CodePageName& name : kCodePages) {
    codePageBox_->addItem(QStringLiteral("%1 %2")
                              .arg(name.number)
                              .arg(InLanguage(language, name.english, name.chinese)),
                          name.number);
  }
  codePageBox_->setCurrentIndex(std::max(0, codePageBox_->findData(options.codePage)));

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &OptionsDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &OptionsDialog::reject);
  auto* form = new QFormLayout(this);
  form->addRow(InLanguage(language, "Wide cell &width:", "宽字符单元宽度(&W):"), widthBox_);
  form->addRow(QString(), constBox_);
  form->addRow(InLanguage(language, "Code &page of \"Sort by ANSI\" and of exported files:",
                          "“按ANSI排序”和导出文件的代码页(&P):"),
               codePageBox_);
  form->addRow(buttons);
}

WindowOptions OptionsDialog::Options() const {
  WindowOptions options;
  options.wideWidth =
      widthBox_->value() == kMeasuredWidth ? 0u : static_cast<uint32_t>(widthBox_->value());
  options.constTables = constBox_->isChecked();
  options.codePage = codePageBox_->currentData().toUInt();
  return options;
}

}  // namespace pindot
