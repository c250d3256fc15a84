#include "cli/build_command.h"

#include <sys/stat.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <new>
#include <optional>
#include <set>
#include <sstream>
#include <vector>

#include "base/user_error.h"
#include "cli/export_command.h"
#include "cli/failure_report.h"
#include "cli/font_maker.h"
#include "cli/format_output.h"
#include "cli/manifest.h"
#include "output/exporter.h"
#include "output/file_replacement.h"
#include "output/folder_lock.h"
#include "output/glyph_sheet.h"
#include "output/interrupt_cleanup.h"
#include "output/source_template.h"
#include "text/utf.h"

namespace pindot {

namespace {

// A manifest larger than this is no list of fonts.
constexpr std::streamsize kMaximumManifestBytes = 16 << 20;

// One font made and its files written unseen, waiting for every other font.
struct PreparedFont {
  const ManifestFont* entry = nullptr;
  std::unique_ptr<PreparedExport> files;     // EXFONT's pair
  std::vector<FileReplacement> formatFiles;  // or the files of another format
  std::vector<std::string> formatPaths;
  std::optional<FileReplacement> sheet;
  std::vector<std::string> names;  // the global names its source defines
};

// A file of the build waiting to be put in place.
struct PendingFile {
  const ManifestFont* entry;
  const std::string* path;
  FileReplacement* file;
};

// The folders above each path that do not exist yet, outermost first: preparing a file creates its
// missing folders, and a build that fails removes again those it made (when they are still empty).
std::vector<std::string> MissingFolders(const std::vector<std::string>& paths) {
  std::vector<std::string> missing;
  std::set<std::string> seen;
  for (const std::string& path : paths) {
    std::vector<std::string> chain;
    for (size_t slash = path.rfind('/'); slash != std::string::npos && slash > 0;
         slash = path.rfind('/', slash - 1)) {
      const std::string folder = path.substr(0, slash);
      struct stat status {};
      if (lstat(folder.c_str(), &status) == 0) break;
      chain.push_back(folder);
    }
    for (auto folder = chain.rbegin(); folder != chain.rend(); ++folder) {
      if (seen.insert(*folder).second) missing.push_back(*folder);
    }
  }
  return missing;
}

class Build {
 public:
  Build(const BuildOptions& options, std::ostream& err, bool errIsTerminal)
      : options_(options), err_(err), progress_(err, errIsTerminal) {}

  int Run() {
    std::optional<std::string> text = ReadManifest();
    if (!text) return 1;
    const Manifest manifest = ParseManifest(*text, options_.manifestPath);
    for (const std::string& error : manifest.errors) err_ << "pindot: " << error << '\n';
    if (!manifest.errors.empty()) return 2;

    std::vector<std::string> targets;
    for (const ManifestFont& font : manifest.fonts) {
      if (const InkFontFormat* format = FindInkFontFormat(font.options.format)) {
        for (const std::string& path : FormatOutputPaths(*format, *font.options.output))
          targets.push_back(path);
      } else {
        const ExportPaths paths = DeriveExportPaths(*font.options.output);
        targets.push_back(paths.headerPath);
        targets.push_back(paths.sourcePath);
      }
      if (font.options.sheet) targets.push_back(*font.options.sheet);
    }
    const std::vector<std::string> newFolders = MissingFolders(targets);
    const bool built = MakeEveryFont(manifest) && NoNamesClash() && PutInPlace(targets);
    if (!built && !anythingCommitted_) {
      prepared_.clear();  // every file not put in place is discarded
      for (auto folder = newFolders.rbegin(); folder != newFolders.rend(); ++folder) {
        rmdir(folder->c_str());
      }
    }
    return built ? 0 : 1;
  }

 private:
  // Only a regular file is read, and only when its size is that of a list of fonts: a device such
  // as /dev/zero never ends and a named pipe may never be written to.
  std::optional<std::string> ReadManifest() {
    const std::string name = "pindot: cannot read manifest " + Quoted(options_.manifestPath) + ": ";
    struct stat status {};
    if (stat(options_.manifestPath.c_str(), &status) != 0) {
      err_ << name << std::strerror(errno) << '\n';
      return std::nullopt;
    }
    if (!S_ISREG(status.st_mode)) {
      err_ << name
           << (S_ISDIR(status.st_mode) ? "it is a folder; give the manifest file in it"
                                       : "it is not a regular file")
           << '\n';
      return std::nullopt;
    }
    std::ifstream in(options_.manifestPath, std::ios::binary);
    if (!in) {
      err_ << name << std::strerror(errno) << '\n';
      return std::nullopt;
    }
    // Read to one byte past the limit at most, so a file that grew since it was looked at shows.
    std::string text;
    char buffer[65536];
    while (status.st_size <= kMaximumManifestBytes) {
      in.read(buffer, sizeof buffer);
      if (in.gcount() <= 0) break;
      text.append(buffer, static_cast<size_t>(in.gcount()));
      if (text.size() > static_cast<size_t>(kMaximumManifestBytes)) break;
    }
    if (in.bad() || status.st_size > kMaximumManifestBytes ||
        text.size() > static_cast<size_t>(kMaximumManifestBytes)) {
      err_ << name << (in.bad() ? "a read failed" : "it is larger than 16 MB") << '\n';
      return std::nullopt;
    }
    return text;
  }

