/* A small stand-in for the EXFONT library a firmware brings, enough for this example: it keeps
 * what a font's installation function hands it. Use your own library's ExFont.h instead. */
#ifndef EXFONT_H
#define EXFONT_H

#include <stddef.h>

#define BKMODE_TRANSPARENT 1

typedef void (*draw_pixel_func)(int x, int y, unsigned long colour);
typedef struct {
  unsigned short value;
  unsigned char* data;
} EXFONT_DATA_ITEM;
typedef struct {
  int width, height;
  size_t count;
  EXFONT_DATA_ITEM* items; /* sorted by value; only read */
} EXFONT_DATA;
typedef struct {
  unsigned long text_colour, back_colour;
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

#endif
