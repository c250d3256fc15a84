#include "output/gfx_font.h"

#include <algorithm>
#include <map>

#include "base/user_error.h"
#include "output/c_source_text.h"
#include "text/number_text.h"

namespace pindot {

namespace {

// Ranges of the sorted codes that are each at least half full, made greedily from the lowest.
std::vector<std::pair<char16_t, char16_t>> DenseRanges(const std::vector<char16_t>& codes) {
  std::vector<std::pair<char16_t, char16_t>> ranges;
  size_t start = 0;
  for (size_t i = 1; i <= codes.size(); ++i) {
    const bool keeps =
        i < codes.size() && 2 * (i - start + 1) >= size_t{codes[i]} - codes[start] + 1;
    if (!keeps) {
      ranges.emplace_back(codes[start], codes[i - 1]);
      start = i;
    }
  }
  return ranges;
}

std::string RangeText(char16_t first, char16_t last) {
  return first == last ? HexText(first) : HexText(first) + "-" + HexText(last);
}

}  // namespace

GfxRange PlanGfxRange(const std::vector<InkGlyph>& glyphs) {
  std::vector<char16_t> codes;
  for (const InkGlyph& glyph : glyphs) codes.push_back(glyph.unit);
  std::sort(codes.begin(), codes.end());
  GfxRange range;
  if (codes.empty()) return range;
  range.first = codes.front();
  range.last = codes.back();
  for (size_t i = 1; i < codes.size(); ++i) {
    for (uint32_t code = codes[i - 1] + 1u; code < codes[i]; ++code)
      range.gaps.push_back(static_cast<char16_t>(code));
  }
  if (range.gaps.size() > codes.size()) {
    const auto ranges = DenseRanges(codes);
    std::string list;
    for (size_t i = 0; i < ranges.size() && i < 8; ++i)
      list += (i ? ", " : "") + RangeText(ranges[i].first, ranges[i].second);
    if (ranges.size() > 8) list += " and " + std::to_string(ranges.size() - 8) + " more";
    throw UserError(
        "a GFX font covers one range of consecutive codes: " + CodePointName(range.first) + " to " +
        CodePointName(range.last) + " is " + std::to_string(codes.size() + range.gaps.size()) +
        " codes for " + std::to_string(codes.size()) + " characters, " +
        std::to_string(range.gaps.size()) +
        " of them empty; make one font for each of the ranges " + list +
        " (--range A-B, or --text with only those characters)");
  }
  return range;
}

std::string WriteGfxFont(std::string_view name, const std::vector<InkGlyph>& glyphs,
                         const FaceLines& lines) {
  const GfxRange range = PlanGfxRange(glyphs);
  std::map<char16_t, const InkGlyph*> byCode;
  for (const InkGlyph& glyph : glyphs) byCode[glyph.unit] = &glyph;

  std::vector<uint8_t> bitmap;
  std::string glyphLines;
  for (uint32_t code = range.first; !byCode.empty() && code <= range.last; ++code) {
    const auto found = byCode.find(static_cast<char16_t>(code));
    const size_t offset = bitmap.size();
    int32_t width = 0, height = 0, advance = 0, left = 0, top = 0;
    if (found != byCode.end()) {
      const InkGlyph& g = *found->second;
      width = static_cast<int32_t>(g.width), height = static_cast<int32_t>(g.height);
      advance = g.advance, left = g.left, top = g.top;
      if (width > 255 || height > 255 || advance < 0 || advance > 255 || left < -128 ||
          left > 127 || -top < -128 || -top > 127) {
        throw UserError(
            "GFX fonts hold glyphs up to 255 pixels wide and high, advances up to "
            "255 and offsets of -128 to 127: " +
            CodePointName(g.unit) + " is " + std::to_string(width) + " x " +
            std::to_string(height) + " pixels at " + std::to_string(left) + ", " +
            std::to_string(-top) + " with an advance of " + std::to_string(advance) +
            "; draw the font smaller");
      }
      // The glyph's pixels row after row with no padding between rows, the first in the top bit.
      for (size_t i = 0; i < g.levels.size(); ++i) {
        if (i % 8 == 0) bitmap.push_back(0);
        if (g.levels[i] != 0) bitmap.back() |= static_cast<uint8_t>(0x80 >> (i % 8));
      }
    }
    if (offset > 0xFFFF) {
      throw UserError("a GFX font holds up to 65535 bytes of glyph bits; " +
                      CodePointName(range.first) + " to " + CodePointName(range.last) +
                      " takes more: draw it smaller or make fonts of shorter ranges");
    }
    glyphLines += "  {" + std::to_string(offset) + ", " + std::to_string(width) + ", " +
                  std::to_string(height) + ", " + std::to_string(advance) + ", " +
                  std::to_string(left) + ", " + std::to_string(-top) + "}, /* " +
                  CodePointName(static_cast<char32_t>(code)) + " */\n";
  }
  if (byCode.empty()) glyphLines = "  {0, 0, 0, 0, 0, 0}\n";  // no arrays of none in C
  if (bitmap.empty()) bitmap.push_back(0);
  const int32_t lineAdvance = std::clamp(lines.lineHeight, 0, 255);

  // A header as Adafruit's own fonts are, everything static so that it may be included anywhere.
  const std::string guard = "PINDOT_" + UpperCaseName(name) + "_H";
  std::string text = "/* " + std::string(name) +
                     ": an Adafruit GFX font made by pindot, for setFont(&" + std::string(name) +
                     "). Codes " + HexText(range.first) + " to " + HexText(range.last) + ". */\n";
  if (range.last > 0xFF) {
    text +=
        "/* Adafruit GFX's print() passes one byte a character: codes above 0xff need a text "
        "routine of your own. */\n";
  }
  text += "#ifndef " + guard + "\n#define " + guard + "\n\n";
  text +=
      "#ifdef ARDUINO\n#include <Adafruit_GFX.h>\n#else\n#include <stdint.h>\n"
      "#include \"gfxfont.h\" /* from Adafruit GFX */\n#endif\n"
      "#ifndef PROGMEM\n#define PROGMEM\n#endif\n\n";
  text += "static const uint8_t " + std::string(name) + "_bitmaps[" +
          std::to_string(bitmap.size()) + "] PROGMEM = {\n";
  AppendByteList(text, bitmap.data(), bitmap.size());
  text += "};\n\n/* bitmapOffset, width, height, xAdvance, xOffset, yOffset */\n";
  text += "static const GFXglyph " + std::string(name) + "_glyphs[] PROGMEM = {\n" + glyphLines +
          "};\n\n";
  text += "static const GFXfont " + std::string(name) + " PROGMEM = {(uint8_t *)" +
          std::string(name) + "_bitmaps, (GFXglyph *)" + std::string(name) + "_glyphs, " +
          HexText(range.first) + ", " + HexText(range.last) + ", " + std::to_string(lineAdvance) +
          "};\n\n#endif /* " + guard + " */\n";
  return text;
}

}  // namespace pindot
