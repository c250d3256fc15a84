// The user-visible strings in English (United States) and Chinese (Simplified).
#pragma once

#include <string_view>

namespace pindot {

enum class Language { kEnglish, kChinese };

// From LANGUAGE, LC_ALL, LC_MESSAGES, LANG in that order (the first that is set and not empty):
// a value starting with "zh" picks Chinese, anything else English.
Language LanguageFromEnvironment();

// Ids as the window uses them (101..122); an id without a string gives an empty text.
std::u16string_view LoadString(Language language, int id);

}  // namespace pindot
