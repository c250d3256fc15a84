// The texts of the window's menu and its small dialogs, which the string table does not hold.
#pragma once

#include <QString>

#include "text/string_table.h"

namespace pindot {

inline QString InLanguage(Language language, const char* english, const char* chinese) {
  return QString::fromUtf8(language == Language::kChinese ? chinese : english);
}

}  // namespace pindot
