// The application object: runs the main window once; the process ends when the window closes.
#pragma once

#include <QApplication>

namespace pindot {

class GeneratorApp : public QApplication {
  Q_OBJECT

 public:
  GeneratorApp(int& argc, char** argv);

  // Shows the main window modally and returns the process's exit status: 0 when it was shown,
  // 1 when it could not be built (e.g. the locale's code page is unknown), after saying why.
  int Run();
};

}  // namespace pindot
