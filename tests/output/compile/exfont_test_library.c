#include "exfont_test_library.h"

#include <stdio.h>
#include <string.h>

EXFONT* exfont_installed;
static char canvas[64][64];

void EXFONT_data_init(EXFONT_DATA* data, int width, int height, size_t count,
                      EXFONT_DATA_ITEM* items) {
  *data = (EXFONT_DATA){width, height, count, items};
}

void EXFONT_init(EXFONT* font, const char* name, unsigned long text_colour,
                 unsigned long back_colour, int bk_mode, draw_pixel_func draw_pixel) {
  (void)name, (void)back_colour, (void)bk_mode; /* the golden files check these */
  *font = (EXFONT){text_colour, draw_pixel, {0, 0}};
  exfont_installed = font;
}

void EXFONT_set_thin_font_data(EXFONT* font, const EXFONT_DATA* data) {
  font->tables[0] = data;
}
void EXFONT_set_wide_font_data(EXFONT* font, const EXFONT_DATA* data) {
  font->tables[1] = data;
}

void exfont_draw_pixel(int x, int y, unsigned long colour) {
  canvas[y][x] = colour == 0xff0000UL ? '#' : '?';
}

void exfont_print_font(const EXFONT* font, const char* value_format) {
  int kind, x, y;
  size_t i;
  for (kind = 0; kind < 2; ++kind) {
    const EXFONT_DATA* table = font->tables[kind];
    printf("%d %d %lu\n", table->width, table->height, (unsigned long)table->count);
    for (i = 0; i < table->count; ++i) {
      const unsigned char* bytes = table->items[i].data;
      memset(canvas, '.', sizeof canvas);
      for (y = 0; y < table->height; ++y)
        for (x = 0; x < table->width; ++x)
          if ((bytes[y * ((table->width + 7) >> 3) + (x >> 3)] >> (7 - (x & 7))) & 1)
            font->draw_pixel(x, y, font->text_colour);
      printf(value_format, (unsigned)table->items[i].value);
      for (y = 0; y < table->height; ++y) printf("%.*s\n", table->width, canvas[y]);
    }
  }
}
