/* Test decoders of the u8g2, GFX and raw fonts, written from each format's description. Built with
 * -DHEADER='"x.h"', -DFONT=<name> and one of -DU8G2, -DGFX or -DRAW=<layout 0..3> -DROTATION=<deg>.
 * Reads hexadecimal codes from standard input and prints, for each, "code none" or its numbers
 * and its pixels upright, '#' for ink, one line a row. */
#include <stdio.h>
#include <stdlib.h>

#include HEADER

#if defined(U8G2)
static void fail(const char* what, unsigned code) {
  printf("%04x broken: %s\n", code, what);
  exit(1);
}

/* Bits are read from the least significant end of each byte, a value's lowest bit first. */
static const uint8_t* bits_at;
static unsigned bits_used;
static unsigned take(unsigned count) {
  unsigned value = 0, i;
  for (i = 0; i < count; ++i, ++bits_used)
    value |= (unsigned)((bits_at[bits_used / 8] >> (bits_used % 8)) & 1) << i;
  return value;
}
static int take_signed(unsigned count) {
  return (int)take(count) - (1 << (count - 1));
}
static unsigned word(const uint8_t* p) {
  return (unsigned)p[0] << 8 | p[1];
}

/* The glyph's bits and its record's size, or NULL. */
static const uint8_t* find(unsigned code, unsigned* size) {
  const uint8_t *p = FONT + 23, *table = FONT + 23 + word(FONT + 21);
  unsigned last;
  if (code <= 0xff) {
    if (code >= 'a')
      p += word(FONT + 19);
    else if (code >= 'A')
      p += word(FONT + 17);
    for (; p[1] != 0; p += p[1])
      if (p[0] == code) return *size = p[1] - 2, p + 2;
    return NULL;
  }
  p = table; /* the first jump starts at the table */
  do {
    p += word(table);
    last = word(table + 2);
    table += 4;
  } while (last < code);
  for (; word(p) != 0; p += p[2])
    if (word(p) == code) return *size = p[2] - 3, p + 3;
  return NULL;
}

static void print_glyph(unsigned code) {
  static char pixels[128 * 128];
  unsigned size, w, h, x, y, n = 0, a, b, i;
  int ox, oy, advance;
  const uint8_t* glyph = find(code, &size);
  if (!glyph) {
    printf("%04x none\n", code);
    return;
  }
  bits_at = glyph, bits_used = 0;
  w = take(FONT[4]), h = take(FONT[5]);
  ox = take_signed(FONT[6]), oy = take_signed(FONT[7]), advance = take_signed(FONT[8]);
  /* The font's box holds every glyph's. */
  if (w && (ox < (int8_t)FONT[11] || ox + (int)w > (int8_t)FONT[11] + (int8_t)FONT[9] ||
            oy < (int8_t)FONT[12] || oy + (int)h > (int8_t)FONT[12] + (int8_t)FONT[10]))
    fail("outside the font's box", code);
  /* Pairs of a zeros and b ones, repeated while a 1 bit follows, until the box is full. */
  while (w && n < w * h) {
    a = take(FONT[2]), b = take(FONT[3]);
    do {
      if (n + a + b > w * h) fail("runs beyond the box", code);
      for (i = 0; i < a; ++i) pixels[n++] = '.';
      for (i = 0; i < b; ++i) pixels[n++] = '#';
    } while (take(1));
  }
  if ((bits_used + 7) / 8 > size) fail("bits beyond the record", code);
  printf("%04x %u %u %d %d %d\n", code, w, h, ox, oy + (int)h, advance);
  for (y = 0; y < h; ++y, putchar('\n'))
    for (x = 0; x < w; ++x) putchar(pixels[y * w + x]);
}

#elif defined(GFX)
static void print_glyph(unsigned code) {
  const GFXglyph* glyph;
  unsigned x, y, n;
  if (code < FONT.first || code > FONT.last) {
    printf("%04x none\n", code);
    return;
  }
  glyph = &FONT.glyph[code - FONT.first];
  printf("%04x %u %u %d %d %u\n", code, glyph->width, glyph->height, glyph->xOffset,
         -glyph->yOffset, glyph->xAdvance);
  /* The box's pixels one after the other, rows not padded, the first in the top bit. */
  for (y = 0, n = 0; y < glyph->height; ++y, putchar('\n'))
    for (x = 0; x < glyph->width; ++x, ++n)
      putchar(FONT.bitmap[glyph->bitmapOffset + n / 8] & (0x80 >> n % 8) ? '#' : '.');
}
#elif defined(RAW)
/* The pixel at (u, v) of a stored cell `width` wide and `height` high. */
static int stored_pixel(const uint8_t* cell, unsigned width, unsigned height, unsigned u,
                        unsigned v) {
  unsigned row_bytes = (width + 7) / 8;
  (void)height;
  switch (RAW) {
    case 0:
      return cell[v * row_bytes + u / 8] >> (7 - u % 8) & 1; /* rows-msb */
    case 1:
      return cell[v * row_bytes + u / 8] >> (u % 8) & 1; /* rows-lsb */
    case 2:
      return cell[v / 8 * width + u] >> (v % 8) & 1; /* pages-lsb */
    default:
      return cell[v / 8 * width + u] >> (7 - v % 8) & 1; /* pages-msb */
  }
}

static void print_glyph(unsigned code) {
  unsigned width, height, x, y, upright_width, upright_height, u, v;
  const uint8_t* cell = FONT(code, &width, &height);
  if (!cell) {
    printf("%04x none\n", code);
    return;
  }
  upright_width = ROTATION % 180 ? height : width;
  upright_height = ROTATION % 180 ? width : height;
  printf("%04x %u %u\n", code, upright_width, upright_height);
  /* Where the upright pixel (x, y) went when the cell was turned clockwise. */
  for (y = 0; y < upright_height; ++y, putchar('\n')) {
    for (x = 0; x < upright_width; ++x) {
      switch (ROTATION) {
        case 90:
          u = upright_height - 1 - y, v = x;
          break;
        case 180:
          u = upright_width - 1 - x, v = upright_height - 1 - y;
          break;
        case 270:
          u = y, v = upright_width - 1 - x;
          break;
        default:
          u = x, v = y;
      }
      putchar(stored_pixel(cell, width, height, u, v) ? '#' : '.');
    }
  }
}
#endif

int main(void) {
  unsigned code;
  while (scanf("%x", &code) == 1) print_glyph(code);
  return 0;
}
