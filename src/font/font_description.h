// A font description: what a user asks for, before fontconfig and FreeType resolve it.
#pragma once

#include <string>

namespace pindot {

struct FontSpec {
  std::u16string faceName;  // asked-for name, kept as the reported face name
  std::string filePath;     // a font file used instead of the name when not empty
  int cellHeight = 16;      // pixels of the whole cell (ascent + descent), as a positive lfHeight
  int weight = 400;         // 400 regular, 700 bold
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  // Pixels of the em, as Windows' negative lfHeight (what a font chooser gives: points x dots per
  // inch / 72): the cell is then what the face's ascent and descent make of that em. When above
  // 0 it wins over cellHeight.
  int emHeight = 0;
};

}  // namespace pindot
