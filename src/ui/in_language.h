// The texts of the window's menu and its small dialogs, which the string table does not hold.
#pragma once

#include <QString>
#include <exception>
#include <new>

#include "text/string_table.h"

namespace pindot {

inline QString InLanguage(Language language, const char* english, const char* chinese) {
  return QString::fromUtf8(language == Language::kChinese ? chinese : english);
}

// What went wrong, as a message box says it: "out of memory" for a failed allocation, else the
// exception's own words (a UserError names the thing and the reason).
inline QString FailureText(Language language, const std::exception& error) {
  if (dynamic_cast<const std::bad_alloc*>(&error) != nullptr) {
    return InLanguage(language, "out of memory", "内存不足");
  }
  return QString::fromUtf8(error.what());
}

}  // namespace pindot
