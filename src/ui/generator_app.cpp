#include "ui/generator_app.h"

#include <QIcon>
#include <QMessageBox>

#include "ui/generator_dialog.h"
#include "ui/in_language.h"
#include "ui/qt_translations.h"

namespace pindot {

GeneratorApp::GeneratorApp(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName(QStringLiteral("pindot-gui"));
  setApplicationVersion(QStringLiteral(PINDOT_VERSION));
  setDesktopFileName(QStringLiteral("pindot-gui"));
  InstallQtTranslations(*this, LanguageFromEnvironment());
}

int GeneratorApp::Run() {
  try {
    GeneratorDialog dialog;
    setWindowIcon(dialog.windowIcon());
    dialog.exec();
  } catch (const std::exception& error) {
    QMessageBox::critical(nullptr, GeneratorDialog::kCaption,
                          FailureText(LanguageFromEnvironment(), error));
    return 1;
  }
  return 0;
}

}  // namespace pindot
