// Qt's own texts (standard buttons, the file and font choosers) in the window's language.
#pragma once

#include "text/string_table.h"

class QCoreApplication;

namespace pindot {

// Installs Qt's translation of its own texts for `language` (none is needed for English), from
// the folder where Qt keeps its translations (the Debian package qt6-translations-l10n). True when
// one was installed; without the package Qt's texts stay in English.
bool InstallQtTranslations(QCoreApplication& application, Language language);

}  // namespace pindot
