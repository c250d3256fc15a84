#include "cli/format_output.h"

#include "base/user_error.h"
#include "glyph/ink_scan.h"
#include "output/exporter.h"
#include "text/utf.h"

namespace pindot {

std::optional<std::string> FormatOptionsProblem(const CommandOptions& options) {
  const InkFontFormat* format = FindInkFontFormat(options.format);
  if (format == nullptr && options.format != "exfont") {
    std::string known = "exfont";
    for (const InkFontFormat& row : InkFontFormats()) known += ", " + std::string(row.name);
    return "unknown format \"" + Printable(options.format) + "\" (known: " + known + ")";
  }
  if (options.bpp != 1 && options.bpp != 2 && options.bpp != 4 && options.bpp != 8) {
    return "--bpp " + std::to_string(options.bpp) + ": must be 1, 2, 4 or 8";
  }
  if (format == nullptr) {
    if (options.bpp != 1) return "--bpp needs a --format other than exfont: EXFONT is 1 bit";
    return std::nullopt;
  }
  const std::string which = "--format " + options.format;
  if (format->needsName && !options.name) return which + " needs --name, the font's C name";
  if (options.sort == "ansi") return which + " is keyed by Unicode: --sort ansi is EXFONT's";
  if (options.data) return "--data prints EXFONT's font data text: not with " + which;
  if (format->binary && !options.output) return which + " needs -o, the file to write";
  return std::nullopt;
}

std::string FormatOutputPath(const InkFontFormat& format, const std::string& output) {
  std::string path = DeriveExportPaths(output).sourcePath;
  return path.substr(0, path.size() - 2) + std::string(format.extension);
}

InkFont MakeInkFont(const CommandOptions& options, const Generator& generator, GlyphCanvas& canvas,
                    const std::string& prefix, std::ostream& err) {
  size_t beyond = 0;  // high surrogates: each begins a character beyond U+FFFF
  for (const DrawnGlyph& glyph : generator.Glyphs())
    beyond += glyph.unit >= 0xD800 && glyph.unit <= 0xDBFF;
  if (beyond > 0) {
    const std::string line = std::to_string(beyond) + " character" + (beyond == 1 ? "" : "s") +
                             " beyond U+FFFF left out: the " + options.format +
                             " font holds U+0020..U+FFFF";
    if (options.strict) throw UserError("--strict: " + line + "; nothing written");
    err << prefix << "warning: " << line << '\n';
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

}  // namespace pindot
