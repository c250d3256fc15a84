#include "cli/terminal_progress.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>

namespace pindot {
namespace {

TEST(TerminalProgress, RedrawsOnlyWhenThePercentageChangesAndWipesItsLine) {
  std::ostringstream terminal;
  auto progress = std::make_unique<TerminalProgress>(terminal);
  progress->SetRange(100000);  // beyond 16 bits: 0% .. 100%, then the wipe
  for (int i = 0; i < 100000; ++i) progress->Step();
  progress.reset();
  EXPECT_EQ(terminal.str().size(), 101 * 48 + 50u);  // each percentage once, as "\r[...]  n%"
  EXPECT_EQ(terminal.str().substr(100 * 48),
            "\r[" + std::string(40, '#') + "] 100%\r" + std::string(48, ' ') + "\r");
}

}  // namespace
}  // namespace pindot
