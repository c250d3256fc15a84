// The real canvas: a font resolved through fontconfig (or opened from a file) drawn by FreeType.
#pragma once

#include <memory>
#include <string>

#include "font/font_request.h"
#include "glyph/glyph_canvas.h"

namespace pindot {

// 148 x 148 pixels of 0x00BBGGRR, white background, black ink, as ReadPixel gives them; plain
// glyphs are kept as bits and also handed over packed. No FreeType or fontconfig type shows here.
class FontCanvas : public GlyphCanvas {
 public:
  // The largest cell height and glyph advance in pixels, as for --size: a font beyond it is
  // refused, since every glyph's cell becomes bytes of the output.
  static constexpr int kMaxPixels = 1000;

  // How a canvas draws glyphs without underline, strike-out or synthetic bold or italic: as bits
  // that the scan takes whole (GlyphCanvas::ReadPackedCell), or in colours as those with them.
  // Both give the same pixels; colours are there to check the bits against.
  enum class PlainGlyphs { kPacked, kInColour };

  // Resolves fontRequest.faceName through fontconfig (with the project's alias file) or opens
  // fontRequest.filePath. Throws UserError when nothing usable is found, or when its cell is higher
  // than kMaxPixels. MeasureCharacter and DrawCharacter throw UserError for a glyph that advances
  // more than kMaxPixels.
  static std::unique_ptr<FontCanvas> Open(const FontRequest& fontRequest,
                                          PlainGlyphs plainGlyphs = PlainGlyphs::kPacked);

  // Whether the face really used has a glyph for the code point (not its glyph 0).
  virtual bool HasGlyph(char32_t codePoint) const = 0;
  // The family name of the face really used, which may differ from the one asked for.
  virtual std::u16string ResolvedFamily() const = 0;
  virtual std::string ResolvedPath() const = 0;
  // For a face with bitmap strikes only and none of the asked size, the size of the strike drawn
  // instead (6x13.pcf.gz asked for a 20-pixel cell draws its 13-pixel cells): its cell height, or
  // its em when the FontRequest asked for an em height. 0 when the asked size is drawn, as it
  // always is for a scalable face.
  virtual int SubstitutedStrikeSize() const = 0;
};

}  // namespace pindot
