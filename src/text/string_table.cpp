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
