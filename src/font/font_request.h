// A font description: what a user asks for, before fontconfig and FreeType resolve it.
#pragma once

#include <string>

namespace pindot {

// Weights as fonts state them: a request is regular or bold, and a face or a chooser's font counts
// as bold from semi-bold up.
constexpr int kRegularWeight = 400;
constexpr int kSemiBoldWeight = 600;
constexpr int kBoldWeight = 700;

struct FontRequest {
  std::u16string faceName;  // asked-for name, kept as the reported face name
  std::string filePath;     // a font file used instead of the name when not empty
  int cellHeight = 16;      // pixels of the whole cell (ascent + descent), as a positive lfHeight
  int weight = kRegularWeight;  // kRegularWeight or kBoldWeight
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  // Pixels of the em, as Windows' negative lfHeight (what a font chooser gives: points x dots per
  // inch / 72): the cell is then what the face's ascent and descent make of that em. When above
  // 0 it wins over cellHeight.
  int emHeight = 0;
};

}  // namespace pindot
