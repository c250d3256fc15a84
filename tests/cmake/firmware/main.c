/* Installs both fonts and prints, for each, every table's "width height count" and each glyph's
 * key and pixels as drawn through the font's draw_pixel function. */
#include <stdio.h>

#include "exfont_test_library.h"
#include "grid.h"
#include "worked.h"

int main(void) {
  install_unicode_8x2_font(exfont_draw_pixel);
  install_ansi_8x8_font(exfont_draw_pixel);
  printf("worked\n");
  exfont_print_font(&g_unicode_font2, "%04x\n");
  printf("grid\n");
  exfont_print_font(&g_ansi_font8, "%04x\n");
  return 0;
}
