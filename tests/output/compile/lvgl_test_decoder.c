/* Reads LVGL text-format fonts as LVGL documents them (lv_font_fmt_txt.h), and LVGL's binary font
   files into the same structures, for the tests. */
#include "lvgl_test_decoder.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static uint32_t GlyphId(const lv_font_fmt_txt_dsc_t* dsc, uint32_t letter) {
  uint32_t i, k;
  for (i = 0; i < dsc->cmap_num; ++i) {
    const lv_font_fmt_txt_cmap_t* map = &dsc->cmaps[i];
    const uint32_t rcp = letter - map->range_start;
    if (letter < map->range_start || rcp >= map->range_length) continue;
    switch (map->type) {
      case LV_FONT_FMT_TXT_CMAP_FORMAT0_TINY:
        return map->glyph_id_start + rcp;
      case LV_FONT_FMT_TXT_CMAP_FORMAT0_FULL:
        return map->glyph_id_start + ((const uint8_t*)map->glyph_id_ofs_list)[rcp];
      default:
        for (k = 0; k < map->list_length; ++k) {
          if (map->unicode_list[k] != rcp) continue;
          if (map->type == LV_FONT_FMT_TXT_CMAP_SPARSE_TINY) return map->glyph_id_start + k;
          return map->glyph_id_start + ((const uint16_t*)map->glyph_id_ofs_list)[k];
        }
        return 0;
    }
  }
  return 0;
}

bool lv_font_get_glyph_dsc_fmt_txt(const lv_font_t* font, lv_font_glyph_dsc_t* out,
                                   uint32_t letter, uint32_t letter_next) {
  const lv_font_fmt_txt_dsc_t* dsc = (const lv_font_fmt_txt_dsc_t*)font->dsc;
  const uint32_t id = letter == 0 ? 0 : GlyphId(dsc, letter);
  const lv_font_fmt_txt_glyph_dsc_t* glyph = &dsc->glyph_dsc[id];
  (void)letter_next;
  if (id == 0) return false;
  out->resolved_font = font;
  out->adv_w = (uint16_t)((glyph->adv_w + 8) >> 4);
  out->box_w = glyph->box_w;
  out->box_h = glyph->box_h;
  out->ofs_x = glyph->ofs_x;
  out->ofs_y = glyph->ofs_y;
  out->format = (uint8_t)dsc->bpp;
  out->is_placeholder = 0;
  out->gid.index = id;
  return true;
}

const void* lv_font_get_bitmap_fmt_txt(lv_font_glyph_dsc_t* g_dsc, lv_draw_buf_t* draw_buf) {
  const lv_font_fmt_txt_dsc_t* dsc = (const lv_font_fmt_txt_dsc_t*)g_dsc->resolved_font->dsc;
  const lv_font_fmt_txt_glyph_dsc_t* glyph = &dsc->glyph_dsc[g_dsc->gid.index];
  const uint8_t* bits = dsc->glyph_bitmap + glyph->bitmap_index;
  const uint32_t bpp = dsc->bpp, count = (uint32_t)glyph->box_w * glyph->box_h;
  uint32_t i;
  if (dsc->bitmap_format != 0) return NULL; /* compressed: not made here */
  for (i = 0; i < count; ++i) {
    const uint32_t bit = i * bpp;
    draw_buf->data[i] = (uint8_t)((bits[bit / 8] >> (8 - bpp - bit % 8)) & ((1u << bpp) - 1));
  }
  return draw_buf;
}

/* The binary file: little-endian tables "head", "cmap", "loca", "glyf", each opened by its size
   and label. */
static uint32_t Get(const uint8_t* at, int bytes) {
  uint32_t value = 0;
  while (bytes-- > 0) value = (value << 8) | at[bytes];
  return value;
}

typedef struct {
  const uint8_t* bytes;
  uint32_t bit;
} BitReader;

static uint32_t ReadBits(BitReader* reader, int count) {
  uint32_t value = 0;
  while (count-- > 0) {
    value = (value << 1) | ((reader->bytes[reader->bit / 8] >> (7 - reader->bit % 8)) & 1);
    ++reader->bit;
  }
  return value;
}

static int32_t ReadSigned(BitReader* reader, int count) {
  const uint32_t value = ReadBits(reader, count);
  return (value & (1u << (count - 1))) ? (int32_t)value - (int32_t)(1u << count) : (int32_t)value;
}

/* The table labelled `label` at `at`, its size in *size; NULL when the label is another. */
static const uint8_t* Table(const uint8_t* file, size_t length, size_t at, const char* label,
                            uint32_t* size) {
  if (at + 8 > length || memcmp(file + at + 4, label, 4) != 0) return NULL;
  *size = Get(file + at, 4);
  return at + *size <= length ? file + at : NULL;
}

