#include "output/exporter.h"

#include "base/user_error.h"
#include "output/folder_lock.h"
#include "output/font_data_text.h"
#include "output/interrupt_cleanup.h"
#include "output/source_template.h"
#include "output/text_sink.h"
#include "text/utf.h"

namespace pindot {

namespace {

// The templates filled for this export, the source as the pieces around its data.
struct FilledTemplates {
  std::u16string headerText;
  std::vector<std::u16string> sourcePieces;
  std::vector<StreamedPart> streamedParts;
};

FilledTemplates FillTemplates(const Generator& generator, std::u16string_view fileTitle,
                              const DataTextOptions& options) {
  FilledTemplates filled;
  SourceTemplate::For(generator, fileTitle, options.constTables, options.name)
      .BuildAroundData(filled.headerText, filled.sourcePieces, filled.streamedParts);
  return filled;
}

// The source as written: its first line names the header as the file system spells it (the
// title's own bytes: a title outside ASCII written in the code page's bytes would name no file),
// then the template in the code page with the font data text streamed in.
void WriteExportedSource(const Generator& generator, const ExportPaths& paths,
                         const std::vector<std::u16string>& sourcePieces,
                         const std::vector<StreamedPart>& streamedParts, TextSink& sink,
                         ProgressIndicator& progress, const DataTextOptions& options) {
  const std::u16string& first = sourcePieces.front();
  const size_t firstLineEnd = first.find(u"\r\n");
  sink.AppendAscii("#include \"");
  sink.AppendBytes(paths.headerName);
  sink.AppendAscii("\"");
  sink.AppendText(std::u16string_view(first).substr(firstLineEnd));
  for (size_t i = 1; i < sourcePieces.size(); ++i) {
    switch (streamedParts[i - 1]) {
      case StreamedPart::kData:
        WriteFontDataText(generator, sink, progress, options);
        break;
      case StreamedPart::kThinItems:
        WriteConstItems(generator, TableKind::kThin, sink, options);
        break;
      case StreamedPart::kWideItems:
        WriteConstItems(generator, TableKind::kWide, sink, options);
        break;
    }
    sink.AppendText(sourcePieces[i]);
  }
}

}  // namespace

ExportPaths DeriveExportPaths(const std::string& fullPath) {
  const size_t slash = fullPath.rfind('/');
  const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  const std::string name = fullPath.substr(nameStart);
  if (name.empty() || name == "." || name == "..") {
    throw UserError("export path \"" + Printable(fullPath) + "\" names no file");
  }
  const size_t dot = name.rfind('.');
  ExportPaths paths;
  paths.fileTitle = FromUtf8(name.substr(0, dot), "file name \"" + fullPath + "\"");
  // The source includes the header by name, between double quotes.
  for (char16_t unit : paths.fileTitle) {
    const char* what = unit == u'"'                     ? "a double quote"
                       : unit == u'\\'                  ? "a backslash"
                       : unit == u'\n' || unit == u'\r' ? "a line break"
                       : unit < 0x20 || unit == 0x7F    ? "a control character"
                                                        : nullptr;
    if (what != nullptr) {
      throw UserError("cannot export to \"" + Printable(fullPath) + "\": its name holds " + what +
                      ", which cannot stand in the source's #include \"...\"");
    }
  }
  // With an extension, the text after the name's last dot is replaced; without, ".h" is appended.
  const std::string stem =
      dot == std::string::npos ? fullPath + "." : fullPath.substr(0, nameStart + dot + 1);
  paths.headerPath = stem + "h";
  paths.sourcePath = stem + "c";
  paths.headerName = paths.headerPath.substr(nameStart);
  return paths;
}

PreparedExport::PreparedExport(const Generator& generator, const std::string& fullPath,
                               ProgressIndicator& progress, const DataTextOptions& options,
                               const FileSystemCalls& calls)
    : paths_(DeriveExportPaths(fullPath)),
      header_(paths_.headerPath, calls),
      source_(paths_.sourcePath, calls) {
  const FilledTemplates filled = FillTemplates(generator, paths_.fileTitle, options);
  const CodePage& codePage = generator.GetCodePage();
  // Each file is written as it is made; one that cannot be opened takes no bytes.
  {
    CodePageSink sink(codePage, [this](std::string_view bytes) { header_.Write(bytes); });
    sink.AppendText(filled.headerText);
  }
  if (!source_.Failure()) {
    CodePageSink sink(codePage, [this](std::string_view bytes) { source_.Write(bytes); });
    WriteExportedSource(generator, paths_, filled.sourcePieces, filled.streamedParts, sink,
                        progress, options);
  }
}

std::vector<ExportFailure> PreparedExport::Failures() const {
  std::vector<ExportFailure> failures;
  for (auto [file, path] :
       {std::pair{&header_, &paths_.headerPath}, std::pair{&source_, &paths_.sourcePath}}) {
    if (file->Failure()) failures.push_back({*path, *file->Failure()});
  }
  return failures;
}

std::vector<ExportFailure> PreparedExport::Commit(const LockWaitNotice& waiting) {
  std::vector<ExportFailure> failures;
  // Another run writing the same pair waits, so the header and the source on the disk always come
  // from one run. Both are synced before either is renamed, and a signal waits until both are in
  // place; a failure of one does not stop the other.
  const FolderLock lock({paths_.headerPath, paths_.sourcePath}, waiting);
  const std::pair<FileReplacement*, const std::string*> files[] = {{&header_, &paths_.headerPath},
                                                                   {&source_, &paths_.sourcePath}};
  for (auto [file, path] : files) file->Stage();
  const InterruptHold hold;
  for (auto [file, path] : files) {
    if (std::optional<std::string> reason = file->Commit()) failures.push_back({*path, *reason});
  }
  return failures;
}

ExportReport ExportGeneratedFiles(const Generator& generator, const std::string& fullPath,
                                  ProgressIndicator& progress, const DataTextOptions& options,
                                  const FileSystemCalls& calls, const LockWaitNotice& waiting) {
  PreparedExport prepared(generator, fullPath, progress, options, calls);
  ExportReport report;
  report.paths = prepared.Paths();
  report.failures = prepared.Commit(waiting);
  return report;
}

}  // namespace pindot
