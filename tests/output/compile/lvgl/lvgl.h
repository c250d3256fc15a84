/* The part of LVGL 9 (9.3 on) that a text-format font uses, with LVGL's type and member names, for
   the tests: a font source compiles against it as against lvgl.h, and lvgl_test_decoder.c reads
   it. */
#ifndef LVGL_TEST_LVGL_H
#define LVGL_TEST_LVGL_H

#include <stdbool.h>
#include <stddef.h>
#include <stdint.h>

#define LVGL_VERSION_MAJOR 9
#define LVGL_VERSION_MINOR 3
#ifndef LV_FONT_FMT_TXT_LARGE
#define LV_FONT_FMT_TXT_LARGE 0
#endif

typedef struct lv_font_t lv_font_t;
typedef struct {
  uint8_t* data;
} lv_draw_buf_t;

typedef struct {
  const lv_font_t* resolved_font;
  uint16_t adv_w;
  uint16_t box_w;
  uint16_t box_h;
  int16_t ofs_x;
  int16_t ofs_y;
  uint8_t format; /* bits per pixel */
  uint8_t is_placeholder : 1;
  union {
    uint32_t index;
    const void* src;
  } gid;
  void* entry;
} lv_font_glyph_dsc_t;

enum { LV_FONT_SUBPX_NONE, LV_FONT_SUBPX_HOR, LV_FONT_SUBPX_VER, LV_FONT_SUBPX_BOTH };

struct lv_font_t {
  bool (*get_glyph_dsc)(const lv_font_t*, lv_font_glyph_dsc_t*, uint32_t letter,
                        uint32_t letter_next);
  const void* (*get_glyph_bitmap)(lv_font_glyph_dsc_t*, lv_draw_buf_t*);
  void (*release_glyph)(const lv_font_t*, lv_font_glyph_dsc_t*);
  int32_t line_height;
  int32_t base_line; /* from the bottom of the line */
  uint8_t subpx : 2;
  uint8_t kerning : 1;
  uint8_t static_bitmap : 1;
  int8_t underline_position;
  int8_t underline_thickness;
  const void* dsc;
  const lv_font_t* fallback;
  void* user_data;
};

typedef struct {
#if LV_FONT_FMT_TXT_LARGE == 0
  uint32_t bitmap_index : 20;
  uint32_t adv_w : 12; /* pixels * 16 */
  uint8_t box_w;
  uint8_t box_h;
  int8_t ofs_x;
  int8_t ofs_y; /* from the baseline up to the box's bottom */
#else
  uint32_t bitmap_index;
  uint32_t adv_w;
  uint16_t box_w;
  uint16_t box_h;
  int16_t ofs_x;
  int16_t ofs_y;
#endif
} lv_font_fmt_txt_glyph_dsc_t;

enum {
  LV_FONT_FMT_TXT_CMAP_FORMAT0_FULL,
  LV_FONT_FMT_TXT_CMAP_SPARSE_FULL,
  LV_FONT_FMT_TXT_CMAP_FORMAT0_TINY,
  LV_FONT_FMT_TXT_CMAP_SPARSE_TINY
};
typedef uint8_t lv_font_fmt_txt_cmap_type_t;

typedef struct {
  uint32_t range_start;
  uint16_t range_length;
  uint16_t glyph_id_start;
  const uint16_t* unicode_list;
  const void* glyph_id_ofs_list;
  uint16_t list_length;
  lv_font_fmt_txt_cmap_type_t type;
} lv_font_fmt_txt_cmap_t;

typedef struct {
  const uint8_t* glyph_bitmap;
  const lv_font_fmt_txt_glyph_dsc_t* glyph_dsc;
  const lv_font_fmt_txt_cmap_t* cmaps;
  const void* kern_dsc;
  uint16_t kern_scale;
  uint16_t cmap_num : 9;
  uint16_t bpp : 4;
  uint16_t kern_classes : 1;
  uint16_t bitmap_format : 2;
  uint8_t stride; /* 0: rows are not padded */
} lv_font_fmt_txt_dsc_t;

bool lv_font_get_glyph_dsc_fmt_txt(const lv_font_t* font, lv_font_glyph_dsc_t* dsc_out,
                                   uint32_t letter, uint32_t letter_next);
/* Unlike LVGL's, gives each pixel's level (0 .. 2^bpp - 1), a byte each, row after row. */
const void* lv_font_get_bitmap_fmt_txt(lv_font_glyph_dsc_t* g_dsc, lv_draw_buf_t* draw_buf);

#define LV_FONT_DECLARE(name) extern const lv_font_t name;

#endif
