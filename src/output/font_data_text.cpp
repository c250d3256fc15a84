#include "output/font_data_text.h"

#include <array>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "glyph/fitted_entries.h"
#include "output/source_template.h"
#include "text/number_text.h"

namespace pindot {

namespace {

// Defines the three macros unless the including file has its own, so that each entry reads as
// {code, {bytes}} in C and the character itself drops out.
constexpr std::string_view kPreamble =
    "#ifndef EX_FONT_CHAR\r\n"
    "# define EX_FONT_CHAR(value)\r\n"
    "# define EX_FONT_UNICODE_VAL(value) (value),\r\n"
    "# define EX_FONT_ANSI_VAL(value) (value),\r\n"
    "#endif\r\n"
    "\r\n";

// "0x00, " .. "0xff, ": every byte's item with the separator that follows it, looked up rather
// than formatted, since a large table is millions of them.
const std::array<std::array<char, 6>, 256>& ByteItems() {
  static const auto items = [] {
    std::array<std::array<char, 6>, 256> table{};
    for (size_t byte = 0; byte < 256; ++byte) {
      table[byte] = {'0', 'x', kHexDigits[byte >> 4], kHexDigits[byte & 0xF], ',', ' '};
    }
    return table;
  }();
  return items;
}

// "0x%04x" of a code, which is always 0..0xFFFF.
void AppendCode(std::string& text, uint32_t code) {
  const char digits[6] = {'0',
                          'x',
                          kHexDigits[(code >> 12) & 0xF],
                          kHexDigits[(code >> 8) & 0xF],
                          kHexDigits[(code >> 4) & 0xF],
                          kHexDigits[code & 0xF]};
  text.append(digits, 6);
}

// Writes the entry block of a table, one progress step per entry; nothing for an empty list. Each
// entry's bytes are its glyph fitted to the table's cell.
void WriteEntries(const FittedEntries& table, bool sortByUnicode, TextSink& sink,
                  ProgressIndicator& progress) {
  const auto& items = ByteItems();
  std::vector<uint8_t> bytes;
  std::string text;  // the ASCII of one entry after its character
  bool first = true;
  for (const FittedEntry fitted : table) {
    const GlyphEntry& entry = fitted.Entry();
    sink.AppendAscii(first ? "\r\n{\r\n\t{\r\n\t\tEX_FONT_CHAR(\""
                           : ",\r\n\t{\r\n\t\tEX_FONT_CHAR(\"");
    first = false;
    WriteCharacterLiteral(sink, entry.character);
    text.assign(sortByUnicode ? "\")\r\n\t\tEX_FONT_UNICODE_VAL(" : "\")\r\n\t\tEX_FONT_ANSI_VAL(");
    AppendCode(text, static_cast<uint32_t>(sortByUnicode ? entry.unicodeValue : entry.ansiValue));
    text.append(")\r\n\t\t{");
    fitted.FitInto(bytes);
    // The items are copied into room made for all of them at once: a large table is millions.
    const size_t start = text.size();
    text.resize(start + 6 * bytes.size());
    char* out = text.data() + start;
    for (uint8_t byte : bytes) {
      std::memcpy(out, items[byte].data(), 6);
      out += 6;
    }
    if (!bytes.empty()) text.resize(text.size() - 2);  // no ", " after the last item
    text.append("}\r\n\t}");
    sink.AppendAscii(text);
    progress.Step();
  }
}

// Replaces `text` with the table's header line ("struct _thin_unicode_font8x16 {...} ... = ").
void FormatTableHeader(std::u16string& text, TableKind kind, const GeneratorSettings& settings,
                       uint32_t count, const DataTextOptions& options) {
  // "struct _%s%sfont%dx%d {unsigned short value; unsigned char data[%d][%d];} %s%sfont%dx%d[%d] =
  // "
  const TableCell cell = CellOf(kind, settings);
  const std::u16string name = TableNameOf(kind, settings, options.name);

  text.assign(options.constTables ? u"const struct _" : u"struct _")
      .append(name)
      .append(u" {unsigned short value; unsigned char data[");
  AppendDecimal(text, cell.RowBytes());
  text.append(u"][");
  AppendDecimal(text, cell.height);
  text.append(u"];} ").append(name).push_back(u'[');
  AppendDecimal(text, count);
  text.append(u"] = ");
}

}  // namespace

void WriteCharacterLiteral(TextSink& sink, char16_t unit) {
  switch (unit) {
    case u'"':
      return sink.AppendAscii("\\\"");
    case u'\\':
      return sink.AppendAscii("\\\\");
    case u'\r':
      return sink.AppendAscii("\\r");
    case u'\n':
      return sink.AppendAscii("\\n");
    case u'\t':
      return sink.AppendAscii("\\t");
    default:
      if (unit < 0x20 || unit == 0x7F) {
        std::string escape;
        AppendOctalEscape(escape, static_cast<uint8_t>(unit));
        return sink.AppendAscii(escape);
      }
      sink.AppendLiteralUnit(unit);
  }
}

void WriteFontDataText(const Generator& generator, TextSink& sink, ProgressIndicator& progress,
                       const DataTextOptions& options) {
  const GlyphList& thinList = generator.ThinList();
  const GlyphList& wideList = generator.WideList();
  const GeneratorSettings& settings = generator.Settings();
  if (thinList.IsEmpty() && wideList.IsEmpty()) return;

  progress.SetRange(thinList.GetCount() + wideList.GetCount());
  progress.SetPosition(0);
  sink.AppendAscii(kPreamble);

  std::u16string header;
  for (const auto& [kind, closer] :
       {std::pair{TableKind::kThin, "\r\n};\r\n\r\n"}, std::pair{TableKind::kWide, "\r\n};\r\n"}}) {
    const FittedEntries table(generator, kind);
    if (table.Count() == 0) continue;
    // The header only needs the count, so it can go first and the block straight after it.
    FormatTableHeader(header, kind, settings, table.Count(), options);
    sink.AppendText(header);
    WriteEntries(table, settings.sortByUnicode, sink, progress);
    sink.AppendAscii(closer);
  }
}

void WriteConstItems(const Generator& generator, TableKind kind, TextSink& sink,
                     const DataTextOptions& options) {
  const GeneratorSettings& settings = generator.Settings();
  const GlyphList& list = kind == TableKind::kThin ? generator.ThinList() : generator.WideList();
  std::string prefix = "\t{.value = ";
  std::string suffix = ", .data = (unsigned char*)";
  const std::u16string name = TableNameOf(kind, settings, options.name);
  suffix.append(name.begin(), name.end()).push_back('[');
  std::string text;
  uint32_t index = 0;
  for (const GlyphEntry& entry : list) {
    text.assign(index == 0 ? "" : ",\r\n").append(prefix);
    AppendCode(
        text, static_cast<uint32_t>(settings.sortByUnicode ? entry.unicodeValue : entry.ansiValue));
    text.append(suffix).append(std::to_string(index)).append("].data}");
    sink.AppendAscii(text);
    ++index;
  }
}

size_t FontDataTextLength(const Generator& generator) {
  // Each byte is "0x.., " and each entry up to 70 units more (66 and its escaped character).
  size_t estimate = kPreamble.size() + 512;
  for (const auto kind : {TableKind::kThin, TableKind::kWide}) {
    const GlyphList& list = kind == TableKind::kThin ? generator.ThinList() : generator.WideList();
    estimate += list.GetCount() * (CellOf(kind, generator.Settings()).Bytes() * 6 + 70);
  }
  return estimate;
}

std::u16string BuildFontDataText(const Generator& generator, ProgressIndicator& progress,
                                 const DataTextOptions& options) {
  std::u16string text;
  text.reserve(FontDataTextLength(generator));
  Utf16Sink sink(text);
  WriteFontDataText(generator, sink, progress, options);
  return text;
}

}  // namespace pindot
