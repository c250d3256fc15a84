// The command line's export: -o PATH writes the header and source files as the window's Export.
#pragma once

#include <ostream>
#include <string>

#include "glyph/generator.h"
#include "output/folder_lock.h"
#include "output/font_data_text.h"

namespace pindot {

// Checks PATH before anything is generated: throws UserError when it names no file ("out/").
void CheckExportPath(const std::string& path);

// The line a run writes on `err` when it begins to wait for another process's lock on a folder.
LockWaitNotice NoticeOfLockWait(std::ostream& err);

// After a Generate: writes the header and the source derived from PATH as if it had been chosen in
// the save chooser.
// Each file that cannot be written gets one error line naming it and the reason; the other file is
// still written. Returns whether both files were written.
bool ExportFromCommandLine(const Generator& generator, const std::string& path,
                           const DataTextOptions& options, ProgressIndicator& progress,
                           std::ostream& err);

}  // namespace pindot
