#include "cli/export_command.h"

#include "output/exporter.h"

namespace pindot {

void CheckExportPath(const std::string& path) {
  DeriveExportPaths(path);
}

bool ExportFromCommandLine(const Generator& generator, std::u16string_view fontDataText,
                           const std::string& path, std::ostream& err) {
  const ExportReport report = ExportGeneratedFiles(generator, fontDataText, path);
  for (const ExportFailure& failure : report.failures) {
    err << "pindot: cannot write \"" << failure.path << "\": " << failure.reason << '\n';
  }
  return report.failures.empty();
}

}  // namespace pindot
