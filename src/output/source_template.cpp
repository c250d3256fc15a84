#include "output/source_template.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "text/number_text.h"

namespace pindot {
namespace {

// The names an export defines, as patterns of the values; each stands in the templates as a
// placeholder of its own ("$object$"). A font given a name has every name made from it alone.
struct NamePattern {
  std::u16string_view placeholder;
  std::u16string_view unnamed;
  std::u16string_view named;
};
constexpr NamePattern kNamePatterns[] = {
    {u"$guard$", u"KV_$filename$_H", u"KV_$filename$_H"},
    {u"$object$", u"g_$is_ansi$_font$height$", u"g_$name$"},
    {u"$install$", u"install_$is_ansi$_$wide_width$x$height$_font", u"install_$name$"},
    {u"$thin_table$", u"thin_$is_ansi$_font$thin_width$x$height$", u"thin_$name$"},
    {u"$wide_table$", u"wide_$is_ansi$_font$wide_width$x$height$", u"wide_$name$"},
    {u"$thin_items$", u"thin_font$height$_items", u"thin_$name$_items"},
    {u"$wide_items$", u"wide_font$height$_items", u"wide_$name$_items"},
    {u"$thin_data$", u"thin_font$height$", u"thin_$name$_data"},
    {u"$wide_data$", u"wide_font$height$", u"wide_$name$_data"},
};

// Blanks at line ends belong to the templates and stay; every line gets CR LF.
constexpr const char16_t* kHeaderLines[] = {
    u"#ifndef $guard$",
    u"#define $guard$",
    u"",
    u"#include \"ExFont.h\"",
    u"",
    u"#ifdef __cplusplus",
    u"extern \"C\" {",
    u"#endif",
    u"",
    u"extern EXFONT $object$;",
    u"void $install$(draw_pixel_func my_draw_pixel);",
    u"",
    u"#ifdef __cplusplus",
    u"};",
    u"#endif",
    u"",
    u"#endif//$guard$",
};

// Which source lines depend on a table being present.
enum class LineUse {
  kAlways,
  kThinPresent,
  kThinEmpty,
  kWidePresent,
  kWideEmpty,
  // Without const items each present table's items are filled by a loop at installation; with
  // them they are read-only data initialised where they are declared, and there is no loop.
  kThinRamItems,
  kWideRamItems,
  kAnyRamItems,  // the loop counter, needed only when some loop is written
  kThinConstItems,
  kWideConstItems,
};

struct SourceLine {
  LineUse use;
  const char16_t* text;
};

// The RGB fallback shifts by 16 and 8 and is wholly parenthesised, and the wide table is set up
// with its own width: RGB(255, 0, 0) must be 0xff0000 whatever the font's height.
constexpr SourceLine kSourceLines[] = {
    {LineUse::kAlways, u"#include \"$filename$.h\""},
    {LineUse::kAlways, u""},
    // Each entry's bytes fill its two-dimensional data array as one flat list: valid C, which
    // GCC's and Clang's -Wmissing-braces (part of -Wall) would name once per entry, GCC repeating
    // the whole initializer each time. The pragmas are guarded, so other compilers skip them.
    {LineUse::kAlways, u"/* Each glyph's bytes are one flat list, row by row. */"},
    {LineUse::kAlways, u"#if defined(__GNUC__)"},
    {LineUse::kAlways, u"#pragma GCC diagnostic push"},
    {LineUse::kAlways, u"#pragma GCC diagnostic ignored \"-Wmissing-braces\""},
    {LineUse::kAlways, u"#endif"},
    {LineUse::kAlways, u"$data$"},
    {LineUse::kAlways, u"#if defined(__GNUC__)"},
    {LineUse::kAlways, u"#pragma GCC diagnostic pop"},
    {LineUse::kAlways, u"#endif"},
    {LineUse::kAlways, u"#undef thin_char_nr"},
    {LineUse::kThinPresent,
     u"#define thin_char_nr sizeof($thin_table$)/"
     u"sizeof($thin_table$[0]) "},
    {LineUse::kThinEmpty, u"#define thin_char_nr 0"},
    {LineUse::kAlways, u"#undef wide_char_nr"},
    {LineUse::kWidePresent,
     u"#define wide_char_nr sizeof($wide_table$)/"
     u"sizeof($wide_table$[0]) "},
    {LineUse::kWideEmpty, u"#define wide_char_nr 0"},
    {LineUse::kAlways, u""},
    {LineUse::kThinRamItems, u"static EXFONT_DATA_ITEM $thin_items$[thin_char_nr];"},
    {LineUse::kThinConstItems, u"static const EXFONT_DATA_ITEM $thin_items$[thin_char_nr] = {"},
    {LineUse::kThinConstItems, u"$thin_item_list$"},
    {LineUse::kThinConstItems, u"};"},
    {LineUse::kThinEmpty, u"static EXFONT_DATA_ITEM* const $thin_items$ = 0;"},
    {LineUse::kWideRamItems, u"static EXFONT_DATA_ITEM $wide_items$[wide_char_nr]; "},
    {LineUse::kWideConstItems, u"static const EXFONT_DATA_ITEM $wide_items$[wide_char_nr] = {"},
    {LineUse::kWideConstItems, u"$wide_item_list$"},
    {LineUse::kWideConstItems, u"};"},
    {LineUse::kWideEmpty, u"static EXFONT_DATA_ITEM* const $wide_items$ = 0; "},
    {LineUse::kAlways, u"static EXFONT_DATA $thin_data$; "},
    {LineUse::kAlways, u"static EXFONT_DATA $wide_data$; "},
    {LineUse::kAlways, u"EXFONT $object$; "},
    {LineUse::kAlways, u""},
    {LineUse::kAlways, u"#ifndef RGB"},
    {LineUse::kAlways, u"#define RGB(r, g, b) (((r) << 16) | ((g) << 8) | (b))"},
    {LineUse::kAlways, u"#endif"},
    {LineUse::kAlways, u""},
    {LineUse::kAlways, u"void $install$(draw_pixel_func my_draw_pixel)"},
    {LineUse::kAlways, u"{"},
    {LineUse::kAnyRamItems, u"\tsize_t i = 0;"},
    {LineUse::kAnyRamItems, u""},
    {LineUse::kThinRamItems, u"\tfor(i = 0; i < thin_char_nr; i++)"},
    {LineUse::kThinRamItems, u"\t{"},
    {LineUse::kThinRamItems, u"\t\t$thin_items$[i].value = $thin_table$[i].value;"},
    {LineUse::kThinRamItems,
     u"\t\t$thin_items$[i].data = "
     u"(unsigned char*)$thin_table$[i].data;"},
    {LineUse::kThinRamItems, u"\t}"},
    {LineUse::kThinRamItems, u""},
    {LineUse::kWideRamItems, u"\tfor(i = 0; i < wide_char_nr; i++)"},
    {LineUse::kWideRamItems, u"\t{"},
    {LineUse::kWideRamItems, u"\t\t$wide_items$[i].value = $wide_table$[i].value;"},
    {LineUse::kWideRamItems,
     u"\t\t$wide_items$[i].data = "
     u"(unsigned char*)$wide_table$[i].data;"},
    {LineUse::kWideRamItems, u"\t}"},
    {LineUse::kWideRamItems, u""},
    {LineUse::kAlways,
     u"\tEXFONT_data_init(&$thin_data$, $thin_width$, $height$, thin_char_nr, "
     u"$items_cast$$thin_items$);"},
    {LineUse::kAlways,
     u"\tEXFONT_data_init(&$wide_data$, $wide_width$, $height$, wide_char_nr, "
     u"$items_cast$$wide_items$);"},
    {LineUse::kAlways, u""},
    {LineUse::kAlways, u"\tEXFONT_init(&$object$, \"$object$\", "},
    {LineUse::kAlways, u"\t\tRGB(255, 0, 0), "},
    {LineUse::kAlways, u"\t\tRGB(0, 255, 0), "},
    {LineUse::kAlways, u"\t\tBKMODE_TRANSPARENT,"},
    {LineUse::kAlways, u"\t\tmy_draw_pixel);"},
    {LineUse::kAlways, u""},
    {LineUse::kAlways, u"\tEXFONT_set_thin_font_data(&$object$, &$thin_data$);"},
    {LineUse::kAlways, u"\tEXFONT_set_wide_font_data(&$object$, &$wide_data$);"},
    {LineUse::kAlways, u""},
    {LineUse::kAlways, u"\treturn;"},
    {LineUse::kAlways, u"}"},
};

bool LineWanted(LineUse use, bool thinTableEmpty, bool wideTableEmpty, bool constItems) {
  switch (use) {
    case LineUse::kAlways:
      return true;
    case LineUse::kThinPresent:
      return !thinTableEmpty;
    case LineUse::kThinEmpty:
      return thinTableEmpty;
    case LineUse::kWidePresent:
      return !wideTableEmpty;
    case LineUse::kWideEmpty:
      return wideTableEmpty;
    case LineUse::kThinRamItems:
      return !thinTableEmpty && !constItems;
    case LineUse::kWideRamItems:
      return !wideTableEmpty && !constItems;
    case LineUse::kAnyRamItems:
      return (!thinTableEmpty || !wideTableEmpty) && !constItems;
    case LineUse::kThinConstItems:
      return !thinTableEmpty && constItems;
    case LineUse::kWideConstItems:
      return !wideTableEmpty && constItems;
  }
  return true;
}

// The templates before any replacement; every line ends with CR LF.
std::u16string HeaderTemplateText() {
  std::u16string text;
  for (const char16_t* line : kHeaderLines) {
    text += line;
    text += u"\r\n";
  }
  return text;
}

// With both tables present this is the template as exported for every usual sample; an empty
// table's count is defined as 0, its items pointer is null and its copy loop is left out (a loop
// `i < 0` over a size_t would be a warning, and so would an unused counter).
std::u16string SourceTemplateText(bool thinTableEmpty, bool wideTableEmpty, bool constItems) {
  std::u16string text;
  for (const SourceLine& line : kSourceLines) {
    if (!LineWanted(line.use, thinTableEmpty, wideTableEmpty, constItems)) continue;
    text += line.text;
    text += u"\r\n";
  }
  return text;
}

// Replaces every non-overlapping occurrence of `placeholder`, found left to right, in one pass:
// the inserted text is not searched again. Case-sensitive.
void ReplacePlaceholder(std::u16string& text, std::u16string_view placeholder,
                        std::u16string_view value) {
  if (placeholder.empty()) return;
  // Counted first so the result is allocated once at its final size: "$data$" brings in the whole
  // font data text, tens of megabytes for a full character set, and growing by doubling would
  // copy it and briefly hold twice its size.
  size_t count = 0;
  for (size_t at = text.find(placeholder.data(), 0, placeholder.size()); at != std::u16string::npos;
       at = text.find(placeholder.data(), at + placeholder.size(), placeholder.size())) {
    ++count;
  }
  if (count == 0) return;
  std::u16string result;
  result.reserve(text.size() - count * placeholder.size() + count * value.size());
  size_t start = 0;
  for (;;) {
    size_t found = text.find(placeholder.data(), start, placeholder.size());
    if (found == std::u16string::npos) break;
    result.append(text, start, found - start);
    result.append(value);
    start = found + placeholder.size();
  }
  if (start == 0) return;
  result.append(text, start, std::u16string::npos);
  text = std::move(result);
}

}  // namespace

void SourceTemplate::Build(std::u16string& headerText, std::u16string& sourceText) {
  std::vector<std::u16string> pieces;
  std::vector<StreamedPart> parts;
  BuildAroundData(headerText, pieces, parts);
  sourceText = pieces.front();
  for (size_t i = 1; i < pieces.size(); ++i) {
    if (parts[i - 1] == StreamedPart::kData) sourceText.append(data_);
    sourceText.append(pieces[i]);
  }
}

void SourceTemplate::FillValues(std::u16string& text, std::u16string_view title) const {
  for (const NamePattern& pattern : kNamePatterns) {
    ReplacePlaceholder(text, pattern.placeholder, name_.empty() ? pattern.unnamed : pattern.named);
  }
  ReplacePlaceholder(text, u"$name$", name_);
  std::u16string height, thinWidth, wideWidth;
  AppendDecimal(height, height_);
  AppendDecimal(thinWidth, thinWidth_);
  AppendDecimal(wideWidth, wideWidth_);
  // The library takes the items through a pointer to non-const; it only reads them.
  ReplacePlaceholder(text, u"$items_cast$", constItems_ ? u"(EXFONT_DATA_ITEM*)" : u"");
  ReplacePlaceholder(text, u"$height$", height);
  ReplacePlaceholder(text, u"$thin_width$", thinWidth);
  ReplacePlaceholder(text, u"$wide_width$", wideWidth);
  ReplacePlaceholder(text, u"$is_ansi$", isAnsi_ ? u"ansi" : u"unicode");
  ReplacePlaceholder(text, u"$filename$", title);
}

void SourceTemplate::BuildAroundData(std::u16string& headerText,
                                     std::vector<std::u16string>& sourcePieces,
                                     std::vector<StreamedPart>& streamedParts) {
  // The source is cut at its streamed parts before any value goes in, so a value never makes one
  // (a title holding "$data$" is only a title).
  constexpr std::pair<std::u16string_view, StreamedPart> kStreamed[] = {
      {u"$data$", StreamedPart::kData},
      {u"$thin_item_list$", StreamedPart::kThinItems},
      {u"$wide_item_list$", StreamedPart::kWideItems}};
  const std::u16string sourceText =
      SourceTemplateText(thinTableEmpty_, wideTableEmpty_, constItems_);
  sourcePieces.clear();
  streamedParts.clear();
  size_t start = 0;
  for (;;) {
    size_t found = std::u16string::npos;
    StreamedPart part = StreamedPart::kData;
    size_t length = 0;
    for (const auto& [placeholder, each] : kStreamed) {
      const size_t at = sourceText.find(placeholder, start);
      if (at < found) {
        found = at;
        part = each;
        length = placeholder.size();
      }
    }
    sourcePieces.push_back(sourceText.substr(start, found - start));
    if (found == std::u16string::npos) break;
    streamedParts.push_back(part);
    start = found + length;
  }
  for (std::u16string& piece : sourcePieces) FillValues(piece, fileTitle_);

  headerText = HeaderTemplateText();
  // The header's title names its include guard: upper-cased, and every character that cannot stand
  // in an identifier made "_" ("16px-font.v2" -> KV_16PX_FONT_V2_H; the "KV_" in front keeps a
  // leading digit valid).
  std::u16string guardTitle = fileTitle_;
  for (char16_t& unit : guardTitle) {
    if (unit >= u'a' && unit <= u'z') unit = static_cast<char16_t>(unit - u'a' + u'A');
    const bool identifier =
        (unit >= u'A' && unit <= u'Z') || (unit >= u'0' && unit <= u'9') || unit == u'_';
    if (!identifier) unit = u'_';
  }
  FillValues(headerText, guardTitle);
}

std::vector<std::string> SourceTemplate::ExportedNames() const {
  std::vector<std::u16string> patterns = {u"$object$", u"$install$"};
  if (!thinTableEmpty_) patterns.emplace_back(u"$thin_table$");
  if (!wideTableEmpty_) patterns.emplace_back(u"$wide_table$");
  std::vector<std::string> names;
  for (std::u16string& pattern : patterns) {
    FillValues(pattern, fileTitle_);
    names.emplace_back(pattern.begin(), pattern.end());  // ASCII alone
  }
  return names;
}

std::u16string TableNameOf(TableKind kind, const GeneratorSettings& settings,
                           std::u16string_view name) {
  SourceTemplate names;
  names.SetHeight(static_cast<int32_t>(settings.height));
  names.SetThinWidth(static_cast<int32_t>(CellOf(TableKind::kThin, settings).width));
  names.SetWideWidth(static_cast<int32_t>(CellOf(TableKind::kWide, settings).width));
  names.SetIsAnsi(settings.sortByUnicode ? 0 : 1);
  names.SetName(name);
  std::u16string text = kind == TableKind::kThin ? u"$thin_table$" : u"$wide_table$";
  names.FillValues(text, u"");
  return text;
}

bool IsCIdentifier(std::string_view text) {
  const auto letter = [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
  };
  if (text.empty() || !letter(text.front())) return false;
  return std::all_of(text.begin(), text.end(),
                     [&](char c) { return letter(c) || (c >= '0' && c <= '9'); });
}

}  // namespace pindot
