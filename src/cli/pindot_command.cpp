#include "cli/pindot_command.h"

#include <CLI/CLI.hpp>
#include <memory>
#include <new>
#include <optional>

#include "base/user_error.h"
#include "cli/build_command.h"
#include "cli/export_command.h"
#include "cli/failure_report.h"
#include "cli/font_maker.h"
#include "cli/format_output.h"
#include "font/font_canvas.h"
#include "output/file_replacement.h"
#include "output/font_data_text.h"
#include "output/glyph_sheet.h"
#include "output/source_template.h"
#include "output/text_sink.h"
#include "text/number_text.h"
#include "text/string_table.h"
#include "text/utf.h"

namespace pindot {

namespace {

// A default as the help names it: "\"Fixedsys\", or \"宋体\" in a Chinese locale".
std::string DefaultsInBothLanguages(StringId id) {
  return "\"" + ToUtf8(LoadString(Language::kEnglish, id)) + "\", or \"" +
         ToUtf8(LoadString(Language::kChinese, id)) + "\" in a Chinese locale";
}

// "1..1000": the cell sizes a font may have.
const std::string kPixelRange = "1.." + std::to_string(FontCanvas::kMaxPixels);

// Numbers are decimal or hexadecimal after 0x, never octal: "010" is ten. The value is handed on
// in decimal.
CLI::Validator WholeNumber(uint64_t minimum, uint64_t maximum, const std::string& what) {
  return CLI::Validator(
      [=](std::string& value) -> std::string {
        const std::optional<uint64_t> number = ParseNumber(value, maximum);
        if (!number || *number < minimum) return "\"" + value + "\" is not " + what;
        value = std::to_string(*number);
        return {};
      },
      "", what);
}

// A size in pixels of a cell or an em: "a cell height from 1 to 1000 pixels".
CLI::Validator PixelCount(const std::string& what) {
  return WholeNumber(1, FontCanvas::kMaxPixels,
                     what + " from 1 to " + std::to_string(FontCanvas::kMaxPixels) + " pixels");
}

// An option given once for each value: one use takes one value, so that it never swallows the
// words after it.
void AddRepeatable(CLI::App& app, const std::string& name, std::vector<std::string>& values,
                   const std::string& description, const std::string& typeName) {
  app.add_option(name, values, description)->type_name(typeName)->allow_extra_args(false);
}

void AddOptions(CLI::App& app, CommandOptions& options, std::string& fontName,
                std::string& fontFile, std::string& text, std::string& textFile,
                unsigned& codePage) {
  auto* font = app.add_option("--font", fontName,
                              "face name, resolved by fontconfig (default: " +
                                  DefaultsInBothLanguages(StringId::kDefaultFaceName) + ")")
                   ->type_name("NAME");
  auto* file = app.add_option("--font-file", fontFile,
                              "a font file (TrueType, OpenType, collection, BDF, PCF) instead of "
                              "a face name")
                   ->type_name("PATH");
  font->excludes(file);
  auto* size = app.add_option("--size", options.size,
                              "cell height in pixels, " + kPixelRange + " (default 16)")
                   ->type_name("PX")
                   ->transform(PixelCount("a cell height"));
  auto* emSize =
      app.add_option("--em-size", options.emSize,
                     "em height in pixels, " + kPixelRange +
                         ", instead of --size: the cell is what the face's ascent and descent "
                         "make of that em, as a font chooser's size")
          ->type_name("PX")
          ->transform(PixelCount("an em height"));
  size->excludes(emSize);
  app.add_option("--width", options.width,
                 "the wide cell's width in pixels, " + kPixelRange +
                     ", instead of the width of \"\u4e2d\" (thin cells are half of it, rounded up)")
      ->type_name("PX")
      ->transform(PixelCount("a cell width"));
  app.add_flag("--bold", options.bold, "bold");
  app.add_flag("--italic", options.italic, "italic");
  app.add_flag("--underline", options.underline, "underlined");
  app.add_flag("--strikeout", options.strikeOut, "struck out");
  app.add_option(
         "--text", text,
         "the sample text (default: " + DefaultsInBothLanguages(StringId::kDefaultSampleText) + ")")
      ->type_name("TEXT");
  app.add_option("--text-file", textFile,
                 "the sample text from a UTF-8 file, its line breaks turned into CR LF")
      ->type_name("PATH");
  AddRepeatable(app, "--range", options.ranges,
                "add every character from A to B, e.g. 0x20-0x7e or 32-126 (repeatable)", "A-B");
  AddRepeatable(app, "--charset", options.charsets,
                "add every character that the iconv character set NAME encodes in one or two "
                "bytes (GB2312, BIG5, CP1252, ...), in code order (repeatable)",
                "NAME");
  app.add_option("--exclude", options.exclude,
                 "take every character of TEXT out of the sample, once it is assembled")
      ->type_name("TEXT");
  AddRepeatable(app, "--exclude-range", options.excludeRanges,
                "take every character from A to B out of the sample (repeatable)", "A-B");
  app.add_option("--sort", options.sort,
                 "order the tables by unicode or ansi codes (default unicode)")
      ->type_name("unicode|ansi")
      ->check(CLI::IsMember({"unicode", "ansi"}).description(""));
  app.add_option("--codepage", codePage,
                 "the Windows ANSI code page, e.g. 936 or 1252 (default: PINDOT_CODEPAGE, else "
                 "from the locale)")
      ->type_name("N")
      ->transform(WholeNumber(0, UINT32_MAX, "a code page number such as 936 or 1252"));
  app.add_flag("--preview", options.preview, "print the glyph preview text");
  app.add_flag("--data", options.data,
               "print the font data text (the default when nothing else is asked for)");
  app.add_flag("--const", options.constTables,
               "declare the tables const, so a microcontroller keeps them in flash");
  app.add_option("--sheet", options.sheet,
                 "also draw every entry of both tables with its code into a PNG picture, to review "
                 "the font by eye")
      ->type_name("PATH.png");
  app.add_option("--sheet-zoom", options.sheetZoom,
                 "draw each glyph pixel of the sheet N x N picture pixels, 1..64 (default: "
                 "enough for a cell at least 32 pixels high, at most 8)")
      ->type_name("N")
      ->transform(WholeNumber(1, 64, "a sheet zoom from 1 to 64"));
  std::string formats = "exfont";
  for (const InkFontFormat& format : InkFontFormats()) formats += "|" + std::string(format.name);
  app.add_option("--format", options.format,
                 "what -o writes: exfont (the header and source pair, the default), lvgl (one C "
                 "source of an LVGL font, needs --name), lvgl-bin (LVGL's binary font file), "
                 "u8g2 (a u8g2 font's header and source), gfx (an Adafruit GFX font header) or "
                 "raw (fixed cells as plain arrays with a lookup function, header and source)")
      ->type_name(formats);
  app.add_option("--layout", options.layout,
                 "the bytes of raw cells: rows-msb (rows, leftmost pixel in the top bit, the "
                 "default), rows-lsb, pages-lsb (8 rows a byte, top pixel in the bottom bit, as an "
                 "SSD1306 takes them) or pages-msb")
      ->type_name("rows-msb|rows-lsb|pages-lsb|pages-msb");
  app.add_option("--rotate", options.rotate,
                 "turn raw cells clockwise by 90, 180 or 270 degrees before laying them out "
                 "(default 0)")
      ->type_name(kRotationChoice.typeName);
  app.add_option("--bpp", options.bpp,
                 "bits per pixel of a format's glyphs: 1 (the default, as EXFONT draws), or 2, 4, "
                 "8 levels of grey from FreeType's anti-aliased rendering")
      ->type_name(kBitsPerPixelChoice.typeName);
  app.add_option("--name", options.name,
                 "the C name of the font: an EXFONT export makes every name from it (g_NAME, "
                 "install_NAME, thin_NAME, wide_NAME, ...) instead of the height and widths, so "
                 "they stay when the font changes and fonts of one height link together; other "
                 "formats declare the font as NAME")
      ->type_name("NAME")
      ->check(CLI::Validator(
          [](const std::string& value) -> std::string {
            return IsCIdentifier(value) ? "" : "\"" + Printable(value) + "\" is not a C identifier";
          },
          "", "C identifier"));
  app.add_flag("--verbose", options.verbose,
               "name every character a warning is about, not just the first few");
  app.add_flag("--strict", options.strict,
               "fail (exit status 1, nothing printed or written) when a character does not come "
               "out as asked: missing from the face, left out for its ANSI code, or cut");
}

int Execute(const CommandOptions& options, std::ostream& out, std::ostream& err,
            bool errIsTerminal) {
  if (options.output) CheckExportPath(*options.output);
  // On a terminal a bar shows each stage: drawing, then each file written. Its line is wiped before
  // anything else is said.
  CommandProgress progress(err, errIsTerminal);
  const InkFontFormat* format = FindInkFontFormat(options.format);
  std::unique_ptr<FontCanvas> canvas;
  std::vector<char16_t> missing;
  const std::unique_ptr<Generator> generator =
      MakeFont(options, "pindot: ", err, progress, format ? &canvas : nullptr, &missing);
  if (!generator) return 1;
  std::vector<std::string> formatFiles;  // a header first, for a format with one
  std::string sheet;
  if (format) {
    std::optional<InkFont> font;  // raw cells are the run's tables, drawn once
    if (!format->cells) font = MakeInkFont(options, *generator, *canvas, "pindot: ", err);
    formatFiles =
        MakeFormatFiles(*format, options, *generator, font ? &*font : nullptr, "pindot: ", err);
    if (options.sheet && font) {
      sheet = EncodeGlyphSheet(*font, missing, options.sheetZoom.value_or(0));
    }
    if (options.output) {
      const std::vector<std::string> paths = FormatOutputPaths(*format, *options.output);
      for (size_t i = 0; i < paths.size(); ++i) {
        if (std::optional<std::string> reason = WriteFileReplacing(paths[i], formatFiles[i])) {
          err << "pindot: cannot write \"" << Printable(paths[i]) << "\": " << *reason << '\n';
          return 1;
        }
      }
    }
  }
  DataTextOptions dataTextOptions;
  dataTextOptions.constTables = options.constTables;
  if (options.name) dataTextOptions.name.assign(options.name->begin(), options.name->end());

  // As the window's Export: both files from this Generate; one that fails does not stop the other.
  // Standard output is written only once the whole run has succeeded.
  if (options.output && !format &&
      !ExportFromCommandLine(*generator, *options.output, dataTextOptions, progress.Indicator(),
                             err)) {
    return 1;
  }
  progress.Wipe();
  if (options.sheet) {
    if (std::optional<std::string> reason = WriteFileReplacing(
            *options.sheet, !sheet.empty() ? sheet
                                           : EncodeGlyphSheet(*generator, missing,
                                                              options.sheetZoom.value_or(0)))) {
      err << "pindot: cannot write \"" << Printable(*options.sheet) << "\": " << *reason << '\n';
      return 1;
    }
  }

  // Standard output gets the texts as they are made, in pieces: the preview of a long sample can be
  // far larger than anything else.
  const bool printData = options.data || (!options.preview && !options.output);
  const bool printFormat = format && !options.output;
  Utf8Sink sink([&out](std::string_view bytes) {
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  });
  if (options.preview) {
    bool previewEmpty = true;
    generator->WriteGlyphPreview([&](std::u16string_view piece) {
      previewEmpty = false;
      sink.AppendText(piece);
    });
    if ((printData || printFormat) && !previewEmpty) sink.AppendAscii("\r\n");
  }
  NoProgress none;
  if (printData && !format) WriteFontDataText(*generator, sink, none, dataTextOptions);
  sink.Flush();
  if (printFormat) {
    for (const std::string& file : formatFiles) out << file;
  }
  out.flush();
  if (!out) {
    err << "pindot: cannot write to standard output\n";
    return 1;
  }
  return 0;
}

}  // namespace

int RunPindot(int argc, char** argv, std::ostream& out, std::ostream& err, bool errIsTerminal) {
  CLI::App app("Turns a font into dot-matrix font tables written as C source.", "pindot");
  app.set_version_flag("--version", std::string("pindot ") + PINDOT_VERSION);
  CommandOptions options;
  std::string fontName;
  std::string fontFile;
  std::string text;
  std::string textFile;
  unsigned codePage = 0;
  AddOptions(app, options, fontName, fontFile, text, textFile, codePage);
  std::string outputPath;
  app.add_option("-o,--output", outputPath,
                 "export: write the header and the source named after PATH as the window's save "
                 "chooser would (out/song16.txt or out/song16 -> out/song16.h, out/song16.c)")
      ->type_name("PATH");
  // pindot build MANIFEST: the fonts and their options come from the manifest.
  CLI::App* build =
      app.add_subcommand("build", "make every font a TOML manifest lists, all or nothing");
  BuildOptions buildOptions;
  AddBuildOptions(*build, buildOptions);
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp&) {
    out << app.help();  // the subcommand's, when it was asked for after "build"
    return 0;
  } catch (const CLI::CallForVersion&) {
    out << "pindot " << PINDOT_VERSION << '\n';
    return 0;
  } catch (const CLI::ParseError& error) {
    err << "pindot: " << error.what()
        << (build->parsed() ? " (see pindot build --help)\n" : " (see pindot --help)\n");
    return 2;
  }
  if (build->parsed()) {
    for (const CLI::Option* option : app.get_options()) {
      if (option->count() > 0) {
        err << "pindot: " << option->get_name() << " cannot be given with build: each font's "
            << "options go in the manifest (see pindot build --help)\n";
        return 2;
      }
    }
    return RunBuild(buildOptions, err, errIsTerminal);
  }
  if (app.count("--font") > 0) options.fontName = fontName;
  if (app.count("--font-file") > 0) options.fontFile = fontFile;
  if (app.count("--text") > 0) options.text = text;
  if (app.count("--text-file") > 0) options.textFile = textFile;
  if (app.count("--codepage") > 0) options.codePage = codePage;
  if (app.count("--output") > 0) options.output = outputPath;
  if (std::optional<std::string> problem = FormatOptionsProblem(options)) {
    err << "pindot: " << *problem << " (see pindot --help)\n";
    return 2;
  }

  return RunReportingFailures(err, [&] { return Execute(options, out, err, errIsTerminal); });
}

}  // namespace pindot
