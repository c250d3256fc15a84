#include "cli/terminal_progress.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>

namespace pindot {
namespace {

size_t Redraws(const std::string& text) {
  return std::count(text.begin(), text.end(), '\r');
}

TEST(TerminalProgress, RedrawsOnlyWhenThePercentageChanges) {
  std::ostringstream terminal;
  {
    TerminalProgress progress(terminal);
    progress.SetRange(100000);
    progress.SetPosition(0);
    for (int i = 0; i < 100000; ++i) progress.Step();
    EXPECT_EQ(Redraws(terminal.str()), 101u);  // 0% .. 100%
    EXPECT_NE(terminal.str().find("[########################################] 100%"),
              std::string::npos);
  }
  // Destroying it wipes the line: a carriage return, blanks, a carriage return.
  std::string text = terminal.str();
  EXPECT_EQ(Redraws(text), 103u);
  EXPECT_EQ(text.back(), '\r');
}

TEST(TerminalProgress, RangesBeyondSixteenBitsAndEmptyRanges) {
  std::ostringstream terminal;
  TerminalProgress progress(terminal);
  progress.SetRange(70000);
  progress.SetPosition(35000);
  EXPECT_NE(terminal.str().find(" 50%"), std::string::npos) << terminal.str();
  progress.SetRange(0);
  EXPECT_NE(terminal.str().find("100%"), std::string::npos);
  // A second stage starts again from its own 0%.
  progress.SetRange(4);
  progress.SetPosition(0);
  progress.Step();
  EXPECT_EQ(terminal.str().substr(terminal.str().size() - 4), " 25%");
}

TEST(TerminalProgress, WritesNothingUntilUsed) {
  std::ostringstream terminal;
  { TerminalProgress progress(terminal); }
  EXPECT_EQ(terminal.str(), "");
}

}  // namespace
}  // namespace pindot
