// The font chooser of the Font... button: every face in regular, bold, italic and bold italic.
#pragma once

#include <QDialog>
#include <QFont>

#include "text/string_table.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;

namespace pindot {

// As Windows' chooser: a face, a style and a size in points, underline and strike-out. Every face
// offers all four styles, since the generator makes the bold and the italic a face lacks (Qt's
// own chooser lists only the styles a face's files have). Each size shows its pixels at the
// screen's dots per inch beside its points: the em the generator draws.
class FontChooserDialog : public QDialog {
  Q_OBJECT

 public:
  FontChooserDialog(Language language, const QFont& initial, double dotsPerInch,
                    QWidget* parent = nullptr);

  // The choice: family, point size, bold or not, italic or not, underline and strike-out.
  QFont SelectedFont() const;

 private:
  void ShowSample();

  double dotsPerInch_;
  QLineEdit* familyBox_;
  QListWidget* familyList_;
  QListWidget* styleList_;
  QLineEdit* sizeBox_;
  QListWidget* sizeList_;
  QCheckBox* underlineBox_;
  QCheckBox* strikeOutBox_;
  QLabel* sample_;
};

}  // namespace pindot
