// The fonts the tests draw with, how a test asks for one of them, and the run every front end
// makes of it.
#pragma once

#include <string>
#include <string_view>

#include "font/font_pipeline.h"
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

// `font` opened, measured and drawn over `sample` as the command line and the window draw it: in
// code page `codePage`, keyed by Unicode or ANSI codes, the wide cell `width` pixels wide unless 0.
inline PipelineResult RunTestFont(const FontRequest& font, std::u16string_view sample,
                                  unsigned codePage = 1252, bool sortByUnicode = true,
                                  uint32_t width = 0) {
  PipelineRequest request;
  request.font = font;
  request.sample = sample;
  request.codePage = codePage;
  request.sortByUnicode = sortByUnicode;
  if (width != 0) request.width = width;
  NoProgress progress;
  return RunPipeline(request, progress);
}

}  // namespace pindot::testing
