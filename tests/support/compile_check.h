// Exported C files compiled by the tests: for the host and a Cortex-M4, every warning an error,
// against the ExFont.h, gfxfont.h and lvgl/lvgl.h written for the tests (output/compile).
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "export_test_font.h"
#include "golden.h"

namespace pindot::testing {

inline const std::string kWarningsAsErrors =
    " -Wall -Wextra -pedantic-errors -Werror -I. -I'" PINDOT_COMPILE_DIR "' ";
// C99 for the host, C99 for a Cortex-M4 (objects only), and C++11 for a header's syntax.
inline const std::string kHostC = PINDOT_C_COMPILER " -std=c99" + kWarningsAsErrors;
inline const std::string kCortexM4C =
    "arm-none-eabi-gcc -mcpu=cortex-m4 -mthumb -Os -std=c99" + kWarningsAsErrors;
inline const std::string kCxxHeader =
    PINDOT_CXX_COMPILER " -std=c++11 -x c++ -fsyntax-only" + kWarningsAsErrors;

inline bool HaveCortexM4Compiler() {
  return std::system("arm-none-eabi-gcc --version > /dev/null 2>&1") == 0;
}

// Runs `command` in `folder`, its output going to log.txt there; a failure fails the test and shows
// the log. Gives whether it succeeded.
inline bool RunIn(const TempFolder& folder, const std::string& command) {
  const std::string line = "cd '" + folder.path.string() + "' && (" + command + ") > log.txt 2>&1";
  const bool succeeded = std::system(line.c_str()) == 0;
  EXPECT_TRUE(succeeded) << command << "\n" << ReadFileBytes(folder / "log.txt");
  return succeeded;
}

}  // namespace pindot::testing