  std::string Where(const ManifestFont& font) const {
    return "pindot: " + Printable(options_.manifestPath) + ":" + std::to_string(font.line) + ": ";
  }

  // Stops at the first font that fails: nothing will be written anyway.
  bool MakeEveryFont(const Manifest& manifest) {
    for (const ManifestFont& font : manifest.fonts) {
      try {
        if (!MakeOneFont(font)) return false;
      } catch (const std::bad_alloc&) {
        progress_.Wipe();
        err_ << Where(font) << "out of memory\n";
        return false;
      } catch (const std::exception& error) {
        progress_.Wipe();
        err_ << Where(font) << Printable(error.what()) << '\n';
        return false;
      }
    }
    return true;
  }

  bool MakeOneFont(const ManifestFont& font) {
    CommandOptions options = font.options;
    options.strict = options.strict || options_.strict;
    options.verbose = options.verbose || options_.verbose;
    const InkFontFormat* format = FindInkFontFormat(options.format);
    std::vector<char16_t> missing;
    std::unique_ptr<FontCanvas> canvas;
    const std::unique_ptr<Generator> generator =
        MakeFont(options, Where(font), err_, progress_, format ? &canvas : nullptr, &missing);
    if (!generator) return false;
    PreparedFont prepared;
    prepared.entry = &font;
    bool written = true;
    std::optional<InkFont> inkFont;
    if (format) {
      prepared.formatPaths = FormatOutputPaths(*format, *options.output);
      if (!format->cells) inkFont = MakeInkFont(options, *generator, *canvas, Where(font), err_);
      const std::vector<std::string> files = MakeFormatFiles(
          *format, options, *generator, inkFont ? &*inkFont : nullptr, Where(font), err_);
      for (size_t i = 0; i < files.size(); ++i) {
        FileReplacement& file = prepared.formatFiles.emplace_back(prepared.formatPaths[i]);
        if (!file.Failure()) file.Write(files[i]);
        if (file.Failure()) {
          err_ << Where(font) << "cannot write " << Quoted(prepared.formatPaths[i]) << ": "
               << *file.Failure() << '\n';
          written = false;
        }
      }
    } else {
      DataTextOptions dataTextOptions;
      dataTextOptions.constTables = options.constTables;
      if (options.name) dataTextOptions.name.assign(options.name->begin(), options.name->end());
      prepared.files = std::make_unique<PreparedExport>(*generator, *options.output,
                                                        progress_.Indicator(), dataTextOptions);
      progress_.Wipe();
      for (const ExportFailure& failure : prepared.files->Failures()) {
        err_ << Where(font) << "cannot write " << Quoted(failure.path) << ": " << failure.reason
             << '\n';
        written = false;
      }
    }
    if (options.sheet) {
      prepared.sheet.emplace(*options.sheet);
      if (!prepared.sheet->Failure()) {
        const uint32_t zoom = options.sheetZoom.value_or(0);
        prepared.sheet->Write(inkFont ? EncodeGlyphSheet(*inkFont, missing, zoom)
                                      : EncodeGlyphSheet(*generator, missing, zoom));
      }
      if (prepared.sheet->Failure()) {
        err_ << Where(font) << "cannot write " << Quoted(*options.sheet) << ": "
             << *prepared.sheet->Failure() << '\n';
        written = false;
      }
    }
    if (!format) {
      const std::string name = options.name.value_or("");  // a C identifier: ASCII
      prepared.names = SourceTemplate::For(*generator, prepared.files->Paths().fileTitle, false,
                                           std::u16string(name.begin(), name.end()))
                           .ExportedNames();
    } else if (format->needsName) {
      prepared.names = {*options.name};
    }
    // Each font's files wait on the disk under their hidden names, holding no handle, so that a
    // manifest of thousands of fonts stays within the limit of open files.
    for (const PendingFile& file : FilesOf(prepared)) {
      if (!written) break;
      if (std::optional<std::string> reason = file.file->Park()) {
        err_ << Where(font) << "cannot write " << Quoted(*file.path) << ": " << *reason << '\n';
        written = false;
      }
    }
    prepared_.push_back(std::move(prepared));
    return written;
  }

