// pindot_gui_screenshot: draws the main window after one Generate (and optionally the About box)
// into PNG files for the README. Usage: pindot_gui_screenshot WINDOW.png [ABOUT.png]
#include <QApplication>
#include <QTimer>
#include <cstdio>

#include "ui/about_dialog.h"
#include "ui/generator_dialog.h"
#include "ui/qt_translations.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  pindot::InstallQtTranslations(app, pindot::LanguageFromEnvironment());
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s WINDOW.png [ABOUT.png]\n", argv[0]);
    return 2;
  }
  pindot::GeneratorDialog window;
  window.show();
  window.Generate();
  pindot::AboutDialog about(window.UiLanguage(), &window);
  if (argc > 2) about.show();
  int status = 0;
  // Drawn once the event loop has shown both windows.
  QTimer::singleShot(200, &app, [&] {
    if (!window.grab().save(QString::fromLocal8Bit(argv[1]))) status = 1;
    if (argc > 2 && !about.grab().save(QString::fromLocal8Bit(argv[2]))) status = 1;
    app.quit();
  });
  app.exec();
  return status;
}
