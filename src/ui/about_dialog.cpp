#include "ui/about_dialog.h"

#include <QLabel>

#include "ui/dialog_units.h"
#include "ui/qt_text.h"

namespace pindot {

const QColor AboutDialog::kLinkColour = QColor(255, 0, 0);
const QColor AboutDialog::kHoverColour = QColor(0, 0, 255);
const QColor AboutDialog::kVisitedColour = QColor(0, 13, 0);

namespace {

void PrepareLink(LinkLabel& link, const QString& target) {
  link.SetTarget(target);
  link.SetLinkColour(AboutDialog::kLinkColour);
  link.SetHoverColour(AboutDialog::kHoverColour);
  link.SetVisitedColour(AboutDialog::kVisitedColour);
  link.EnableTooltip(true);
  link.SetTooltipText(target);
}

}  // namespace

AboutDialog::AboutDialog(Language language, QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("关于 Skarra"));
  const DialogUnits units(font());
  setFixedSize(units.Size(232, 77));

  auto* productLabel =
      new QLabel(ToQString(LoadString(language, StringId::kProductNameAndVersion)), this);
  productLabel->setTextFormat(Qt::PlainText);
  productLabel->setGeometry(units.Rect(18, 7, 131, 8));  // control 1013

  auto* copyrightLabel = new QLabel(ToQString(LoadString(language, StringId::kCopyright)), this);
  copyrightLabel->setTextFormat(Qt::PlainText);
  copyrightLabel->setGeometry(units.Rect(18, 24, 186, 8));  // control 1014

  okButton_ = new QPushButton(QStringLiteral("确定"), this);
  okButton_->setGeometry(units.Rect(175, 7, 50, 14));
  okButton_->setDefault(true);
  connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);

  websiteLink_ = new LinkLabel(ToQString(LoadString(language, StringId::kWebsiteLinkText)), this);
  websiteLink_->setGeometry(units.Rect(18, 41, 180, 8));
  PrepareLink(*websiteLink_, ToQString(LoadString(language, StringId::kWebsiteAddress)));

  mailLink_ = new LinkLabel(ToQString(LoadString(language, StringId::kMailLinkText)), this);
  mailLink_->setGeometry(units.Rect(18, 58, 186, 8));
  PrepareLink(*mailLink_, ToQString(LoadString(language, StringId::kMailAddress)));

  okButton_->setFocus();
}

}  // namespace pindot
