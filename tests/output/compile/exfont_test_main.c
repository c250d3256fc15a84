/* A program that installs the exported font (-DHEADER='"song7.h"' -DINSTALL=install_..._font)
 * and prints each table's "width height count", then each glyph's value and pixels drawn through
 * it. */
#include HEADER

#include "exfont_test_library.h"

int main(void) {
  INSTALL(exfont_draw_pixel);
  exfont_print_font(exfont_installed, "%u\n");
  return 0;
}
