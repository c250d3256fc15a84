/* The EXFONT functions an exported source calls, and glyph drawing for the tests. */
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
  font->name = name;
  font->text_colour = text_colour;
  font->back_colour = back_colour;
  font->bk_mode = bk_mode;
  font->draw_pixel = draw_pixel;
  font->thin = 0;
  font->wide = 0;
}

void EXFONT_set_thin_font_data(EXFONT* font, const EXFONT_DATA* data) {
  font->thin = data;
}

void EXFONT_set_wide_font_data(EXFONT* font, const EXFONT_DATA* data) {
  font->wide = data;
}

int EXFONT_draw_glyph(const EXFONT* font, int wide, size_t index, int x, int y) {
  const EXFONT_DATA* table = wide ? font->wide : font->thin;
  const unsigned char* bytes;
  int row_bytes;
  int row;
  int column;
  if (table == 0 || index >= table->count) return 0;
  bytes = table->items[index].data;
  row_bytes = (table->width + 7) >> 3;
  for (row = 0; row < table->height; ++row) {
    for (column = 0; column < table->width; ++column) {
      int ink = (bytes[row * row_bytes + (column >> 3)] >> (7 - (column & 7))) & 1;
      if (ink) {
        font->draw_pixel(x + column, y + row, font->text_colour);
      } else if (font->bk_mode != BKMODE_TRANSPARENT) {
        font->draw_pixel(x + column, y + row, font->back_colour);
      }
    }
  }
  return table->width;
}

int EXFONT_draw_char(const EXFONT* font, unsigned short value, int x, int y) {
  int wide;
  size_t i;
  for (wide = 0; wide < 2; ++wide) {
    const EXFONT_DATA* table = wide ? font->wide : font->thin;
    if (table == 0) continue;
    for (i = 0; i < table->count; ++i) {
      if (table->items[i].value == value) return EXFONT_draw_glyph(font, wide, i, x, y);
    }
  }
  return 0;
}
