// The fonts the tests draw with, and how a test asks for one of them.
#pragma once

#include <string>

#include "font/font_request.h"
#include "text/utf.h"

namespace pindot::testing {

inline const std::string kTestFonts = std::string(PINDOT_TEST_DIR) + "/fonts/";
inline const std::string kUnifont = "/usr/share/fonts/opentype/unifont/unifont.otf";
inline const std::string kDejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
inline const std::string kZenHei = "/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc";

enum FontStyle { kPlain = 0, kBold = 1, kItalic = 2, kLines = 4, kEm = 8 };

// A path (starting with "/") asks for that file, anything else for a face name; kLines asks for
// underline and strike-out; with kEm the size is an em height.
inline FontRequest TestFont(const std::string& font, int size, int style = kPlain) {
  const bool file = font[0] == '/', lines = (style & kLines) != 0;
  return FontRequest{file ? u"" : FromUtf8(font),
                     file ? font : "",
                     size,
                     style & kBold ? 700 : 400,
                     (style & kItalic) != 0,
                     lines,
                     lines,
                     style & kEm ? size : 0};
}

}  // namespace pindot::testing
