// The pindot command: everything happens in RunPindot.
#include <unistd.h>

#include <iostream>

#include "cli/pindot_command.h"

int main(int argc, char** argv) {
  return pindot::RunPindot(argc, argv, std::cout, std::cerr, isatty(STDERR_FILENO) == 1);
}
