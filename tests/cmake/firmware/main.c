/* Installs both fonts and prints, for each, every table's "width height count" and each glyph's
 * key and pixels as drawn through the font's draw_pixel function. */
#include <stdio.h>
#include <string.h>

#include "grid.h"
#include "worked.h"

static char canvas[16][16];

void EXFONT_data_init(EXFONT_DATA* data, int width, int height, size_t count,
                      EXFONT_DATA_ITEM* items) {
  *data = (EXFONT_DATA){width, height, count, items};
}

void EXFONT_init(EXFONT* font, const char* name, unsigned long text_colour,
                 unsigned long back_colour, int bk_mode, draw_pixel_func draw_pixel) {
  (void)name, (void)back_colour, (void)bk_mode;
  *font = (EXFONT){text_colour, draw_pixel, {0, 0}};
}

void EXFONT_set_thin_font_data(EXFONT* font, const EXFONT_DATA* data) {
  font->tables[0] = data;
}
void EXFONT_set_wide_font_data(EXFONT* font, const EXFONT_DATA* data) {
  font->tables[1] = data;
}

static void draw_pixel(int x, int y, unsigned long colour) {
  canvas[y][x] = colour == 0xff0000UL ? '#' : '?';
}

static void print_font(const char* name, const EXFONT* font) {
  int kind, x, y;
  size_t i;
  printf("%s\n", name);
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
      printf("%04x\n", (unsigned)table->items[i].value);
      for (y = 0; y < table->height; ++y) printf("%.*s\n", table->width, canvas[y]);
    }
  }
}

int main(void) {
  install_unicode_8x2_font(draw_pixel);
  install_ansi_8x8_font(draw_pixel);
  print_font("worked", &g_unicode_font2);
  print_font("grid", &g_ansi_font8);
  return 0;
}
