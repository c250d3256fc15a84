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

  WindowOptions Options() const;

 private:
  QSpinBox* widthBox_;
  QCheckBox* constBox_;
  QComboBox* codePageBox_;
};

}  // namespace pindot
