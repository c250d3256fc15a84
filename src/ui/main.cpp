// pindot-gui: the desktop window "Dot matrix font generator".
#include "ui/generator_app.h"

int main(int argc, char** argv) {
  pindot::GeneratorApp app(argc, argv);
  return app.Run();
}
