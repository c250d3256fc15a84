#include "output/lvgl_font.h"

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <cstring>
#include <iterator>

#include "base/user_error.h"
#include "output/source_template.h"
#include "text/number_text.h"

namespace pindot {

namespace {

// A run of consecutive codes at least this long gets a map of its own at first; the threshold
// doubles while the plan has more maps than LVGL 9.0 to 9.2 can count (cmap_num is 9 bits).
constexpr size_t kOwnMapRun = 16;
// Ranges and code offsets within a map are 16 bits.
constexpr uint32_t kMaxRange = 0xFFFF;
// Glyph ids are 16 bits, and 0 is "no glyph".
constexpr size_t kMaxGlyphs = 0xFFFF;

std::vector<LvglCharacterMap> PlanWithRun(const std::vector<InkGlyph>& glyphs, size_t ownMapRun) {
  std::vector<LvglCharacterMap> maps;
  LvglCharacterMap sparse;
  bool sparseOpen = false;
  auto closeSparse = [&] {
    if (!sparseOpen) return;
    // Codes that turned out consecutive need no list.
    if (sparse.offsets.size() == sparse.rangeLength) sparse.offsets.clear();
    maps.push_back(std::move(sparse));
    sparse = LvglCharacterMap{};
    sparseOpen = false;
  };
  size_t i = 0;
  while (i < glyphs.size()) {
    size_t end = i + 1;
    while (end < glyphs.size() && glyphs[end].unit == glyphs[end - 1].unit + 1) ++end;
    if (end - i >= ownMapRun) {
      closeSparse();
      for (size_t start = i; start < end; start += kMaxRange) {
        LvglCharacterMap map;
        map.rangeStart = glyphs[start].unit;
        map.rangeLength = static_cast<uint32_t>(std::min<size_t>(kMaxRange, end - start));
        map.firstGlyph = static_cast<uint32_t>(start + 1);
        maps.push_back(std::move(map));
      }
    } else {
      for (size_t k = i; k < end; ++k) {
        const uint32_t code = glyphs[k].unit;
        if (sparseOpen && code - sparse.rangeStart >= kMaxRange) closeSparse();
        if (!sparseOpen) {
          sparse.rangeStart = code;
          sparse.firstGlyph = static_cast<uint32_t>(k + 1);
          sparseOpen = true;
        }
        sparse.offsets.push_back(static_cast<uint16_t>(code - sparse.rangeStart));
        sparse.rangeLength = code - sparse.rangeStart + 1;
      }
    }
    i = end;
  }
  closeSparse();
  return maps;
}

// Text for a C comment: nothing in it may end the comment.
std::string CommentText(std::string text) {
  for (size_t at = text.find("*/"); at != std::string::npos; at = text.find("*/", at)) {
    text.insert(at + 1, " ");
  }
  std::replace_if(
      text.begin(), text.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
  return text;
}

// Bytes as C initialisers, 16 to a line: each byte " 0xNN," and each line's first "\n    0xNN,",
// written in place, since a GB2312 font at 4 bits holds a million of them.
void AppendBytes(std::string& out, const uint8_t* bytes, size_t count) {
  const size_t from = out.size();
  out.resize(from + count * 6 + (count + 15) / 16 * 4);
  char* next = out.data() + from;
  for (size_t i = 0; i < count; ++i) {
    if (i % 16 == 0) {
      std::memcpy(next, "\n    0x", 7);
      next += 7;
    } else {
      std::memcpy(next, " 0x", 3);
      next += 3;
    }
    *next++ = kHexDigits[bytes[i] >> 4];
    *next++ = kHexDigits[bytes[i] & 0xF];
    *next++ = ',';
  }
}

// A whole number in decimal, without a string of its own.
void AppendInteger(std::string& out, long long value) {
  char digits[24];
  const auto end = std::to_chars(std::begin(digits), std::end(digits), value).ptr;
  out.append(digits, end);
}

}  // namespace

std::vector<LvglCharacterMap> PlanCharacterMaps(const std::vector<InkGlyph>& glyphs) {
  size_t ownMapRun = kOwnMapRun;
  std::vector<LvglCharacterMap> maps = PlanWithRun(glyphs, ownMapRun);
  // Sparse maps alone need at most two maps for the whole of the 16-bit codes.
  while (maps.size() > kMaxCharacterMaps) maps = PlanWithRun(glyphs, ownMapRun *= 2);
  return maps;
}

void PackGlyphBits(const InkGlyph& glyph, std::vector<uint8_t>& out) {
  uint32_t pending = 0;
  int bits = 0;
  const uint32_t mask = (1u << glyph.bpp) - 1;
  for (const uint8_t level : glyph.levels) {
    pending = (pending << glyph.bpp) | (level & mask);
    bits += glyph.bpp;
    if (bits >= 8) {
      bits -= 8;
      out.push_back(static_cast<uint8_t>(pending >> bits));
    }
  }
  if (bits > 0) out.push_back(static_cast<uint8_t>(pending << (8 - bits)));
}

FaceLines FontLines(const InkFont& font) {
  FaceLines lines = font.lines;
  for (const InkGlyph& glyph : font.glyphs) {
    if (glyph.width == 0 || glyph.height == 0) continue;
    lines.ascent = std::max(lines.ascent, glyph.top);
    lines.descent = std::max(lines.descent, static_cast<int32_t>(glyph.height) - glyph.top);
  }
  lines.lineHeight = std::max(lines.lineHeight, lines.ascent + lines.descent);
  return lines;
}

void CheckLvglLimits(const InkFont& font) {
  if (font.glyphs.size() > kMaxGlyphs) {
    throw UserError("an LVGL font holds at most " + std::to_string(kMaxGlyphs) + " glyphs, not " +
                    std::to_string(font.glyphs.size()));
  }
}

std::string WriteLvglSource(const InkFont& font) {
  if (!IsCIdentifier(font.name)) {
    throw UserError("\"" + font.name + "\" cannot name an LVGL font: use letters, digits and _");
  }
  CheckLvglLimits(font);
  const std::string& name = font.name;
  const FaceLines lines = FontLines(font);
  const std::vector<LvglCharacterMap> maps = PlanCharacterMaps(font.glyphs);

  std::vector<uint8_t> bitmap;
  std::vector<size_t> starts;
  bool needsLarge = false;
  for (const InkGlyph& glyph : font.glyphs) {
    starts.push_back(bitmap.size());
    PackGlyphBits(glyph, bitmap);
    needsLarge = needsLarge || glyph.advance > 255 || glyph.width > 255 || glyph.height > 255 ||
                 glyph.left < -128 || glyph.left > 127 ||
                 glyph.top - static_cast<int32_t>(glyph.height) < -128 ||
                 glyph.top - static_cast<int32_t>(glyph.height) > 127;
  }
  // bitmap_index is 20 bits in the small descriptors.
  needsLarge = needsLarge || bitmap.size() >= (size_t{1} << 20);

  std::string out;
  out.reserve(bitmap.size() * 6 + bitmap.size() / 4 + font.glyphs.size() * 160 + 4096);
  out += "/* " + CommentText(name + ": " + font.description) + ", " + std::to_string(font.bpp) +
         " bit" + (font.bpp == 1 ? "" : "s") + " per pixel, " + std::to_string(font.glyphs.size()) +
         " glyphs. Made by pindot; declare it with LV_FONT_DECLARE(" + name + "). */\n\n";
  out +=
      "#ifdef LV_LVGL_H_INCLUDE_SIMPLE\n#include \"lvgl.h\"\n#else\n#include \"lvgl/lvgl.h\"\n"
      "#endif\n\n#ifndef LV_ATTRIBUTE_LARGE_CONST\n#define LV_ATTRIBUTE_LARGE_CONST\n#endif\n\n";
  if (font.bpp == 8) {
    // LVGL 9.0 to 9.2 expand glyphs of 1, 2 and 4 bits only; LVGL 8 and 9.3 on draw 8 as well.
    out += "#if LVGL_VERSION_MAJOR == 9 && LVGL_VERSION_MINOR < 3\n#error \"" + name +
           " has 8 bits per pixel, which LVGL 9 draws from 9.3 on: make it with --bpp 4\"\n"
           "#endif\n\n";
  }
  if (needsLarge) {
    out +=
        "#if !defined(LV_FONT_FMT_TXT_LARGE) || !LV_FONT_FMT_TXT_LARGE\n"
        "#error \"" +
        name +
        " needs LV_FONT_FMT_TXT_LARGE 1 in lv_conf.h: its bitmaps pass 1 MB "
        "or a glyph passes 255 pixels\"\n#endif\n\n";
  }

  out += "static LV_ATTRIBUTE_LARGE_CONST const uint8_t " + name + "_bitmaps[] = {";
  for (size_t i = 0; i < font.glyphs.size(); ++i) {
    const size_t end = i + 1 < starts.size() ? starts[i + 1] : bitmap.size();
    if (end == starts[i]) continue;
    out += "\n    /* " + CodePointName(font.glyphs[i].unit) + " */";
    AppendBytes(out, bitmap.data() + starts[i], end - starts[i]);
  }
  if (bitmap.empty()) out += "0";
  out += "\n};\n\n";

  // Id 0 is LVGL's "no glyph".
  out += "static const lv_font_fmt_txt_glyph_dsc_t " + name +
         "_glyphs[] = {\n    {.bitmap_index = 0, .adv_w = 0, .box_w = 0, .box_h = 0, .ofs_x = 0, "
         ".ofs_y = 0},\n";
  for (size_t i = 0; i < font.glyphs.size(); ++i) {
    const InkGlyph& glyph = font.glyphs[i];
    out += "    {.bitmap_index = ";
    AppendInteger(out, static_cast<long long>(starts[i]));
    out += ", .adv_w = ";
    AppendInteger(out, glyph.advance * 16LL);
    out += ", .box_w = ";
    AppendInteger(out, glyph.width);
    out += ", .box_h = ";
    AppendInteger(out, glyph.height);
    out += ", .ofs_x = ";
    AppendInteger(out, glyph.left);
    out += ", .ofs_y = ";
    AppendInteger(out, glyph.top - static_cast<long long>(glyph.height));
    out += "}, /* " + CodePointName(glyph.unit) + " */\n";
  }
  out += "};\n\n";

  for (size_t m = 0; m < maps.size(); ++m) {
    if (maps[m].offsets.empty()) continue;
    out += "static const uint16_t " + name + "_codes_" + std::to_string(m) + "[] = {";
    for (size_t k = 0; k < maps[m].offsets.size(); ++k) {
      out += (k % 12 == 0) ? "\n    " : " ";
      out += std::to_string(maps[m].offsets[k]) + ",";
    }
    out += "\n};\n";
  }
  if (!maps.empty()) {
    out += "\nstatic const lv_font_fmt_txt_cmap_t " + name + "_maps[] = {\n";
    for (size_t m = 0; m < maps.size(); ++m) {
      const LvglCharacterMap& map = maps[m];
      const bool sparse = !map.offsets.empty();
      out += "    {.range_start = " + std::to_string(map.rangeStart) +
             ", .range_length = " + std::to_string(map.rangeLength) +
             ", .glyph_id_start = " + std::to_string(map.firstGlyph) + ", .unicode_list = " +
             (sparse ? name + "_codes_" + std::to_string(m) : std::string("NULL")) +
             ", .glyph_id_ofs_list = NULL, .list_length = " + std::to_string(map.offsets.size()) +
             ", .type = " +
             (sparse ? "LV_FONT_FMT_TXT_CMAP_SPARSE_TINY" : "LV_FONT_FMT_TXT_CMAP_FORMAT0_TINY") +
             "},\n";
    }
    out += "};\n";
  }

  // LVGL 8 keeps the last letter looked up in a cache the font points to; 9 has no such member.
  out += "\n#if LVGL_VERSION_MAJOR == 8\nstatic lv_font_fmt_txt_glyph_cache_t " + name +
         "_cache;\n#endif\n\n";
  out += "static const lv_font_fmt_txt_dsc_t " + name + "_dsc = {\n    .glyph_bitmap = " + name +
         "_bitmaps,\n    .glyph_dsc = " + name +
         "_glyphs,\n    .cmaps = " + (maps.empty() ? std::string("NULL") : name + "_maps") +
         ",\n    .kern_dsc = NULL,\n    .kern_scale = 0,\n    .cmap_num = " +
         std::to_string(maps.size()) + ",\n    .bpp = " + std::to_string(font.bpp) +
         ",\n    .kern_classes = 0,\n    .bitmap_format = 0,\n#if LVGL_VERSION_MAJOR == 8\n"
         "    .cache = &" +
         name + "_cache,\n#endif\n};\n\n";
  // Designated initialisers: the members' order differs between LVGL versions.
  out += "const lv_font_t " + name +
         " = {\n    .get_glyph_dsc = lv_font_get_glyph_dsc_fmt_txt,\n"
         "    .get_glyph_bitmap = lv_font_get_bitmap_fmt_txt,\n    .line_height = " +
         std::to_string(lines.lineHeight) +
         ",\n    .base_line = " + std::to_string(lines.lineHeight - lines.ascent) +
         ",\n    .subpx = LV_FONT_SUBPX_NONE,\n    .underline_position = " +
         std::to_string(std::clamp(lines.underlinePosition, -128, 127)) +
         ",\n    .underline_thickness = " +
         std::to_string(std::clamp(lines.underlineThickness, 0, 127)) + ",\n    .dsc = &" + name +
         "_dsc,\n#if LVGL_VERSION_MAJOR >= 9\n    .fallback = NULL,\n"
         "    .user_data = NULL,\n#endif\n};\n";
  return out;
}

}  // namespace pindot
