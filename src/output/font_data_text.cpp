#include "output/font_data_text.h"

#include <string>
#include <vector>

#include "text/number_text.h"

namespace pindot {

namespace {

// Defines the three macros unless the including file has its own, so that each entry reads as
// {code, {bytes}} in C and the character itself drops out.
constexpr std::u16string_view kPreamble =
    u"#ifndef EX_FONT_CHAR\r\n"
    u"# define EX_FONT_CHAR(value)\r\n"
    u"# define EX_FONT_UNICODE_VAL(value) (value),\r\n"
    u"# define EX_FONT_ANSI_VAL(value) (value),\r\n"
    u"#endif\r\n"
    u"\r\n";

// Appends the entry block of a table, one progress step per entry; nothing for an empty list. Each
// entry's bytes are its glyph fitted to the table's cell.
void AppendEntryTexts(const Generator& generator, const GlyphList& list, const TableCell& cell,
                      std::u16string& text, ProgressIndicator& progress) {
  const bool sortByUnicode = generator.Settings().sortByUnicode;
  std::vector<uint8_t> bytes;
  bool first = true;
  for (const GlyphEntry& entry : list) {
    text.append(first ? u"\r\n{\r\n" : u",\r\n");
    first = false;
    text.append(u"\t{\r\n\t\tEX_FONT_CHAR(\"");
    AppendCharacterLiteral(text, entry.character);
    text.append(u"\")\r\n\t\t");
    text.append(sortByUnicode ? u"EX_FONT_UNICODE_VAL(0x" : u"EX_FONT_ANSI_VAL(0x");
    AppendHex(text, static_cast<uint32_t>(sortByUnicode ? entry.unicodeValue : entry.ansiValue), 4);
    text.append(u")\r\n\t\t{");
    generator.CellBytes(entry, cell, bytes);
    AppendDataText(bytes.data(), bytes.size(), text);
    text.append(u"}\r\n\t}");
    progress.Step();
  }
}

}  // namespace

void AppendCharacterLiteral(std::u16string& text, char16_t unit) {
  {
    switch (unit) {
      case u'"':
        text.append(u"\\\"");
        break;
      case u'\\':
        text.append(u"\\\\");
        break;
      case u'\r':
        text.append(u"\\r");
        break;
      case u'\n':
        text.append(u"\\n");
        break;
      case u'\t':
        text.append(u"\\t");
        break;
      default:
        if (unit < 0x20 || unit == 0x7F) {
          text.push_back(u'\\');
          text.push_back(static_cast<char16_t>(u'0' + ((unit >> 6) & 7)));
          text.push_back(static_cast<char16_t>(u'0' + ((unit >> 3) & 7)));
          text.push_back(static_cast<char16_t>(u'0' + (unit & 7)));
        } else {
          text.push_back(unit);
        }
    }
  }
}

void FormatTableHeader(std::u16string& text, TableKind kind, const GeneratorSettings& settings,
                       uint32_t count, const DataTextOptions& options) {
  // "struct _%s%sfont%dx%d {unsigned short value; unsigned char data[%d][%d];} %s%sfont%dx%d[%d] =
  // "
  const std::u16string_view kindName = kind == TableKind::kThin ? u"thin" : u"wide";
  const std::u16string_view coding = settings.sortByUnicode ? u"_unicode_" : u"_ansi_";
  const TableCell cell = CellOf(kind, settings);
  const uint32_t w = cell.width;
  const uint32_t h = cell.height;
  std::u16string name;
  name.append(kindName).append(coding).append(u"font");
  AppendDecimal(name, w);
  name.push_back(u'x');
  AppendDecimal(name, h);

  text.assign(options.constTables ? u"const struct _" : u"struct _")
      .append(name)
      .append(u" {unsigned short value; unsigned char data[");
  AppendDecimal(text, (w + 7) >> 3);
  text.append(u"][");
  AppendDecimal(text, h);
  text.append(u"];} ").append(name).push_back(u'[');
  AppendDecimal(text, count);
  text.append(u"] = ");
}

std::u16string BuildFontDataText(const Generator& generator, ProgressIndicator& progress,
                                 const DataTextOptions& options) {
  const GlyphList& thinList = generator.ThinList();
  const GlyphList& wideList = generator.WideList();
  const GeneratorSettings& settings = generator.Settings();
  std::u16string text;
  if (thinList.IsEmpty() && wideList.IsEmpty()) return text;

  // Each byte is "0x.., " and each entry some 60 units more.
  size_t estimate = kPreamble.size() + 512;
  for (const auto& [list, kind] :
       {std::pair{&thinList, TableKind::kThin}, std::pair{&wideList, TableKind::kWide}}) {
    estimate += list->GetCount() * (CellOf(kind, settings).Bytes() * 6 + 64);
  }
  text.reserve(estimate);

  progress.SetRange(thinList.GetCount() + wideList.GetCount());
  progress.SetPosition(0);
  text.assign(kPreamble);

  std::u16string header;
  const struct {
    const GlyphList& list;
    TableKind kind;
    std::u16string_view closer;
  } tables[] = {{thinList, TableKind::kThin, u"\r\n};\r\n\r\n"},
                {wideList, TableKind::kWide, u"\r\n};\r\n"}};
  for (const auto& table : tables) {
    if (table.list.IsEmpty()) continue;
    // The header only needs the count, so it can go first and the block straight after it.
    FormatTableHeader(header, table.kind, settings, table.list.GetCount(), options);
    text.append(header);
    AppendEntryTexts(generator, table.list, CellOf(table.kind, settings), text, progress);
    text.append(table.closer);
  }
  return text;
}

}  // namespace pindot
