/* Installs both fonts (named after their targets) and prints, for each, every table's "width height count" and each glyph's
 * key and pixels as drawn through the font's draw_pixel function. */
#include <stdio.h>

#include "exfont_test_library.h"
#include "grid.h"
#include "worked.h"

int main(void) {
  install_worked(exfont_draw_pixel);
  install_grid(exfont_draw_pixel);
  printf("worked\n");
  exfont_print_font(&g_worked, "%04x\n");
  printf("grid\n");
  exfont_print_font(&g_grid, "%04x\n");
  return 0;
}
