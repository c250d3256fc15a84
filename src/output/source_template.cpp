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

// Which source lines are written: every line of a table's block is written for each table, and
// most of them only when the table is present or empty.
enum class LineUse {
  kAlways,
  kPresent,
  kEmpty,
  // Without const items each present table's items are filled by a loop at installation; with
  // them they are read-only data initialised where they are declared, and there is no loop.
  kRamItems,
  kConstItems,
  kAnyRamItems,  // the loop counter, needed only when some loop is written
};

// A line of the source. A line of table block 1, 2, ... is written for the thin table and then,
// every "thin" in it made "wide", for the wide one; block 0 lines are written once.
struct SourceLine {
  LineUse use;
  const char16_t* text;
  int tableBlock = 0;
  bool wideEndsInBlank = false;  // the wide table's item declarations end in a blank
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
    {LineUse::kAlways, u"#undef thin_char_nr", 1},
    {LineUse::kPresent, u"#define thin_char_nr sizeof($thin_table$)/sizeof($thin_table$[0]) ", 1},
    {LineUse::kEmpty, u"#define thin_char_nr 0", 1},
    {LineUse::kAlways, u""},
    {LineUse::kRamItems, u"static EXFONT_DATA_ITEM $thin_items$[thin_char_nr];", 2, true},
    {LineUse::kConstItems, u"static const EXFONT_DATA_ITEM $thin_items$[thin_char_nr] = {", 2},
    {LineUse::kConstItems, u"$thin_item_list$", 2},
    {LineUse::kConstItems, u"};", 2},
    {LineUse::kEmpty, u"static EXFONT_DATA_ITEM* const $thin_items$ = 0;", 2, true},
    {LineUse::kAlways, u"static EXFONT_DATA $thin_data$; ", 3},
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
    {LineUse::kRamItems, u"\tfor(i = 0; i < thin_char_nr; i++)", 4},
    {LineUse::kRamItems, u"\t{", 4},
    {LineUse::kRamItems, u"\t\t$thin_items$[i].value = $thin_table$[i].value;", 4},
    {LineUse::kRamItems, u"\t\t$thin_items$[i].data = (unsigned char*)$thin_table$[i].data;", 4},
    {LineUse::kRamItems, u"\t}", 4},
    {LineUse::kRamItems, u"", 4},
    {LineUse::kAlways,
     u"\tEXFONT_data_init(&$thin_data$, $thin_width$, $height$, thin_char_nr, "
     u"$items_cast$$thin_items$);",
     5},
    {LineUse::kAlways, u""},
    {LineUse::kAlways, u"\tEXFONT_init(&$object$, \"$object$\", "},
    {LineUse::kAlways, u"\t\tRGB(255, 0, 0), "},
    {LineUse::kAlways, u"\t\tRGB(0, 255, 0), "},
    {LineUse::kAlways, u"\t\tBKMODE_TRANSPARENT,"},
    {LineUse::kAlways, u"\t\tmy_draw_pixel);"},
    {LineUse::kAlways, u""},
    {LineUse::kAlways, u"\tEXFONT_set_thin_font_data(&$object$, &$thin_data$);", 6},
    {LineUse::kAlways, u""},
    {LineUse::kAlways, u"\treturn;"},
    {LineUse::kAlways, u"}"},
};

bool LineWanted(LineUse use, bool tableEmpty, bool constItems, bool anyRamItems) {
  switch (use) {
    case LineUse::kAlways:
      return true;
    case LineUse::kPresent:
      return !tableEmpty;
    case LineUse::kEmpty:
      return tableEmpty;
    case LineUse::kRamItems:
      return !tableEmpty && !constItems;
    case LineUse::kConstItems:
      return !tableEmpty && constItems;
    case LineUse::kAnyRamItems:
      return anyRamItems;
  }
  return true;
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
  const bool anyRamItems = (!thinTableEmpty || !wideTableEmpty) && !constItems;
  std::u16string text;
  const auto end = std::end(kSourceLines);
  for (auto block = std::begin(kSourceLines); block != end;) {
    if (block->tableBlock == 0) {
      if (LineWanted(block->use, false, constItems, anyRamItems))
        text.append(block->text) += u"\r\n";
      ++block;
      continue;
    }
    const auto blockEnd = std::find_if(
        block, end, [&](const SourceLine& line) { return line.tableBlock != block->tableBlock; });
    for (const bool wide : {false, true}) {
      for (auto line = block; line != blockEnd; ++line) {
        if (!LineWanted(line->use, wide ? wideTableEmpty : thinTableEmpty, constItems,
                        anyRamItems)) {
          continue;
        }
        std::u16string lineText = line->text;
        if (wide) {
          ReplacePlaceholder(lineText, u"thin", u"wide");
          if (line->wideEndsInBlank) lineText += u' ';
        }
        text.append(lineText) += u"\r\n";
      }
    }
    block = blockEnd;
  }
  return text;
}

// The title as it can stand in an identifier: a-z upper-cased, anything outside A-Z, 0-9 and "_"
// made "_".
std::u16string IdentifierOf(std::u16string_view title) {
  std::u16string identifier(title);
  for (char16_t& unit : identifier) {
    if (unit >= u'a' && unit <= u'z') unit = static_cast<char16_t>(unit - u'a' + u'A');
    const bool kept =
        (unit >= u'A' && unit <= u'Z') || (unit >= u'0' && unit <= u'9') || unit == u'_';
    if (!kept) unit = u'_';
  }
  return identifier;
}

}  // namespace

std::string IncludeGuardOf(std::u16string_view fileTitle) {
  std::u16string guard = u"$guard$";
  SourceTemplate().FillValues(guard, IdentifierOf(fileTitle));
  return std::string(guard.begin(), guard.end());  // ASCII alone
}

SourceTemplate SourceTemplate::NamedAfter(const GeneratorSettings& settings,
                                          std::u16string_view name) {
  SourceTemplate names;
  names.height_ = static_cast<int32_t>(settings.height);
  names.thinWidth_ = static_cast<int32_t>(CellOf(TableKind::kThin, settings).width);
  names.wideWidth_ = static_cast<int32_t>(CellOf(TableKind::kWide, settings).width);
  names.isAnsi_ = !settings.sortByUnicode;
  names.name_ = name;
  return names;
}

SourceTemplate SourceTemplate::For(const Generator& generator, std::u16string_view fileTitle,
                                   bool constItems, std::u16string_view name) {
  SourceTemplate filled = NamedAfter(generator.Settings(), name);
  filled.fileTitle_ = fileTitle;
  filled.thinTableEmpty_ = generator.ThinList().IsEmpty();
  filled.wideTableEmpty_ = generator.WideList().IsEmpty();
  filled.constItems_ = constItems;
  return filled;
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
                                     std::vector<StreamedPart>& streamedParts) const {
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

  // The header's title names its include guard, so it goes in as an identifier.
  headerText = HeaderTemplateText();
  FillValues(headerText, IdentifierOf(fileTitle_));
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
  std::u16string text = kind == TableKind::kThin ? u"$thin_table$" : u"$wide_table$";
  SourceTemplate::NamedAfter(settings, name).FillValues(text, u"");
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
