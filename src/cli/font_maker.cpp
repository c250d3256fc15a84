#include "cli/font_maker.h"

#include "base/user_error.h"
#include "cli/sample_text_file.h"
#include "font/font_metrics.h"
#include "font/font_pipeline.h"
#include "glyph/loss_report.h"
#include "text/character_set.h"
#include "text/code_page.h"
#include "text/utf.h"

namespace pindot {

namespace {

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

}  // namespace pindot
