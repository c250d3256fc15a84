// How the commands end when something fails.
#pragma once

#include <functional>
#include <ostream>

namespace pindot {

// Runs a command, turning what it throws into one line on `err` and the exit status 1 (a failure
// at run time); otherwise gives what the command gives.
int RunReportingFailures(std::ostream& err, const std::function<int()>& command);

}  // namespace pindot
