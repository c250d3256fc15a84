// Finding the font file for a face name through fontconfig and Pindot's alias file.
#pragma once

#include <optional>
#include <string>

#include "font/cell_metrics.h"
#include "font/font_request.h"

namespace pindot {

// What fontconfig picked for a font description.
struct FaceMatch {
  std::string path;
  int faceIndex = 0;           // index within a collection (named instance in the high bits)
  std::u16string family;       // the face's family name, the asked name when that is one of them
  bool familyIsAsked = false;  // the face carries the asked name itself, no alias was needed
  bool embolden = false;       // fontconfig asks for synthetic bold
  bool hasMatrix = false;      // fontconfig asks for a transform (synthetic italic)
  double matrix[4] = {1, 0, 0, 1};  // xx, xy, yx, yy
  // When a stand-in draws a Windows face listed in the metrics table (see FaceMetricsFilePath),
  // that face's metrics: the stand-in is sized as the named face would be.
  std::optional<VerticalMetrics> namedFaceMetrics;
};

// Resolves fontRequest.faceName with fontRequest's height, weight and slant. fontconfig always
// offers some fallback, so a match only counts when the face found carries one of these family
// names:
//  - the asked name itself (compared as fontconfig does: ignoring case and blanks);
//  - a family that an alias puts in the asked name's place with the asked name's strong binding
//    (Pindot's aliases, and the system's metric aliases such as Arial -> Liberation Sans);
//  - a family that substitution adds to a pattern holding the asked name but not to one holding
//    a name that exists nowhere (the system's weaker aliases, e.g. a monospace list);
//  - for a generic name that the configuration appends to every pattern (such as "sans-serif"),
//    any family that substitution lists for it.
// Anything else is the system's last resort, and the name is reported as matching nothing: throws
// UserError.
FaceMatch ResolveFace(const FontRequest& fontRequest);

// The alias file loaded on top of the system configuration: ../share/pindot/fontconfig/pindot.conf
// beside the running executable, else the copy in the source tree. Empty when neither exists.
std::string AliasFilePath();

// The table of the Windows faces' own metrics, windows-face-metrics.txt, found as the alias file
// is. Empty when neither copy exists.
std::string FaceMetricsFilePath();

}  // namespace pindot
