/* Prints a font's lines, then for each code point read as hexadecimal from standard input its
   glyph as LVGL gets it: advance, box, offsets and each pixel's level (one hex digit, two at
   8 bits per pixel), or "none". The font is the binary file named by the argument, or with a
   number the font of that index in test_fonts[], which the header FONT_TABLE declares. */
#include <stdio.h>
#include <stdlib.h>

#include "lvgl_test_decoder.h"

#ifdef FONT_TABLE
#include FONT_TABLE
#endif

int main(int argc, char** argv) {
  static uint8_t levels[1 << 20];
  lv_draw_buf_t buffer;
  const lv_font_t* font = NULL;
  unsigned code;
  buffer.data = levels;
  if (argc < 2) return 2;
#ifdef FONT_TABLE
  if (argv[1][0] >= '0' && argv[1][0] <= '9') font = test_fonts[atoi(argv[1])];
#endif
  if (font == NULL) font = lvgl_test_load_binary(argv[1]);
  if (font == NULL) return 1;
  printf("line %d base %d underline %d %d\n", (int)font->line_height, (int)font->base_line,
         font->underline_position, font->underline_thickness);
  while (scanf("%x", &code) == 1) {
    lv_font_glyph_dsc_t glyph;
    int x, y;
    if (!font->get_glyph_dsc(font, &glyph, code, 0)) {
      printf("U+%04X none\n", code);
      continue;
    }
    printf("U+%04X %d %dx%d %d,%d\n", code, glyph.adv_w, glyph.box_w, glyph.box_h, glyph.ofs_x,
           glyph.ofs_y);
    if (glyph.box_w * glyph.box_h == 0) continue;
    font->get_glyph_bitmap(&glyph, &buffer);
    for (y = 0; y < glyph.box_h; ++y) {
      for (x = 0; x < glyph.box_w; ++x) {
        printf(glyph.format == 8 ? "%02x" : "%x", levels[y * glyph.box_w + x]);
      }
      printf("\n");
    }
  }
  return 0;
}
