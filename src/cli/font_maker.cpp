#include "cli/font_maker.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <exception>
#include <new>

#include "base/user_error.h"
#include "font/face_losses.h"
#include "font/font_canvas.h"
#include "font/font_metrics.h"
#include "glyph/loss_report.h"
#include "text/character_set.h"
#include "text/code_page.h"
#include "text/utf.h"

namespace pindot {

namespace {

// A sample text file larger than this is refused rather than read until memory runs out (a
// device such as /dev/zero never ends). 64 MB is some 20 million characters, a thousand times
// every character set a font table holds.
constexpr size_t kMaximumTextFileBytes = 64u << 20;

std::string ReadWholeFile(const std::string& path) {
  const int descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) {
    throw UserError("cannot read text file \"" + Printable(path) + "\": " + std::strerror(errno));
  }
  std::string bytes;
  char buffer[65536];
  for (;;) {
    const ssize_t count = read(descriptor, buffer, sizeof buffer);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) {
      const int error = errno;
      close(descriptor);
      throw UserError("cannot read text file \"" + Printable(path) + "\": " + std::strerror(error));
    }
    if (count == 0) break;
    if (bytes.size() + static_cast<size_t>(count) > kMaximumTextFileBytes) {
      close(descriptor);
      throw UserError("cannot read text file \"" + Printable(path) + "\": it is larger than " +
                      std::to_string(kMaximumTextFileBytes >> 20) + " MB");
    }
    bytes.append(buffer, static_cast<size_t>(count));
  }
  close(descriptor);
  return bytes;
}

// The font description the options ask for: --font-file, else --font, else string 114.
FontSpec BuildFontSpec(const CommandOptions& options, Language language) {
  FontSpec fontSpec = DefaultFontSpec(language);
  if (options.fontFile) {
    if (options.fontFile->empty())
      throw UserError("cannot open font file \"\": no file name given");
    fontSpec.faceName.clear();
    fontSpec.filePath = *options.fontFile;
  } else if (options.fontName) {
    fontSpec.faceName = FromUtf8(*options.fontName, "the --font value");
    if (fontSpec.faceName.empty()) throw UserError("no face name given: --font is empty");
  }
  fontSpec.cellHeight = options.size.value_or(16);
  if (options.emSize) fontSpec.emHeight = *options.emSize;
  fontSpec.weight = options.bold ? 700 : 400;
  fontSpec.italic = options.italic;
  fontSpec.underline = options.underline;
  fontSpec.strikeOut = options.strikeOut;
  return fontSpec;
}

// The sample text: --text, then --text-file, then each --range, then each --charset; with none of
// them, string 113; then --exclude and --exclude-range take characters out. Throws UserError for an
// unreadable or non-UTF-8 file, a bad range or an unknown character set.
std::u16string BuildSampleText(const CommandOptions& options, Language language) {
  std::u16string sample;
  if (!options.text && !options.textFile && options.ranges.empty() && options.charsets.empty()) {
    sample = LoadString(language, StringId::kDefaultSampleText);
  }
  if (options.text) sample += FromUtf8(*options.text, "the --text value");
  if (options.textFile) sample += ReadSampleTextFile(*options.textFile);
  for (const std::string& range : options.ranges) {
    AppendCharacterRange(sample, ParseCharacterRange(range));
  }
  for (const std::string& charset : options.charsets) AppendCharacterSet(sample, charset);
  // --exclude and --exclude-range take characters out of the whole sample, once it is assembled.
  std::vector<CharacterRange> excludedRanges;
  for (const std::string& range : options.excludeRanges) {
    excludedRanges.push_back(ParseCharacterRange(range));
  }
  RemoveCharacters(sample, FromUtf8(options.exclude.value_or(""), "the --exclude value"),
                   excludedRanges);
  return sample;
}

}  // namespace

CommandProgress::CommandProgress(std::ostream& err, bool errIsTerminal) {
  if (errIsTerminal) bar_.emplace(err);
}

ProgressIndicator& CommandProgress::Indicator() {
  return bar_ ? static_cast<ProgressIndicator&>(*bar_) : none_;
}

void CommandProgress::Wipe() {
  if (bar_) bar_->Clear();
}

std::u16string ReadSampleTextFile(const std::string& path) {
  std::string bytes = ReadWholeFile(path);
  std::string_view view(bytes);
  if (view.substr(0, 3) == "\xEF\xBB\xBF") view.remove_prefix(3);
  std::u16string decoded = FromUtf8(view, "text file \"" + path + "\"");
  std::u16string text;
  text.reserve(decoded.size() + decoded.size() / 16);
  for (size_t i = 0; i < decoded.size(); ++i) {
    if (decoded[i] == u'\n' && (i == 0 || decoded[i - 1] != u'\r')) text.push_back(u'\r');
    text.push_back(decoded[i]);
  }
  return text;
}

std::unique_ptr<Generator> MakeFont(const CommandOptions& options, const std::string& prefix,
                                    std::ostream& err, CommandProgress& progress,
                                    std::unique_ptr<FontCanvas>* keptCanvas,
                                    std::vector<char16_t>* missing) {
  Language language = LanguageFromEnvironment();
  FontSpec fontSpec = BuildFontSpec(options, language);
  std::u16string sample = BuildSampleText(options, language);
  CodePage codePage(options.codePage ? *options.codePage : DefaultCodePageNumber());
  std::unique_ptr<FontCanvas> canvas = FontCanvas::Open(fontSpec);

  if (fontSpec.filePath.empty()) {
    if (canvas->ResolvedFamily() != fontSpec.faceName) {
      err << prefix << "warning: no face named \"" << ToUtf8(fontSpec.faceName)
          << "\" is installed; drawing with \"" << ToUtf8(canvas->ResolvedFamily()) << "\" ("
          << canvas->ResolvedPath() << ")\n";
    }
  } else {
    fontSpec.faceName = canvas->ResolvedFamily();  // a file has no asked name; its family stands in
  }

  auto generator = std::make_unique<Generator>(std::move(codePage));
  MeasureFont(*canvas, fontSpec, generator->Settings());
  if (options.width) generator->Settings().width = static_cast<uint32_t>(*options.width);
  generator->Settings().sortByUnicode = options.sort != "ansi";
  generator->Generate(sample, *canvas, progress.Indicator());
  progress.Wipe();

  // Whatever did not come out as asked is said, one line per kind, in every mode.
  LossReport losses = FindLosses(*generator);
  AddFaceLosses(*canvas, fontSpec, *generator, losses);
  // A bitmap face's own strike is no surprise when no size was asked for, and a cell whose width
  // was given is not measured on the missing-glyph box.
  if (!options.size && !options.emSize) losses.strikeHeight.reset();
  if (options.width) losses.referenceMissing = false;
  // Glyphs with boxes of their own are never cut to a cell, nor measured by one.
  if (options.format != "exfont") {
    losses.cut[0].clear();
    losses.cut[1].clear();
    losses.referenceMissing = false;
  }
  for (const std::u16string& line :
       DescribeLosses(losses, Language::kEnglish, options.verbose, u" (--verbose lists all)")
           .lines) {
    err << prefix << "warning: " << ToUtf8(line) << '\n';
  }
  if (options.strict && losses.LostCharacters()) {
    err << prefix << "--strict: not every character came out as asked; nothing written\n";
    return nullptr;
  }
  if (keptCanvas != nullptr) *keptCanvas = std::move(canvas);
  if (missing != nullptr) *missing = losses.missing;
  return generator;
}

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
