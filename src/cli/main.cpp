// The pindot command: everything happens in RunPindot.
#include <unistd.h>

#include <iostream>

#include "cli/pindot_command.h"
#include "output/interrupt_cleanup.h"

int main(int argc, char** argv) {
  // Ctrl+C during a long export leaves no temporary file behind.
  pindot::InstallInterruptCleanup();
  return pindot::RunPindot(argc, argv, std::cout, std::cerr, isatty(STDERR_FILENO) == 1);
}
