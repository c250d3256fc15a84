#include "cli/failure_report.h"

#include <exception>
#include <new>

#include "text/utf.h"

namespace pindot {

int RunReportingFailures(std::ostream& err, const std::function<int()>& command) {
  // Each message on one line, whatever names it holds.
  try {
    return command();
  } catch (const std::bad_alloc&) {
    err << "pindot: out of memory\n";
  } catch (const std::exception& error) {
    err << "pindot: " << Printable(error.what()) << '\n';
  }
  return 1;
}

}  // namespace pindot
