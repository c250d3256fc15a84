/* Draws "23.5°C 中文" twice into a 1-bit frame buffer: from GBK bytes through a font keyed by GBK
 * codes, and from UTF-16 units through a font keyed by Unicode. Each character is looked up in
 * both tables of its font. Prints the frame buffer; exit status 1 when a character is in neither
 * table. */
#include <stdio.h>

#include "song16_gbk.h"
#include "song16_unicode.h"

#define FRAME_WIDTH 96
#define FRAME_HEIGHT 32

static unsigned char frame[FRAME_HEIGHT][FRAME_WIDTH / 8];

/* The installation gives the font the text colour RGB(255, 0, 0) and a transparent background,
 * so draw_pixel is called for the glyph's set pixels alone, with that colour: a 1-bit display sets
 * the pixel whatever the colour is. */
static void draw_pixel(int x, int y, unsigned long colour) {
  (void)colour;
  if (x >= 0 && x < FRAME_WIDTH && y >= 0 && y < FRAME_HEIGHT)
    frame[y][x >> 3] |= (unsigned char)(0x80 >> (x & 7));
}

/* The item of `key` in a table sorted by value, or NULL. */
static const EXFONT_DATA_ITEM* find_item(const EXFONT_DATA* table, unsigned short key) {
  size_t low = 0, high = table->count;
  while (low < high) {
    size_t middle = low + (high - low) / 2;
    if (table->items[middle].value < key)
      low = middle + 1;
    else
      high = middle;
  }
  return low < table->count && table->items[low].value == key ? &table->items[low] : NULL;
}

/* Draws the glyph of `key` with its top left corner at (x, y) and gives the x of the next
 * character, or -1 when the font has no such key. A key is in the thin table or in the wide one,
 * whatever its number of bytes: a glyph half as wide as the font is thin ("°" is A1E3 in GBK). */
static int draw_character(const EXFONT* font, unsigned short key, int x, int y) {
  const EXFONT_DATA* tables[2];
  int kind, row, column;
  tables[0] = font->thin;
  tables[1] = font->wide;
  for (kind = 0; kind < 2; ++kind) {
    const EXFONT_DATA* table = tables[kind];
    const EXFONT_DATA_ITEM* item = find_item(table, key);
    const int row_bytes = (table->width + 7) >> 3;
    if (item == NULL) continue;
    for (row = 0; row < table->height; ++row)
      for (column = 0; column < table->width; ++column)
        if (item->data[row * row_bytes + (column >> 3)] & (0x80 >> (column & 7)))
          font->draw_pixel(x + column, y + row, font->text_colour);
    return x + table->width;
  }
  return -1;
}

/* GBK text: a byte below 0x81 is a character of its own; a greater one and the byte after it are
 * one character, keyed low byte first (中, D6 D0, is 0xd0d6). */
static int draw_gbk(const EXFONT* font, const unsigned char* text, int x, int y) {
  while (*text != 0 && x >= 0) {
    unsigned short key = text[0];
    if (text[0] >= 0x81 && text[1] != 0) key = (unsigned short)(text[0] | text[1] << 8), ++text;
    ++text;
    x = draw_character(font, key, x, y);
  }
  return x;
}

/* UTF-16 text: each unit is its own key. */
static int draw_utf16(const EXFONT* font, const unsigned short* text, int x, int y) {
  while (*text != 0 && x >= 0) x = draw_character(font, *text++, x, y);
  return x;
}

int main(void) {
  static const unsigned char gbk[] = "23.5\xa1\xe3" "C \xd6\xd0\xce\xc4";
  static const unsigned short utf16[] = {'2', '3', '.', '5', 0x00b0, 'C', ' ', 0x4e2d, 0x6587, 0};
  int found, x, y;
  install_song16_gbk(draw_pixel);
  install_song16_unicode(draw_pixel);
  found = draw_gbk(&g_song16_gbk, gbk, 0, 0) >= 0;
  found = draw_utf16(&g_song16_unicode, utf16, 0, 16) >= 0 && found;
  for (y = 0; y < FRAME_HEIGHT; ++y) {
    for (x = 0; x < FRAME_WIDTH; ++x) putchar(frame[y][x >> 3] & (0x80 >> (x & 7)) ? '#' : '.');
    putchar('\n');
  }
  return found ? 0 : 1;
}