  static std::vector<PendingFile> FilesOf(PreparedFont& font) {
    std::vector<PendingFile> files;
    if (font.files) {
      const ExportPaths& paths = font.files->Paths();
      files.push_back({font.entry, &paths.headerPath, &font.files->HeaderFile()});
      files.push_back({font.entry, &paths.sourcePath, &font.files->SourceFile()});
    } else {
      for (size_t i = 0; i < font.formatFiles.size(); ++i)
        files.push_back({font.entry, &font.formatPaths[i], &font.formatFiles[i]});
    }
    if (font.sheet) files.push_back({font.entry, &*font.entry->options.sheet, &*font.sheet});
    return files;
  }

  // Without a name the templates name their objects after the height, the widths and the key kind
  // alone, so two fonts alike in those would define the same names and not link together; two
  // fonts given one name would too.
  bool NoNamesClash() {
    std::map<std::string, const PreparedFont*> definedBy;
    bool clear = true;
    for (const PreparedFont& font : prepared_) {
      for (const std::string& name : font.names) {
        const auto [found, added] = definedBy.emplace(name, &font);
        if (added) continue;
        const ManifestFont& earlier = *found->second->entry;
        err_ << Where(*font.entry) << Quoted(*font.entry->options.output) << " and "
             << Quoted(*earlier.options.output) << " (" << Printable(options_.manifestPath) << ":"
             << earlier.line << ") would both define " << name
             << (font.files && found->second->files && !font.entry->options.name &&
                         !earlier.options.name
                     ? ": fonts of the same height and sort do not link together; give one "
                       "another size or sort, or a name\n"
                     : ": give one another name\n");
        clear = false;
        break;
      }
    }
    return clear;
  }

  // Under one lock on every folder written, so another build or export of the same files waits:
  // each file whose bytes differ from those on the disk is staged (all of them synced and given
  // their hidden name, where anything that can fail fails), and only then each one is renamed into
  // place. A failure while staging leaves every file as it was.
  bool PutInPlace(const std::vector<std::string>& targets) {
    std::optional<FolderLock> lock;
    try {
      lock.emplace(targets, NoticeOfLockWait(err_));
    } catch (const UserError& error) {
      err_ << "pindot: " << error.what() << '\n';
      return false;
    }
    std::vector<PendingFile> changed;
    for (PreparedFont& font : prepared_) {
      for (const PendingFile& file : FilesOf(font)) {
        if (!file.file->MatchesTarget()) changed.push_back(file);
      }
    }
    for (const PendingFile& file : changed) {
      if (std::optional<std::string> reason = file.file->Stage()) {
        err_ << Where(*file.entry) << "cannot write " << Quoted(*file.path) << ": " << *reason
             << '\n';
        return false;
      }
    }
    // Every file is on the disk now; a signal waits until the last one is renamed into place.
    const InterruptHold hold;
    size_t failed = 0;
    for (const PendingFile& file : changed) {
      if (std::optional<std::string> reason = file.file->Commit()) {
        err_ << Where(*file.entry) << "cannot write " << Quoted(*file.path) << ": " << *reason
             << '\n';
        ++failed;
      } else {
        anythingCommitted_ = true;
      }
    }
    if (failed > 0) {
      err_ << "pindot: " << Printable(options_.manifestPath) << ": only " << changed.size() - failed
           << " of " << changed.size()
           << " changed files were written; the others are as they were\n";
    }
    return failed == 0;
  }

  const BuildOptions& options_;
  std::ostream& err_;
  CommandProgress progress_;
  std::vector<PreparedFont> prepared_;
  bool anythingCommitted_ = false;
};

}  // namespace

void AddBuildOptions(CLI::App& build, BuildOptions& options) {
  build.footer(
      "Each font is a [[font]] table whose keys are pindot's long options without the dashes, "
      "with "
      "the same meanings and defaults: font, font-file, size, em-size, width, bold, italic, "
      "underline, strikeout, text, text-file, range (an array of \"A-B\"), charset (an array), "
      "exclude, exclude-range, sort, codepage, const, sheet, sheet-zoom, name and output "
      "(required). Paths are "
      "relative to the manifest's "
      "folder. Nothing is written unless every font succeeds; a file whose bytes would not change "
      "is left as it is. Two fonts whose C names would clash (same height and sort) are refused. "
      "Exit status: 0 success, 1 a failure at run time, 2 an error in the manifest or the usage.");
  build.add_option("MANIFEST", options.manifestPath, "the manifest, e.g. fonts.toml")
      ->required()
      ->type_name("PATH.toml");
  build.add_flag("--strict", options.strict,
                 "fail (exit status 1, nothing written) when a character of any font does not "
                 "come out as asked: missing from the face, left out for its ANSI code, or cut");
  build.add_flag("--verbose", options.verbose,
                 "name every character a warning is about, for every font");
}

int RunBuild(const BuildOptions& options, std::ostream& err, bool errIsTerminal) {
  return RunReportingFailures(err, [&] { return Build(options, err, errIsTerminal).Run(); });
}

}  // namespace pindot
