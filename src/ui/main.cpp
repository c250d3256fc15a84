// pindot-gui: the desktop window "Dot matrix font generator".
#include "output/interrupt_cleanup.h"
#include "ui/generator_app.h"

int main(int argc, char** argv) {
  // Closing the terminal or Ctrl+C during an export leaves no temporary file behind.
  pindot::InstallInterruptCleanup();
  pindot::GeneratorApp app(argc, argv);
  return app.Run();
}
