/* Installs an exported font and prints every glyph of both tables as drawn through the library:
 *   font <name> <text colour> <background colour> <background mode>
 *   table thin|wide <width> <height> <count>
 *   glyph <value>        followed by <height> rows of <width> '#' (drawn) or '.' cells
 * Built with -DEXPORTED_HEADER='"name.h"' -DINSTALL_FONT=install_..._font
 * -DFONT_OBJECT=g_..._font<h>.
 */
#include <stdio.h>
#include <string.h>

#include EXPORTED_HEADER

enum { kCanvasSize = 160 };

static unsigned char canvas[kCanvasSize][kCanvasSize];
static unsigned long pixels_out_of_canvas;
static unsigned long pixels_in_wrong_colour;
static unsigned long pixels_outside_cells;

static void draw_pixel(int x, int y, unsigned long colour) {
  if (x < 0 || y < 0 || x >= kCanvasSize || y >= kCanvasSize) {
    ++pixels_out_of_canvas;
    return;
  }
  if (colour != 0xff0000UL) ++pixels_in_wrong_colour;
  canvas[y][x] = 1;
}

static void print_table(const char* kind, int wide, const EXFONT_DATA* table) {
  size_t i;
  int x;
  int y;
  int inside;
  int total;
  printf("table %s %d %d %lu\n", kind, table->width, table->height, (unsigned long)table->count);
  for (i = 0; i < table->count; ++i) {
    memset(canvas, 0, sizeof canvas);
    /* Drawn off the corner so a glyph that writes left or above its cell shows as a wrong cell. */
    if (EXFONT_draw_glyph(&FONT_OBJECT, wide, i, 1, 1) != table->width) {
      printf("draw failed\n");
      continue;
    }
    printf("glyph 0x%04x\n", (unsigned)table->items[i].value);
    inside = 0;
    for (y = 0; y < table->height; ++y) {
      for (x = 0; x < table->width; ++x) {
        inside += canvas[y + 1][x + 1];
        putchar(canvas[y + 1][x + 1] ? '#' : '.');
      }
      putchar('\n');
    }
    total = 0;
    for (y = 0; y < kCanvasSize; ++y) {
      for (x = 0; x < kCanvasSize; ++x) total += canvas[y][x];
    }
    pixels_outside_cells += (unsigned long)(total - inside);
  }
}

int main(void) {
  INSTALL_FONT(draw_pixel);
  printf("font %s %06lx %06lx %d\n", FONT_OBJECT.name, FONT_OBJECT.text_colour,
         FONT_OBJECT.back_colour, FONT_OBJECT.bk_mode);
  print_table("thin", 0, FONT_OBJECT.thin);
  print_table("wide", 1, FONT_OBJECT.wide);
  printf("stray %lu %lu %lu\n", pixels_out_of_canvas, pixels_in_wrong_colour, pixels_outside_cells);
  return 0;
}
