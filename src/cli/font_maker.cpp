#include "cli/font_maker.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <exception>
#include <new>

#include "base/user_error.h"
#include "font/font_metrics.h"
#include "font/font_pipeline.h"
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
FontRequest BuildFontRequest(const CommandOptions& options, Language language) {
  FontRequest fontRequest = DefaultFontRequest(language);
  if (options.fontFile) {
    if (options.fontFile->empty())
      throw UserError("cannot open font file \"\": no file name given");
    fontRequest.faceName.clear();
    fontRequest.filePath = *options.fontFile;
  } else if (options.fontName) {
    fontRequest.faceName = FromUtf8(*options.fontName, "the --font value");
    if (fontRequest.faceName.empty()) throw UserError("no face name given: --font is empty");
  }
  fontRequest.cellHeight = options.size.value_or(16);
  if (options.emSize) fontRequest.emHeight = *options.emSize;
  fontRequest.weight = options.bold ? kBoldWeight : kRegularWeight;
  fontRequest.italic = options.italic;
  fontRequest.underline = options.underline;
  fontRequest.strikeOut = options.strikeOut;
  return fontRequest;
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
  PipelineRequest request;
  request.font = BuildFontRequest(options, language);
  request.sample = BuildSampleText(options, language);
  request.codePage = options.codePage ? *options.codePage : DefaultCodePageNumber();
  request.sortByUnicode = options.sort != "ansi";
  if (options.width) request.width = static_cast<uint32_t>(*options.width);
  request.sizeAsked = options.size || options.emSize;
  request.boxedGlyphs = options.format != "exfont";
  PipelineResult result = RunPipeline(request, progress.Indicator());
  progress.Wipe();

  if (result.face.standIn) {
    err << prefix << "warning: no face named \"" << ToUtf8(request.font.faceName)
        << "\" is installed; drawing with \"" << ToUtf8(result.face.family) << "\" ("
        << result.face.path << ")\n";
  }
  // Whatever did not come out as asked is said, one line per kind, in every mode.
  for (const std::u16string& line :
       DescribeLosses(result.losses, Language::kEnglish, options.verbose, u" (--verbose lists all)")
           .lines) {
    err << prefix << "warning: " << ToUtf8(line) << '\n';
  }
  if (options.strict && result.losses.LostCharacters()) {
    err << prefix << "--strict: not every character came out as asked; nothing written\n";
    return nullptr;
  }
  if (keptCanvas != nullptr) *keptCanvas = std::move(result.canvas);
  if (missing != nullptr) *missing = result.losses.missing;
  return std::move(result.generator);
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
