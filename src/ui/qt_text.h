// Conversions between the core's UTF-16 texts and Qt's QString, unit for unit.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace pindot {

// Both sides are UTF-16, so nothing is lost either way, lone surrogates included.
inline QString ToQString(std::u16string_view text) {
  return QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
}

inline std::u16string ToU16String(const QString& text) {
  return std::u16string(reinterpret_cast<const char16_t*>(text.utf16()),
                        static_cast<size_t>(text.size()));
}

}  // namespace pindot
