#include "glyph/loss_report.h"

#include <algorithm>
#include <string_view>

#include "glyph/fitted_entries.h"
#include "text/number_text.h"
#include "text/utf.h"

namespace pindot {

namespace {

// A character shown beside its name: anything but a control code or a lone surrogate half.
bool IsPrintable(char16_t unit) {
  return !IsControlCode(unit) && !(unit >= 0xD800 && unit < 0xE000);
}

std::u16string Number(int64_t value) {
  std::u16string text;
  AppendDecimal(text, value);
  return text;
}

// Replaces %1, %2, ... in `pattern` with the arguments.
std::u16string Fill(std::u16string_view pattern, const std::vector<std::u16string>& arguments) {
  std::u16string text;
  for (size_t i = 0; i < pattern.size(); ++i) {
    const size_t argument =
        i + 1 < pattern.size() && pattern[i] == u'%' ? pattern[i + 1] - u'1' : arguments.size();
    if (argument < arguments.size()) {
      text += arguments[argument];
      ++i;
    } else {
      text.push_back(pattern[i]);
    }
  }
  return text;
}

class Describer {
 public:
  Describer(Language language, bool listAll, std::u16string_view moreHint)
      : language_(language), listAll_(listAll), moreHint_(moreHint) {}

  std::u16string Text(StringId id) const { return std::u16string(LoadString(language_, id)); }

  // "3 characters", "1 character": the count in the language's words.
  std::u16string Count(size_t count, StringId one, StringId many) const {
    return Fill(LoadString(language_, count == 1 ? one : many),
                {Number(static_cast<int64_t>(count))});
  }

  // U+0391 "Α", U+0392 "Β" and 5 more
  std::u16string List(const std::vector<char16_t>& units) {
    const size_t listed = listAll_ ? units.size() : std::min(units.size(), kCharactersListed);
    std::u16string text;
    for (size_t i = 0; i < listed; ++i) {
      if (i > 0) text += u", ";
      const std::string name = CodePointName(units[i]);
      text.append(name.begin(), name.end());
      if (IsPrintable(units[i])) text += std::u16string(u" \"") + units[i] + u"\"";
    }
    if (listed < units.size()) {
      shortened_ = true;
      text += u" " + Fill(LoadString(language_, StringId::kMoreCharacters),
                          {Number(static_cast<int64_t>(units.size() - listed))});
      text += moreHint_;
    }
    return text;
  }

  bool Shortened() const { return shortened_; }

 private:
  Language language_;
  bool listAll_;
  std::u16string_view moreHint_;
  bool shortened_ = false;
};

}  // namespace

bool LossReport::LostCharacters() const {
  return !missing.empty() || !leftOut[0].empty() || !leftOut[1].empty() || !cut[0].empty() ||
         !cut[1].empty();
}

bool LossReport::Empty() const {
  return !LostCharacters() && !referenceMissing && !strikeHeight;
}

LossReport FindLosses(const Generator& generator) {
  LossReport report;
  for (TableKind kind : {TableKind::kThin, TableKind::kWide}) {
    const size_t table = kind == TableKind::kThin ? 0 : 1;
    report.cells[table] = CellOf(kind, generator.Settings());
    for (const GlyphEntry& entry : generator.LeftOutEntries(kind)) {
      report.leftOut[table].push_back(entry.character);
    }
    for (const FittedEntry fitted : FittedEntries(generator, kind)) {
      if (fitted.Cut()) report.cut[table].push_back(fitted.Entry().character);
    }
  }
  return report;
}

LossLines DescribeLosses(const LossReport& report, Language language, bool listAll,
                         std::u16string_view moreHint) {
  Describer describe(language, listAll, moreHint);
  LossLines result;
  const StringId tableNames[2] = {StringId::kThinTableName, StringId::kWideTableName};
  if (report.strikeHeight && report.askedHeight) {
    result.lines.push_back(
        Fill(LoadString(language, StringId::kStrikeSizeLoss),
             {report.family, Number(*report.askedHeight), Number(*report.strikeHeight)}));
  }
  if (report.referenceMissing) {
    result.lines.push_back(Fill(
        LoadString(language, StringId::kReferenceGlyphLoss),
        {report.family, Number(report.referenceBox.width), Number(report.referenceBox.height)}));
  }
  if (!report.missing.empty()) {
    result.lines.push_back(
        Fill(LoadString(language, StringId::kMissingGlyphsLoss),
             {report.family,
              describe.Count(report.missing.size(), StringId::kOneCharacter, StringId::kCharacters),
              describe.List(report.missing)}));
  }
  for (size_t table = 0; table < 2; ++table) {
    if (report.leftOut[table].empty()) continue;
    result.lines.push_back(
        Fill(LoadString(language, StringId::kLeftOutLoss),
             {describe.Count(report.leftOut[table].size(), StringId::kOneCharacter,
                             StringId::kCharacters),
              describe.Text(tableNames[table]), describe.List(report.leftOut[table])}));
  }
  for (size_t table = 0; table < 2; ++table) {
    if (report.cut[table].empty()) continue;
    const TableCell& cell = report.cells[table];
    result.lines.push_back(
        Fill(LoadString(language, StringId::kCutGlyphsLoss),
             {describe.Count(report.cut[table].size(), StringId::kOneGlyph, StringId::kGlyphs),
              describe.Text(tableNames[table]), Number(cell.width), Number(cell.height),
              describe.List(report.cut[table])}));
  }
  result.shortened = describe.Shortened();
  return result;
}

}  // namespace pindot
