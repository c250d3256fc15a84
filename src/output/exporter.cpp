#include "output/exporter.h"

#include "base/user_error.h"
#include "output/font_data_text.h"
#include "output/source_template.h"
#include "text/utf.h"

namespace pindot {
namespace {

void WriteOne(const std::string& path, std::string_view bytes, const FileSystemCalls& calls,
              ExportReport& report) {
  if (std::optional<std::string> reason = WriteFileReplacing(path, bytes, calls)) {
    report.failures.push_back({path, *reason});
  }
}

}  // namespace

void EncodeSourceText(std::u16string_view text, const CodePage& codePage, std::string& out) {
  constexpr std::u16string_view kLiteralStart = u"EX_FONT_CHAR(\"";
  out.reserve(out.size() + text.size());
  size_t done = 0;
  for (size_t start = text.find(kLiteralStart); start != std::u16string_view::npos;
       start = text.find(kLiteralStart, done)) {
    size_t position = start + kLiteralStart.size();
    codePage.Encode(text.substr(done, position - done), out);
    // The literal ends at the first quote that no backslash escapes.
    for (; position < text.size() && text[position] != u'"'; ++position) {
      // An escape the data text already wrote (\" \\ \r \001) is ASCII: it goes in as it is.
      if (text[position] == u'\\' && position + 1 < text.size()) {
        out.push_back('\\');
        out.push_back(static_cast<char>(text[++position]));
        continue;
      }
      // Any byte of the character that a compiler would read as a backslash or a quote, single,
      // lead or trail (CP932 writes U+00A5 as 0x5C; CP936 U+4E57 as 81 5C), goes in as an octal
      // escape, as do the other bytes of that character.
      const std::string_view bytes = codePage.EncodeUnit(text[position]);
      if (bytes.find_first_of("\\\"") != std::string_view::npos) {
        for (unsigned char byte : bytes) {
          const char octal[4] = {'\\', static_cast<char>('0' + (byte >> 6)),
                                 static_cast<char>('0' + ((byte >> 3) & 7)),
                                 static_cast<char>('0' + (byte & 7))};
          out.append(octal, 4);
        }
      } else {
        out.append(bytes);
      }
    }
    done = position;
  }
  codePage.Encode(text.substr(done), out);
}

void EncodeExportedSource(std::u16string_view sourceText, std::string_view headerName,
                          const CodePage& codePage, std::string& out) {
  const size_t firstLineEnd = sourceText.find(u"\r\n");
  out.append("#include \"").append(headerName).append("\"");
  EncodeSourceText(sourceText.substr(firstLineEnd), codePage, out);
}

ExportPaths DeriveExportPaths(const std::string& fullPath) {
  const size_t slash = fullPath.rfind('/');
  const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  const std::string name = fullPath.substr(nameStart);
  if (name.empty() || name == "." || name == "..") {
    throw UserError("export path \"" + fullPath + "\" names no file");
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

ExportTexts BuildExportTexts(const Generator& generator, std::u16string_view fontDataText,
                             std::u16string_view fileTitle) {
  const GeneratorSettings& settings = generator.Settings();
  SourceTemplate sourceTemplate;
  sourceTemplate.SetHeight(static_cast<int32_t>(settings.height));
  // The thin table is declared (W + 1) >> 1 wide, whatever the advance of "a" is.
  sourceTemplate.SetThinWidth(static_cast<int32_t>(CellOf(TableKind::kThin, settings).width));
  sourceTemplate.SetWideWidth(static_cast<int32_t>(settings.width));
  sourceTemplate.SetIsAnsi(settings.sortByUnicode ? 0 : 1);
  sourceTemplate.SetFileTitle(fileTitle);
  sourceTemplate.SetData(fontDataText);
  sourceTemplate.SetThinTableEmpty(generator.ThinList().IsEmpty());
  sourceTemplate.SetWideTableEmpty(generator.WideList().IsEmpty());
  ExportTexts texts;
  sourceTemplate.Build(texts.headerText, texts.sourceText);
  return texts;
}

ExportReport ExportGeneratedFiles(const Generator& generator, std::u16string_view fontDataText,
                                  const std::string& fullPath, const FileSystemCalls& calls) {
  ExportReport report;
  report.paths = DeriveExportPaths(fullPath);
  const ExportTexts texts = BuildExportTexts(generator, fontDataText, report.paths.fileTitle);
  std::string headerBytes;
  std::string sourceBytes;
  EncodeSourceText(texts.headerText, generator.GetCodePage(), headerBytes);
  EncodeExportedSource(texts.sourceText, report.paths.headerName, generator.GetCodePage(),
                       sourceBytes);
  // Another run writing the same pair waits, so the header and the source on the disk always come
  // from one run. Header first, then source; a failure of one does not stop the other.
  const FolderLock lock({report.paths.headerPath, report.paths.sourcePath});
  WriteOne(report.paths.headerPath, headerBytes, calls, report);
  WriteOne(report.paths.sourcePath, sourceBytes, calls, report);
  return report;
}

ExportReport ExportFontFiles(Generator& generator, std::u16string_view sampleText,
                             GlyphCanvas& canvas, ProgressIndicator& progress,
                             const std::string& fullPath, const FileSystemCalls& calls) {
  generator.Generate(sampleText, canvas, progress);
  return ExportGeneratedFiles(generator, BuildFontDataText(generator, progress), fullPath, calls);
}

ExportReport ExportFontFiles(Generator& generator, std::u16string_view sampleText,
                             GlyphCanvas& canvas, ProgressIndicator& progress,
                             const std::string& fullPath) {
  return ExportFontFiles(generator, sampleText, canvas, progress, fullPath,
                         FileSystemCalls::System());
}

}  // namespace pindot
