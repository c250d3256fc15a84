// Draws the main window after one Generate (and optionally the About box) into PNG files.
// Usage: pindot_gui_screenshot WINDOW.png [ABOUT.png]
#include <QApplication>
#include <QTest>
#include <cstdio>

#include "ui/about_dialog.h"
#include "ui/generator_dialog.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s WINDOW.png [ABOUT.png]\n", argv[0]);
    return 2;
  }
  pindot::GeneratorDialog window;
  window.show();
  if (!QTest::qWaitForWindowExposed(&window)) return 1;
  window.Generate();
  QTest::qWait(50);
  if (!window.grab().save(QString::fromLocal8Bit(argv[1]))) return 1;
  if (argc > 2) {
    pindot::AboutDialog about(window.UiLanguage(), &window);
    about.show();
    if (!QTest::qWaitForWindowExposed(&about)) return 1;
    if (!about.grab().save(QString::fromLocal8Bit(argv[2]))) return 1;
  }
  return 0;
}