const lv_font_t* lvgl_test_load_binary(const char* path) {
  static lv_font_t font;
  static lv_font_fmt_txt_dsc_t dsc;
  FILE* file = fopen(path, "rb");
  uint8_t* data = malloc(64u << 20);
  size_t length, at = 0;
  uint32_t size, i, glyphs, count, glyfSize;
  const uint8_t *head, *cmap, *loca, *glyf;
  lv_font_fmt_txt_cmap_t* maps;
  lv_font_fmt_txt_glyph_dsc_t* dscs;
  uint8_t* bitmap;
  if (file == NULL || data == NULL) return NULL;
  length = fread(data, 1, 64u << 20, file);
  fclose(file);
  if ((head = Table(data, length, at, "head", &size)) == NULL) return NULL;
  at += size;
  if ((cmap = Table(data, length, at, "cmap", &size)) == NULL) return NULL;
  at += size;
  if ((loca = Table(data, length, at, "loca", &size)) == NULL) return NULL;
  at += size;
  if ((glyf = Table(data, length, at, "glyf", &glyfSize)) == NULL) return NULL;
  if (Get(head + 12, 2) != 3 || head[41] != 0) return NULL; /* no kerning, no compression */
  font.line_height = (int32_t)Get(head + 16, 2) - (int16_t)Get(head + 18, 2);
  font.base_line = -(int16_t)Get(head + 18, 2);
  font.underline_position = (int8_t)Get(head + 44, 2);
  font.underline_thickness = (int8_t)Get(head + 46, 2);
  font.get_glyph_dsc = lv_font_get_glyph_dsc_fmt_txt;
  font.get_glyph_bitmap = lv_font_get_bitmap_fmt_txt;
  font.dsc = &dsc;
  dsc.bpp = head[37];
  count = Get(cmap + 8, 4);
  maps = calloc(count + 1, sizeof *maps);
  for (i = 0; i < count; ++i) {
    const uint8_t* entry = cmap + 12 + 16 * i;
    maps[i].range_start = Get(entry + 4, 4);
    maps[i].range_length = (uint16_t)Get(entry + 8, 2);
    maps[i].glyph_id_start = (uint16_t)Get(entry + 10, 2);
    maps[i].list_length = (uint16_t)Get(entry + 12, 2);
    maps[i].type = entry[14];
    if (maps[i].type == LV_FONT_FMT_TXT_CMAP_SPARSE_TINY) {
      uint16_t* codes = calloc(maps[i].list_length + 1u, sizeof *codes);
      uint32_t k;
      for (k = 0; k < maps[i].list_length; ++k) codes[k] = (uint16_t)Get(cmap + Get(entry, 4) + 2 * k, 2);
      maps[i].unicode_list = codes;
    } else if (maps[i].type != LV_FONT_FMT_TXT_CMAP_FORMAT0_TINY) {
      return NULL; /* the full maps are not made here */
    }
  }
  dsc.cmaps = maps;
  dsc.cmap_num = count;
  glyphs = Get(loca + 8, 4);
  dscs = calloc(glyphs + 1, sizeof *dscs);
  bitmap = calloc(glyfSize + 1, 1);
  size = 0; /* bytes of bitmap so far */
  for (i = 1; i < glyphs; ++i) {
    const uint32_t offset = head[34] ? Get(loca + 12 + 4 * i, 4) : Get(loca + 12 + 2 * i, 2);
    BitReader reader;
    uint32_t k, levels;
    reader.bytes = glyf + offset;
    reader.bit = 0;
    dscs[i].adv_w = ReadBits(&reader, head[40]) * 16;
    dscs[i].ofs_x = ReadSigned(&reader, head[38]);
    dscs[i].ofs_y = ReadSigned(&reader, head[38]);
    dscs[i].box_w = ReadBits(&reader, head[39]);
    dscs[i].box_h = ReadBits(&reader, head[39]);
    dscs[i].bitmap_index = size;
    levels = (uint32_t)dscs[i].box_w * dscs[i].box_h;
    for (k = 0; k < levels; ++k) {
      const uint32_t bit = k * head[37];
      bitmap[size + bit / 8] |= (uint8_t)(ReadBits(&reader, head[37]) << (8 - head[37] - bit % 8));
    }
    size += (levels * head[37] + 7) / 8;
  }
  dsc.glyph_dsc = dscs;
  dsc.glyph_bitmap = bitmap;
  return &font;
}
