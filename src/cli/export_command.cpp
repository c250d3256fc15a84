#include "cli/export_command.h"

#include "output/exporter.h"
#include "text/utf.h"

namespace pindot {

void CheckExportPath(const std::string& path) {
  DeriveExportPaths(path);
}

LockWaitNotice NoticeOfLockWait(std::ostream& err) {
  return [&err](const std::string& folder) {
    err << "pindot: waiting up to " << kLockPatience.count() / 1000
        << " s for another process to release its lock on the folder \"" << Printable(folder)
        << "\"\n";
  };
}

bool ExportFromCommandLine(const Generator& generator, const std::string& path,
                           const DataTextOptions& options, ProgressIndicator& progress,
                           std::ostream& err) {
  const ExportReport report = ExportGeneratedFiles(
      generator, path, progress, options, FileSystemCalls::System(), NoticeOfLockWait(err));
  for (const ExportFailure& failure : report.failures) {
    err << "pindot: cannot write \"" << Printable(failure.path) << "\": " << failure.reason << '\n';
  }
  return report.failures.empty();
}

}  // namespace pindot
