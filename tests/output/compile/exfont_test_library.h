/* The EXFONT functions for the tests, and a printout of an installed font drawn through them. */
#ifndef EXFONT_TEST_LIBRARY_H
#define EXFONT_TEST_LIBRARY_H

#include "ExFont.h"

/* The font EXFONT_init last set up. */
extern EXFONT* exfont_installed;

/* A draw_pixel_func onto the printout's canvas: the text colour, RGB(255, 0, 0), draws '#'. */
void exfont_draw_pixel(int x, int y, unsigned long colour);

/* Prints each table's "width height count", then each glyph's value (with `value_format`, e.g.
 * "%u\n") and its rows of pixels as drawn through the font's draw_pixel, '.' where nothing was. */
void exfont_print_font(const EXFONT* font, const char* value_format);

#endif
