/* The stand-in's functions: each keeps what it is given. */
#include "ExFont.h"

void EXFONT_data_init(EXFONT_DATA* data, int width, int height, size_t count,
                      EXFONT_DATA_ITEM* items) {
  data->width = width;
  data->height = height;
  data->count = count;
  data->items = items;
}

void EXFONT_init(EXFONT* font, const char* name, unsigned long text_colour,
                 unsigned long back_colour, int bk_mode, draw_pixel_func draw_pixel) {
  (void)name;
  font->text_colour = text_colour;
  font->back_colour = back_colour;
  font->bk_mode = bk_mode;
  font->draw_pixel = draw_pixel;
  font->thin = font->wide = NULL;
}

void EXFONT_set_thin_font_data(EXFONT* font, const EXFONT_DATA* data) { font->thin = data; }
void EXFONT_set_wide_font_data(EXFONT* font, const EXFONT_DATA* data) { font->wide = data; }
