// The C text of the thin and the wide glyph tables.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "glyph/generator.h"
#include "glyph/generator_settings.h"
#include "glyph/glyph_list.h"
#include "glyph/progress_indicator.h"

namespace pindot {

enum class TableKind { kThin, kWide };

// The width a table is declared with: W for the wide table, (W + 1) >> 1 for the thin one.
uint32_t DeclaredTableWidth(TableKind kind, uint32_t width);

// The character between the quotes of EX_FONT_CHAR("..."), escaped so the C always compiles:
// `"` -> `\"`, `\` -> `\\`, CR LF TAB -> \r \n \t, other units below U+0020 and U+007F -> `\ooo`.
void AppendCharacterLiteral(std::u16string& text, std::u16string_view character);

// Replaces `text` with the table's header line ("struct _thin_unicode_font8x16 {...} ... = ").
void FormatTableHeader(std::u16string& text, TableKind kind, const GeneratorSettings& settings,
                       uint32_t count);

// Empty when both lists are empty (and then the progress is not touched).
std::u16string BuildFontDataText(const GlyphList& thinList, const GlyphList& wideList,
                                 const GeneratorSettings& settings, ProgressIndicator& progress);
// The same for the lists and settings of the generator's last run.
std::u16string BuildFontDataText(const Generator& generator, ProgressIndicator& progress);

}  // namespace pindot
