/* The two types of an Adafruit GFX font, as its documentation describes them, for the tests. */
#ifndef GFXFONT_TEST_H
#define GFXFONT_TEST_H

#include <stdint.h>

typedef struct {
  uint16_t bitmapOffset; /* the glyph's first byte in the font's bitmap */
  uint8_t width, height; /* its box */
  uint8_t xAdvance;      /* how far the cursor moves on */
  int8_t xOffset;        /* the box's top-left corner from the cursor on the baseline */
  int8_t yOffset;
} GFXglyph;

typedef struct {
  uint8_t* bitmap;
  GFXglyph* glyph;
  uint16_t first, last; /* the codes glyph[0] and the last glyph stand for */
  uint8_t yAdvance;     /* from one line to the next */
} GFXfont;

#endif
