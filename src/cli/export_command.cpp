#include "cli/export_command.h"

#include "output/exporter.h"

namespace pindot {

void CheckExportPath(const std::string& path) {
  DeriveExportPaths(path);
}

bool ExportFromCommandLine(const Generator& generator, const std::string& path,
                           const DataTextOptions& options, ProgressIndicator& progress,
                           std::ostream& err) {
  const ExportReport report = ExportGeneratedFiles(generator, path, progress, options);
  for (const ExportFailure& failure : report.failures) {
    err << "pindot: cannot write \"" << failure.path << "\": " << failure.reason << '\n';
  }
  return report.failures.empty();
}

}  // namespace pindot
