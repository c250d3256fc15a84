#include "text/string_table.h"

#include <cstdlib>
#include <string>

namespace pindot {

namespace {

struct StringRow {
  StringId id;
  std::u16string_view english;
  std::u16string_view chinese;
};

constexpr StringRow kStrings[] = {
    {StringId::kAboutMenuItem, u"About Kalvo(&A)...",
     u"\u5173\u4e8e\u5b57\u4f53\u4ea7\u751f\u5de5\u5177(&A)..."},
    {StringId::kSizeGroup, u"Size", u"\u5927\u5c0f"},
    {StringId::kSortGroup, u"Sort", u"\u6392\u5e8f"},
    {StringId::kWidthLabel, u"Width", u"\u5bbd\u5ea6"},
    {StringId::kHeightLabel, u"Height", u"\u9ad8\u5ea6"},
    {StringId::kSortByUnicodeButton, u"Sort by Unicode", u"\u6309Unicode\u6392\u5e8f"},
    {StringId::kSortByAnsiButton, u"Sort by ANSI", u"\u6309ANSI\u6392\u5e8f"},
    {StringId::kFontButton, u"Font...", u"\u5b57\u4f53..."},
    {StringId::kAboutButton, u"About", u"\u5173\u4e8e"},
    {StringId::kGenerateButton, u"Generate", u"\u4ea7\u751f"},
    {StringId::kExitButton, u"Exit", u"\u9000\u51fa"},
    {StringId::kDefaultSampleText, u"0123456789abcd", u"\u4e2d\u56fd\u4eba"},
    {StringId::kDefaultFaceName, u"Fixedsys", u"\u5b8b\u4f53"},
    {StringId::kProductNameAndVersion, u"Pindot 1.0", u"Pindot 1.0"},
    {StringId::kCopyright, u"Copyright (C) 2026 The Pindot authors",
     u"\u7248\u6743\u6240\u6709 (C) 2026 Pindot \u4f5c\u8005"},
    {StringId::kWebsiteLinkText, u"Visit out website",
     u"\u8bbf\u95ee\u6211\u4eec\u7684\u7f51\u7ad9"},
    {StringId::kMailLinkText, u"Contact with us", u"\u548c\u6211\u4eec\u8054\u7cfb"},
    {StringId::kWebsiteAddress, u"https://pindot.dev", u"https://pindot.dev"},
    {StringId::kMailAddress, u"hello@pindot.dev", u"hello@pindot.dev"},
    {StringId::kExportButton, u"Export...", u"\u5bfc\u51fa..."},
    {StringId::kNotUnsignedMessage, u"Please enter a positive integer.",
     u"\u8bf7\u8f93\u5165\u4e00\u4e2a\u6b63\u6574\u6570\u3002"},
    {StringId::kOutOfRangeMessage, u"Please enter an integer between %1 and %2.",
     u"\u8bf7\u8f93\u5165\u4e00\u4e2a\u4ecb\u4e8e %1 \u548c %2 "
     u"\u4e4b\u95f4\u7684\u6574\u6570\u3002"},
    {StringId::kTooLongMessage, u"Please enter no more than %1 characters.",
     u"\u8bf7\u8f93\u5165\u4e0d\u8d85\u8fc7 %1 \u4e2a\u5b57\u7b26\u3002"},
    {StringId::kFontUnusableMessage, u"The font cannot be used: %1",
     u"\u65e0\u6cd5\u4f7f\u7528\u8be5\u5b57\u4f53\uff1a%1"},
    {StringId::kCannotWriteMessage, u"Cannot write the file \"%1\": %2",
     u"\u65e0\u6cd5\u5199\u5165\u6587\u4ef6\u201c%1\u201d\uff1a%2"},
    {StringId::kThinTableName, u"thin", u"\u7a84\u5b57"},
    {StringId::kWideTableName, u"wide", u"\u5bbd\u5b57"},
    {StringId::kOneCharacter, u"1 character", u"1 \u4e2a\u5b57\u7b26"},
    {StringId::kCharacters, u"%1 characters", u"%1 \u4e2a\u5b57\u7b26"},
    {StringId::kOneGlyph, u"1 glyph", u"1 \u4e2a\u5b57\u5f62"},
    {StringId::kGlyphs, u"%1 glyphs", u"%1 \u4e2a\u5b57\u5f62"},
    {StringId::kMoreCharacters, u"and %1 more", u"\u7b49\uff0c\u53e6\u6709 %1 \u4e2a"},
    {StringId::kMissingGlyphsLoss,
     u"\"%1\" has no glyph for %2 of the sample text, drawn as its glyph 0: %3",
     u"\u201c%1\u201d\u6ca1\u6709\u6837\u672c\u6587\u5b57\u4e2d %2 "
     u"\u7684\u5b57\u5f62\uff0c\u4ee5\u5176 0 "
     u"\u53f7\u5b57\u5f62\uff08\u7f3a\u5b57\u7b26\u53f7\uff09\u7ed8\u5236\uff1a%3"},
    {StringId::kLeftOutLoss,
     u"the %2 table leaves out %1 whose ANSI code is that of an earlier character (a character the "
     u"code page lacks gets the space's code, 0x0020): %3",
     u"%2\u8868\u7565\u53bb\u4e86 %1\uff0c\u56e0\u5176 ANSI "
     u"\u7801\u4e0e\u524d\u9762\u7684\u5b57\u7b26\u76f8\u540c\uff08\u4ee3\u7801\u9875\u4e2d\u6ca1"
     u"\u6709\u7684\u5b57\u7b26\u90fd\u53d6\u7a7a\u683c\u7684\u7801 0x0020\uff09\uff1a%3"},
    {StringId::kCutGlyphsLoss, u"the %2 table's %3 x %4 cell is too small for %1, cut to fit: %5",
     u"%2\u8868\u7684 %3 x %4 \u5b57\u683c\u5bb9\u4e0d\u4e0b %1\uff0c\u5df2\u88c1\u5207\uff1a%5"},
    {StringId::kReferenceGlyphLoss,
     u"\"%1\" has no glyph for U+4E2D \"\u4e2d\": the cells are measured on its missing-glyph box, "
     u"%2 x %3",
     u"\u201c%"
     u"1\u201d\u6ca1\u6709\u201c\u4e2d\u201d\u5b57\u7684\u5b57\u5f62\uff1a\u5b57\u683c\u6309\u5176"
     u"\u7f3a\u5b57\u7b26\u53f7\u91cf\u5f97\uff0c\u4e3a %2 x %3"},
    {StringId::kStrikeSizeLoss, u"\"%1\" has no %2-pixel size: drawn with its %3-pixel strike",
     u"\u201c%1\u201d\u6ca1\u6709 %2 \u50cf\u7d20\u7684\u5b57\u53f7\uff1a\u4ee5\u5176 %3 "
     u"\u50cf\u7d20\u7684\u70b9\u9635\u7ed8\u5236"},
    {StringId::kLossSummaryHeading, u"Not every character came out as asked:",
     u"\u4ee5\u4e0b\u5b57\u7b26\u672a\u80fd\u5982\u5b9e\u751f\u6210\uff1a"},
    {StringId::kReplaceFilesQuestion,
     u"These files already exist:\n%1\nDo you want to replace them?",
     u"\u4ee5\u4e0b\u6587\u4ef6\u5df2\u5b58\u5728\uff1a\n%"
     u"1\n\u8981\u66ff\u6362\u5b83\u4eec\u5417\uff1f"},
    {StringId::kSampleLineBreaksNote,
     u"The sample text holds line breaks (U+000D U+000A): like every character of the sample, they "
     u"are entries of the tables.",
     u"\u6837\u672c\u6587\u5b57\u542b\u6709\u6362\u884c\u7b26\uff08U+000D "
     u"U+"
     u"000A\uff09\uff1a\u4e0e\u6837\u672c\u6587\u5b57\u4e2d\u7684\u6bcf\u4e2a\u5b57\u7b26\u4e00"
     u"\u6837\uff0c\u5b83\u4eec\u4e5f\u662f\u5b57\u5e93\u8868\u4e2d\u7684\u6761\u76ee\u3002"},
    {StringId::kSampleTabsNote,
     u"The sample text holds tabs (U+0009): like every character of the sample, they are entries "
     u"of the tables.",
     u"\u6837\u672c\u6587\u5b57\u542b\u6709\u5236\u8868\u7b26\uff08U+"
     u"0009\uff09\uff1a\u4e0e\u6837\u672c\u6587\u5b57\u4e2d\u7684\u6bcf\u4e2a\u5b57\u7b26\u4e00"
     u"\u6837\uff0c\u5b83\u4eec\u4e5f\u662f\u5b57\u5e93\u8868\u4e2d\u7684\u6761\u76ee\u3002"},
    {StringId::kSampleLineBreaksAndTabsNote,
     u"The sample text holds line breaks (U+000D U+000A) and tabs (U+0009): like every character "
     u"of the sample, they are entries of the tables.",
     u"\u6837\u672c\u6587\u5b57\u542b\u6709\u6362\u884c\u7b26\uff08U+000D "
     u"U+000A\uff09\u548c\u5236\u8868\u7b26\uff08U+"
     u"0009\uff09\uff1a\u4e0e\u6837\u672c\u6587\u5b57\u4e2d\u7684\u6bcf\u4e2a\u5b57\u7b26\u4e00"
     u"\u6837\uff0c\u5b83\u4eec\u4e5f\u662f\u5b57\u5e93\u8868\u4e2d\u7684\u6761\u76ee\u3002"},
};

}  // namespace

Language LanguageFromEnvironment() {
  for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0') continue;
    return std::string(value).compare(0, 2, "zh") == 0 ? Language::kChinese : Language::kEnglish;
  }
  return Language::kEnglish;
}

std::u16string_view LoadString(Language language, StringId id) {
  for (const StringRow& row : kStrings) {
    if (row.id == id) return language == Language::kChinese ? row.chinese : row.english;
  }
  return {};
}

}  // namespace pindot
