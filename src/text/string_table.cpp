#include "text/string_table.h"

#include <cstdlib>
#include <string>

namespace pindot {

namespace {

struct StringRow {
  int id;
  std::u16string_view english;
  std::u16string_view chinese;
};

// Ids 112 and 115 have no string in either language.
constexpr StringRow kStrings[] = {
    {101, u"About Kalvo(&A)...", u"\u5173\u4e8e\u5b57\u4f53\u4ea7\u751f\u5de5\u5177(&A)..."},
    {102, u"Size", u"\u5927\u5c0f"},
    {103, u"Sort", u"\u6392\u5e8f"},
    {104, u"Width", u"\u5bbd\u5ea6"},
    {105, u"Height", u"\u9ad8\u5ea6"},
    {106, u"Sort by Unicode", u"\u6309Unicode\u6392\u5e8f"},
    {107, u"Sort by ANSI", u"\u6309ANSI\u6392\u5e8f"},
    {108, u"Font...", u"\u5b57\u4f53..."},
    {109, u"About", u"\u5173\u4e8e"},
    {110, u"Generate", u"\u4ea7\u751f"},
    {111, u"Exit", u"\u9000\u51fa"},
    {113, u"0123456789abcd", u"\u4e2d\u56fd\u4eba"},
    {114, u"Fixedsys", u"\u5b8b\u4f53"},
    {116, u"Pindot 1.0", u"Pindot 1.0"},
    {117, u"Copyright (C) 2026 The Pindot authors",
     u"\u7248\u6743\u6240\u6709 (C) 2026 Pindot \u4f5c\u8005"},
    {118, u"Visit out website", u"\u8bbf\u95ee\u6211\u4eec\u7684\u7f51\u7ad9"},
    {119, u"Contact with us", u"\u548c\u6211\u4eec\u8054\u7cfb"},
    {120, u"https://pindot.dev", u"https://pindot.dev"},
    {121, u"hello@pindot.dev", u"hello@pindot.dev"},
    {122, u"Export...", u"\u5bfc\u51fa..."},
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

std::u16string_view LoadString(Language language, int id) {
  for (const StringRow& row : kStrings) {
    if (row.id == id) return language == Language::kChinese ? row.chinese : row.english;
  }
  return {};
}

}  // namespace pindot
