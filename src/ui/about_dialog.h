// The About box: product name and version, copyright line, links to the website and to the mail.
#pragma once

#include <QDialog>
#include <QPushButton>

#include "text/string_table.h"
#include "ui/link_label.h"

namespace pindot {

// Laid out as dialog template 100 (232 x 77 dialog units). Its caption and OK button keep their
// Chinese template texts in every language; everything else comes from the string table.
class AboutDialog : public QDialog {
  Q_OBJECT

 public:
  static const QColor kLinkColour;     // RGB(255, 0, 0)
  static const QColor kHoverColour;    // RGB(0, 0, 255)
  static const QColor kVisitedColour;  // RGB(0, 13, 0)

  explicit AboutDialog(Language language, QWidget* parent = nullptr);

  QPushButton* OkButton() const { return okButton_; }      // control 1
  LinkLabel* WebsiteLink() const { return websiteLink_; }  // control 1015
  LinkLabel* MailLink() const { return mailLink_; }        // control 1016

 private:
  QPushButton* okButton_;
  LinkLabel* websiteLink_;
  LinkLabel* mailLink_;
};

}  // namespace pindot
