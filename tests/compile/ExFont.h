/* A small EXFONT library for the export tests: the font objects an exported source installs, and
 * drawing one glyph through the installed font with a pixel callback. */
#ifndef EXFONT_H
#define EXFONT_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Background modes: a transparent background draws only the ink pixels. */
#define BKMODE_TRANSPARENT 1
#define BKMODE_OPAQUE 2

typedef void (*draw_pixel_func)(int x, int y, unsigned long colour);

/* One glyph: its code and its rows of ((width + 7) >> 3) bytes, most significant bit leftmost. */
typedef struct {
  unsigned short value;
  unsigned char* data;
} EXFONT_DATA_ITEM;

/* A table of glyphs of one width and height; items may be null when count is 0. */
typedef struct {
  int width;
  int height;
  size_t count;
  EXFONT_DATA_ITEM* items;
} EXFONT_DATA;

typedef struct {
  const char* name;
  unsigned long text_colour;
  unsigned long back_colour;
  int bk_mode;
  draw_pixel_func draw_pixel;
  const EXFONT_DATA* thin;
  const EXFONT_DATA* wide;
} EXFONT;

void EXFONT_data_init(EXFONT_DATA* data, int width, int height, size_t count,
                      EXFONT_DATA_ITEM* items);
void EXFONT_init(EXFONT* font, const char* name, unsigned long text_colour,
                 unsigned long back_colour, int bk_mode, draw_pixel_func draw_pixel);
void EXFONT_set_thin_font_data(EXFONT* font, const EXFONT_DATA* data);
void EXFONT_set_wide_font_data(EXFONT* font, const EXFONT_DATA* data);

/* Draws item `index` of the thin (wide = 0) or wide table with its top-left corner at (x, y) and
 * returns the table's width; 0 when there is no such item. */
int EXFONT_draw_glyph(const EXFONT* font, int wide, size_t index, int x, int y);

/* Draws the glyph with code `value`, looked up in the thin table first, then in the wide one;
 * returns its width, 0 when neither table holds it. */
int EXFONT_draw_char(const EXFONT* font, unsigned short value, int x, int y);

#ifdef __cplusplus
}
#endif

#endif /* EXFONT_H */
