// Export: Generate, fill the header and source templates, write both files in the code page.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "glyph/generator.h"
#include "output/file_replacement.h"
#include "output/folder_lock.h"
#include "output/font_data_text.h"
#include "output/source_template.h"
#include "output/text_sink.h"

namespace pindot {

// Paths as a save chooser yields them: "out/song16.txt" -> title "song16", "out/song16.h" and
// "out/song16.c"; a name without extension gets ".h" and ".c" appended.
// A name ending in a dot ("song16.") gives "song16.h", the file the source includes. Throws
// UserError for a path that names no file ("out/", "", "out/..") or is not UTF-8, and for a title
// that cannot stand inside #include "...": a double quote, a backslash or a control character.
struct ExportPaths {
  std::u16string fileTitle;
  std::string headerPath;
  std::string sourcePath;
  std::string headerName;  // the header's file name as the file system spells it: "song16.h"
};
ExportPaths DeriveExportPaths(const std::string& fullPath);

struct ExportFailure {
  std::string path;
  std::string reason;  // in words, e.g. "Permission denied"
};

struct ExportReport {
  ExportPaths paths;
  std::vector<ExportFailure> failures;  // empty when both files were written
};

// The header and the source of the generator's last run, written as they are made into files no
// one sees yet (FileReplacement: missing folders are created, an unwritable target is known at
// once), the font data text streamed in the code page's bytes. Nothing is in place until Commit, so
// several exports can be prepared and put in place together.
class PreparedExport {
 public:
  PreparedExport(const Generator& generator, const std::string& fullPath,
                 ProgressIndicator& progress, const DataTextOptions& options = {},
                 const FileSystemCalls& calls = FileSystemCalls::System());

  const ExportPaths& Paths() const { return paths_; }
  // The first failure of each file so far, in words; empty when both are writable and written.
  std::vector<ExportFailure> Failures() const;
  // Puts both files in place, header first, holding a FolderLock on their folders so that two
  // runs exporting the same pair never leave one's header beside the other's source: both are
  // written and synced before the first rename, and SIGINT, SIGTERM and SIGHUP wait until both
  // renames are done. A file that fails is reported and leaves any previous file of that name
  // untouched; the other is still put in place. Throws UserError when another process holds a
  // folder's lock too long (`waiting` is told when the wait begins). Called once.
  std::vector<ExportFailure> Commit(const LockWaitNotice& waiting = {});

  // The two files themselves, for a caller that puts many exports in place together under a
  // FolderLock of its own and leaves a file it would not change alone (Paths() names them).
  FileReplacement& HeaderFile() { return header_; }
  FileReplacement& SourceFile() { return source_; }

 private:
  ExportPaths paths_;
  FileReplacement header_;
  FileReplacement source_;
};

// The part of an export after Generate: fills the templates from the generator's settings, writes
// the font data text into the source (one progress step per entry) and puts both files in place.
ExportReport ExportGeneratedFiles(const Generator& generator, const std::string& fullPath,
                                  ProgressIndicator& progress, const DataTextOptions& options = {},
                                  const FileSystemCalls& calls = FileSystemCalls::System(),
                                  const LockWaitNotice& waiting = {});

}  // namespace pindot
