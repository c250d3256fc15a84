#include "cli/format_output.h"

#include "base/user_error.h"
#include "glyph/ink_scan.h"
#include "glyph/loss_report.h"
#include "output/exporter.h"
#include "output/gfx_font.h"
#include "output/raw_font.h"
#include "text/number_text.h"
#include "text/utf.h"

namespace pindot {

namespace {

// "U+002A, U+002B": the first kCharactersListed of `units` unless `listAll`, and how many more,
// as the loss report lists characters.
std::string UnitList(const std::vector<char16_t>& units, bool listAll) {
  std::string text;
  for (size_t i = 0; i < units.size() && (listAll || i < kCharactersListed); ++i)
    text += (i ? ", " : "") + CodePointName(units[i]);
  if (!listAll && units.size() > kCharactersListed) {
    text +=
        " and " + std::to_string(units.size() - kCharactersListed) + " more (--verbose lists all)";
  }
  return text;
}

// A warning, or with --strict when `lost` the failure.
void Warn(const CommandOptions& options, bool lost, const std::string& line,
          const std::string& prefix, std::ostream& err) {
  if (options.strict && lost) throw UserError("--strict: " + line + "; nothing written");
  err << prefix << "warning: " << line << '\n';
}

std::vector<std::string> MakeRawFiles(const CommandOptions& options, const Generator& generator,
                                      const std::string& headerName, const std::string& prefix,
                                      std::ostream& err) {
  std::vector<char16_t> leftOut;
  const std::vector<RawTable> tables = RawTablesOf(generator, options.width.has_value(), leftOut);
  if (!leftOut.empty()) {
    Warn(options, true,
         std::to_string(leftOut.size()) +
             " wide characters left out of the one table of raw cells, whose ANSI code a thin "
             "character has: " +
             UnitList(leftOut, options.verbose),
         prefix, err);
  }
  SourcePair files =
      WriteRawFont(*options.name, headerName, tables, *ParseRawLayout(options.layout),
                   static_cast<unsigned>(options.rotate));
  return {std::move(files.header), std::move(files.source)};
}

}  // namespace

std::optional<std::string> FormatOptionsProblem(const CommandOptions& options) {
  const InkFontFormat* format = FindInkFontFormat(options.format);
  if (format == nullptr && options.format != "exfont") {
    std::string known = "exfont";
    for (const InkFontFormat& row : InkFontFormats()) known += ", " + std::string(row.name);
    return "unknown format \"" + Printable(options.format) + "\" (known: " + known + ")";
  }
  if (!kBitsPerPixelChoice.Allows(options.bpp)) {
    return "--bpp " + std::to_string(options.bpp) + ": must be " + kBitsPerPixelChoice.inWords;
  }
  if (!ParseRawLayout(options.layout)) {
    return "--layout \"" + Printable(options.layout) +
           "\": must be rows-msb, rows-lsb, pages-lsb or pages-msb";
  }
  if (!kRotationChoice.Allows(options.rotate)) {
    return "--rotate " + std::to_string(options.rotate) + ": must be " + kRotationChoice.inWords;
  }
  if ((options.layout != "rows-msb" || options.rotate != 0) && !(format && format->cells)) {
    return "--layout and --rotate lay out raw cells: they need --format raw";
  }
  if (format == nullptr) {
    if (options.bpp != 1) return "--bpp needs a --format other than exfont: EXFONT is 1 bit";
    return std::nullopt;
  }
  const std::string which = "--format " + options.format;
  if (format->needsName && !options.name) return which + " needs --name, the font's C name";
  if (format->oneBit && options.bpp != 1) return which + " has 1 bit per pixel: no --bpp";
  if (options.sort == "ansi" && !format->cells) {
    return which + " is keyed by Unicode: --sort ansi is EXFONT's";
  }
  if (options.data) return "--data prints EXFONT's font data text: not with " + which;
  if (format->binary && !options.output) return which + " needs -o, the file to write";
  return std::nullopt;
}

std::vector<std::string> FormatOutputPaths(const InkFontFormat& format, const std::string& output) {
  const ExportPaths paths = DeriveExportPaths(output);
  std::vector<std::string> files;
  if (format.writePair || format.cells) files.push_back(paths.headerPath);
  files.push_back(paths.sourcePath.substr(0, paths.sourcePath.size() - 2) +
                  std::string(format.extension));
  return files;
}

InkFont MakeInkFont(const CommandOptions& options, const Generator& generator, GlyphCanvas& canvas,
                    const std::string& prefix, std::ostream& err) {
  size_t beyond = 0;  // high surrogates: each begins a character beyond U+FFFF
  for (const DrawnGlyph& glyph : generator.Glyphs())
    beyond += glyph.unit >= 0xD800 && glyph.unit <= 0xDBFF;
  if (beyond > 0) {
    Warn(options, true,
         std::to_string(beyond) + " character" + (beyond == 1 ? "" : "s") +
             " beyond U+FFFF left out: the " + options.format + " font holds U+0020..U+FFFF",
         prefix, err);
  }
  InkFont font;
  font.name = options.name.value_or("");
  font.description = ToUtf8(generator.Settings().faceName) + ", " +
                     std::to_string(canvas.Lines().lineHeight) + " px";
  font.lines = canvas.Lines();
  font.bpp = static_cast<uint8_t>(options.bpp);
  font.glyphs = DrawInkGlyphs(canvas, InkCharacters(generator), font.bpp);
  return font;
}

std::vector<std::string> MakeFormatFiles(const InkFontFormat& format, const CommandOptions& options,
                                         const Generator& generator, InkFont* font,
                                         const std::string& prefix, std::ostream& err) {
  const std::string headerName = options.output ? DeriveExportPaths(*options.output).headerName
                                                : options.name.value_or("font") + ".h";
  if (format.cells) return MakeRawFiles(options, generator, headerName, prefix, err);
  font->headerName = headerName;
  if (format.name == "gfx") {
    const GfxRange range = PlanGfxRange(font->glyphs);  // refuses a range mostly empty
    if (!range.gaps.empty()) {
      Warn(options, false,
           std::to_string(range.gaps.size()) +
               (range.gaps.size() == 1 ? " code between " : " codes between ") +
               CodePointName(range.first) + " and " + CodePointName(range.last) +
               (range.gaps.size() == 1 ? " is" : " are") +
               " not in the sample: the GFX font has empty glyphs for them: " +
               UnitList(range.gaps, options.verbose),
           prefix, err);
    }
  }
  if (format.writePair) {
    SourcePair files = format.writePair(*font);
    return {std::move(files.header), std::move(files.source)};
  }
  return {format.write(*font)};
}

}  // namespace pindot
