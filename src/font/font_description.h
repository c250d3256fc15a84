// A font description: what a user asks for, before fontconfig and FreeType resolve it.
#pragma once

#include <string>

namespace pindot {

struct FontSpec {
  std::u16string faceName;  // asked-for name, kept as the reported face name
  std::string filePath;     // a font file used instead of the name when not empty
  int cellHeight = 16;      // pixels, the whole character cell (ascent + descent)
  int weight = 400;         // 400 regular, 700 bold
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
};

}  // namespace pindot
