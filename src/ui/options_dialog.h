// The Options... dialog: the wide cell's width, const tables and the code page of "Sort by ANSI".
#pragma once

#include <QDialog>

#include "text/string_table.h"
#include "ui/window_options.h"

class QCheckBox;
class QComboBox;
class QSpinBox;

namespace pindot {

class OptionsDialog : public QDialog {
  Q_OBJECT

 public:
  // `localeCodePage` is what "from the locale" stands for, shown beside it.
  OptionsDialog(Language language, const WindowOptions& options, unsigned localeCodePage,
                QWidget* parent = nullptr);

  // The Windows ANSI code pages offered, with what they are for.
  struct CodePageName {
    unsigned number;
    const char* english;
    const char* chinese;
  };
  static const CodePageName kCodePages[];

  QSpinBox* WidthBox() const { return widthBox_; }
  QCheckBox* ConstBox() const { return constBox_; }
  QComboBox* CodePageBox() const { return codePageBox_; }

  WindowOptions Options() const;

 private:
  QSpinBox* widthBox_;
  QCheckBox* constBox_;
  QComboBox* codePageBox_;
};

}  // namespace pindot
