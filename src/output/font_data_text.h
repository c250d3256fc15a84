// The C text of the thin and the wide glyph tables.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "glyph/generator.h"
#include "glyph/generator_settings.h"
#include "glyph/glyph_list.h"
#include "glyph/progress_indicator.h"
#include "glyph/table_cell.h"
#include "output/text_sink.h"

namespace pindot {

// The character between the quotes of EX_FONT_CHAR("..."), escaped so the C always compiles:
// `"` -> `\"`, `\` -> `\\`, CR LF TAB -> \r \n \t, other units below U+0020 and U+007F -> `\ooo`;
// any other unit goes to the sink as a literal unit.
void WriteCharacterLiteral(TextSink& sink, char16_t character);

// How the tables are declared.
struct DataTextOptions {
  // "const struct ...": a microcontroller keeps the tables in flash instead of copying them into
  // RAM at start-up. Without it the text is as the window shows it.
  bool constTables = false;
  // Tables named "thin_NAME" and "wide_NAME" (types "_thin_NAME", "_wide_NAME") instead of after
  // their keys and cells; empty: those.
  std::u16string name;
};

// The C text of both tables of the generator's last run into `sink`, one progress step per entry.
// Every entry holds exactly its table's cell: ((w + 7) >> 3) x H bytes. Nothing when both lists are
// empty (and then the progress is not touched).
void WriteFontDataText(const Generator& generator, TextSink& sink, ProgressIndicator& progress,
                       const DataTextOptions& options = {});
// About how many units the font data text of the generator's last run has (a little more, never
// much less), for a caller that makes room for it first.
size_t FontDataTextLength(const Generator& generator);
// The same as one UTF-16 text, as the window shows it.
std::u16string BuildFontDataText(const Generator& generator, ProgressIndicator& progress,
                                 const DataTextOptions& options = {});

// The items of one table as the source declares them when they are const: for each entry of the
// table WriteFontDataText writes, its value and a pointer to its data, one line each, the last
// without its line end ("\t{.value = 0x4e2d, .data = (unsigned
// char*)wide_unicode_font16x16[0].data}").
void WriteConstItems(const Generator& generator, TableKind kind, TextSink& sink,
                     const DataTextOptions& options);

}  // namespace pindot
