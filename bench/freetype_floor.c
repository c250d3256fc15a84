/* The floor under any converter: FreeType loading and rendering every character as Pindot's
 * canvas does, and the rows of each bitmap copied into one packed byte array, nothing else.
 * Timed beside `pindot` by bench/run-floor; see bench/README.md.
 *
 *   pindot_freetype_floor [--dump] FONT HEIGHT (--range A-B | --symbols TEXT)...
 *   pindot_freetype_floor --version      (the FreeType it runs on)
 *
 * Each character is loaded with FT_LOAD_TARGET_MONO (embedded bitmaps used) from the first face of
 * FONT, sized so that the cell is HEIGHT rows, and an outline is rendered with FT_RENDER_MODE_MONO;
 * a TrueType face without a hinting program gets smart dropout control first. Its rows are packed
 * eight pixels a byte, the leftmost in the high bit, a row per cell row, as wide as the advance and
 * clipped to the 148 x 148 canvas, and appended to the array. A checksum of the array is printed so
 * the work cannot be left out. --dump prints each row in hexadecimal instead, one line a row, to
 * compare with the rows of `pindot --preview`.
 */
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H
#include FT_TRUETYPE_TAGS_H

#include <errno.h>
#include <math.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

/* The canvas is 148 pixels square and the cell starts one pixel in from its top left corner. */
enum { kCanvasSize = 148, kCellInset = 1, kCellLimit = kCanvasSize - kCellInset };

static void Fail(const char* message, const char* detail) {
  fprintf(stderr, "pindot_freetype_floor: %s%s%s\n", message, detail ? ": " : "",
          detail ? detail : "");
  exit(2);
}

static void* Grow(void* block, size_t size) {
  void* grown = realloc(block, size);
  if (grown == NULL) Fail("out of memory", NULL);
  return grown;
}

/* UTF-16 units, as Pindot draws them: characters beyond U+FFFF become two surrogate units. */
typedef struct {
  uint16_t* units;
  size_t count;
  size_t capacity;
} UnitList;

static void AppendCodePoint(UnitList* list, uint32_t codePoint) {
  if (list->count + 2 > list->capacity) {
    list->capacity = list->capacity ? list->capacity * 2 : 1024;
    list->units = Grow(list->units, list->capacity * sizeof list->units[0]);
  }
  if (codePoint >= 0x10000) {
    codePoint -= 0x10000;
    list->units[list->count++] = (uint16_t)(0xD800 + (codePoint >> 10));
    list->units[list->count++] = (uint16_t)(0xDC00 + (codePoint & 0x3FF));
  } else {
    list->units[list->count++] = (uint16_t)codePoint;
  }
}

/* "0x4E00-0x9FA5" or "19968-40869": hexadecimal after 0x, otherwise decimal. */
static void AppendRange(UnitList* list, const char* text) {
  char* end = NULL;
  errno = 0;
  unsigned long first = strtoul(text, &end, 0);
  if (end == text || *end != '-') Fail("expected a range A-B", text);
  const char* second = end + 1;
  unsigned long last = strtoul(second, &end, 0);
  if (end == second || *end != '\0' || errno != 0 || first > last || last > 0x10FFFF) {
    Fail("not a range of code points A-B with A <= B <= 0x10FFFF", text);
  }
  for (unsigned long codePoint = first; codePoint <= last; ++codePoint) {
    AppendCodePoint(list, (uint32_t)codePoint);
  }
}

static void AppendUtf8(UnitList* list, const char* text) {
  const unsigned char* at = (const unsigned char*)text;
  while (*at != 0) {
    uint32_t codePoint = *at;
    int trailing = codePoint < 0x80 ? 0 : codePoint >= 0xF0 ? 3 : codePoint >= 0xE0 ? 2 : 1;
    if (codePoint >= 0x80 && codePoint < 0xC0) Fail("--symbols is not UTF-8", NULL);
    if (trailing > 0) codePoint &= 0x3F >> trailing;
    ++at;
    for (int i = 0; i < trailing; ++i, ++at) {
      if ((*at & 0xC0) != 0x80) Fail("--symbols is not UTF-8", NULL);
      codePoint = (codePoint << 6) | (*at & 0x3F);
    }
    AppendCodePoint(list, codePoint);
  }
}

/* The packed rows of every glyph, one after the other. */
typedef struct {
  unsigned char* bytes;
  size_t size;
  size_t capacity;
} ByteArray;

static unsigned char* Extend(ByteArray* array, size_t size) {
  if (array->size + size > array->capacity) {
    while (array->size + size > array->capacity) {
      array->capacity = array->capacity ? array->capacity * 2 : 1 << 20;
    }
    array->bytes = Grow(array->bytes, array->capacity);
  }
  unsigned char* start = array->bytes + array->size;
  array->size += size;
  return start;
}

/* The face's state, set up as the canvas sets it up. */
typedef struct {
  FT_Face face;
  int symbolCharmap;
  int keepThinStems;
  int ascent; /* the baseline lies this many rows below the cell's top */
  int height;
} Floor;

static int RoundPixels(FT_Pos value) {
  return (int)floor(value / 64.0 + 0.5);
}

static int HasHintingProgram(FT_Face face) {
  const FT_ULong tags[] = {TTAG_fpgm, TTAG_prep};
  for (size_t i = 0; i < 2; ++i) {
    FT_ULong length = 0;
    if (FT_Load_Sfnt_Table(face, tags[i], 0, NULL, &length) == 0 && length > 0) return 1;
  }
  return 0;
}

static void SelectCharmap(Floor* floor) {
  if (FT_Select_Charmap(floor->face, FT_ENCODING_UNICODE) == 0) return;
  if (FT_Select_Charmap(floor->face, FT_ENCODING_MS_SYMBOL) == 0) {
    floor->symbolCharmap = 1;
    return;
  }
  if (floor->face->num_charmaps > 0) FT_Set_Charmap(floor->face, floor->face->charmaps[0]);
}

static FT_UInt GlyphIndex(const Floor* floor, uint32_t unit) {
  FT_UInt index = FT_Get_Char_Index(floor->face, unit);
  if (index == 0 && floor->symbolCharmap && unit <= 0xFF) {
    index = FT_Get_Char_Index(floor->face, 0xF000 + unit);
  }
  return index;
}

/* Outlines: the em that makes usWinAscent + usWinDescent (else the hhea ascender and descender)
 * fill `height` rows. Strikes only: the strike nearest in height, smaller on a tie. */
static void SetCellHeight(Floor* floor, int height) {
  FT_Face face = floor->face;
  floor->height = height;
  if (FT_IS_SCALABLE(face)) {
    long ascent = 0;
    long descent = 0;
    TT_OS2* os2 = FT_Get_Sfnt_Table(face, FT_SFNT_OS2);
    TT_HoriHeader* hhea = FT_Get_Sfnt_Table(face, FT_SFNT_HHEA);
    if (os2 != NULL && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
      ascent = os2->usWinAscent;
      descent = os2->usWinDescent;
    } else if (hhea != NULL && hhea->Ascender - hhea->Descender > 0) {
      ascent = hhea->Ascender;
      descent = -hhea->Descender;
    } else if (face->ascender - face->descender > 0) {
      ascent = face->ascender;
      descent = -face->descender;
    } else {
      ascent = face->units_per_EM * 4 / 5;
      descent = face->units_per_EM - ascent;
    }
    double total = (double)(ascent + descent);
    long ppem = lround(height * (double)face->units_per_EM / total);
    if (FT_Set_Pixel_Sizes(face, 0, (FT_UInt)(ppem > 1 ? ppem : 1)) != 0) {
      Fail("cannot set the pixel size", NULL);
    }
    floor->ascent = (int)lround(height * ascent / total);
    return;
  }
  if (face->num_fixed_sizes <= 0) Fail("the font has neither outlines nor strikes", NULL);
  int best = 0;
  for (int i = 1; i < face->num_fixed_sizes; ++i) {
    int distance = abs(face->available_sizes[i].height - height);
    int bestDistance = abs(face->available_sizes[best].height - height);
    if (distance < bestDistance ||
        (distance == bestDistance &&
         face->available_sizes[i].height < face->available_sizes[best].height)) {
      best = i;
    }
  }
  if (FT_Select_Size(face, best) != 0) Fail("cannot select the font's bitmap strike", NULL);
  floor->ascent = RoundPixels(face->size->metrics.ascender);
  floor->height = floor->ascent - RoundPixels(face->size->metrics.descender);
  if (floor->height <= 0) {
    floor->ascent = face->available_sizes[best].height;
    floor->height = floor->ascent;
  }
}

/* Loads and renders one unit into the glyph slot: a unit the face lacks is its glyph 0. Returns
 * the advance in whole pixels and whether the slot holds a bitmap to copy. */
static int LoadUnit(const Floor* floor, uint32_t unit, int* hasBitmap) {
  FT_UInt index = GlyphIndex(floor, unit);
  FT_Error error = FT_Load_Glyph(floor->face, index, FT_LOAD_TARGET_MONO);
  if (error != 0 && index != 0) error = FT_Load_Glyph(floor->face, 0, FT_LOAD_TARGET_MONO);
  *hasBitmap = 0;
  if (error != 0) return 0;
  FT_GlyphSlot slot = floor->face->glyph;
  if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
    if (floor->keepThinStems && (slot->outline.flags & FT_OUTLINE_IGNORE_DROPOUTS) != 0) {
      slot->outline.flags &= ~FT_OUTLINE_IGNORE_DROPOUTS;
      slot->outline.flags |= FT_OUTLINE_SMART_DROPOUTS;
    }
    error = FT_Render_Glyph(slot, FT_RENDER_MODE_MONO);
  }
  *hasBitmap = error == 0 && slot->format == FT_GLYPH_FORMAT_BITMAP;
  int advance = RoundPixels(slot->advance.x);
  return advance > 0 ? advance : 0;
}

/* Eight pixels of a bitmap row from column `first` on (which may lie left of it), the leftmost in
 * the high bit; columns outside 0..width - 1 are blank. */
static unsigned ReadEight(const unsigned char* row, int width, int mono, int first) {
  if (mono && first >= 0 && first + 8 <= width) {
    const int shift = first & 7;
    const unsigned char* at = row + (first >> 3);
    unsigned bits = (unsigned)at[0] << 8;
    if (shift != 0) bits |= at[1];
    return (bits << shift >> 8) & 0xFF;
  }
  unsigned bits = 0;
  for (int i = 0; i < 8; ++i) {
    const int column = first + i;
    int ink = 0;
    if (column >= 0 && column < width) {
      ink = mono ? (row[column >> 3] >> (7 - (column & 7))) & 1 : row[column] >= 128;
    }
    bits |= (unsigned)ink << (7 - i);
  }
  return bits;
}

/* Appends the glyph in the slot as `floor->height` packed rows, `advance` pixels wide. */
static void CopyGlyph(const Floor* floor, int advance, int hasBitmap, ByteArray* array) {
  const int rowBytes = (advance + 7) / 8;
  const size_t size = (size_t)rowBytes * (size_t)floor->height;
  unsigned char* out = Extend(array, size);
  memset(out, 0, size);
  if (!hasBitmap) return;
  const FT_GlyphSlot slot = floor->face->glyph;
  const FT_Bitmap* bitmap = &slot->bitmap;
  const int mono = bitmap->pixel_mode == FT_PIXEL_MODE_MONO;
  if (bitmap->rows == 0 || bitmap->width == 0 || bitmap->buffer == NULL) return;
  if (!mono && bitmap->pixel_mode != FT_PIXEL_MODE_GRAY) return;
  /* Cell columns and rows that lie on the canvas and inside the advance. */
  const int width = advance < kCellLimit ? advance : kCellLimit;
  const int height = floor->height < kCellLimit ? floor->height : kCellLimit;
  const int rows = (int)bitmap->rows;
  const int top = floor->ascent - slot->bitmap_top; /* cell row of the bitmap's first row */
  const int fullBytes = width / 8;
  const unsigned lastMask = (0xFF00u >> (width & 7)) & 0xFF;
  for (int row = 0; row < rows; ++row) {
    const int y = top + row;
    if (y < 0 || y >= height) continue;
    const unsigned char* line = bitmap->pitch >= 0
                                    ? bitmap->buffer + row * bitmap->pitch
                                    : bitmap->buffer + (rows - 1 - row) * -bitmap->pitch;
    unsigned char* target = out + (size_t)y * (size_t)rowBytes;
    /* Cell column x shows bitmap column x - bitmap_left. */
    for (int i = 0; i < fullBytes; ++i) {
      target[i] =
          (unsigned char)ReadEight(line, (int)bitmap->width, mono, 8 * i - slot->bitmap_left);
    }
    if (lastMask != 0) {
      target[fullBytes] = (unsigned char)(ReadEight(line, (int)bitmap->width, mono,
                                                    8 * fullBytes - slot->bitmap_left) &
                                          lastMask);
    }
  }
}

static void Dump(const unsigned char* bytes, int rowBytes, int height) {
  for (int y = 0; y < height; ++y, bytes += rowBytes) {
    for (int i = 0; i < rowBytes; ++i) printf("%02x", bytes[i]);
    putchar('\n');
  }
}

/* FNV-1a over 64-bit words, then over the bytes left. */
static uint64_t Checksum(const unsigned char* bytes, size_t size) {
  uint64_t hash = 14695981039346656037ull;
  size_t i = 0;
  for (; i + 8 <= size; i += 8) {
    uint64_t word;
    memcpy(&word, bytes + i, 8);
    hash = (hash ^ word) * 1099511628211ull;
  }
  for (; i < size; ++i) hash = (hash ^ bytes[i]) * 1099511628211ull;
  return hash;
}

int main(int argc, char** argv) {
  int dump = 0;
  const char* fontPath = NULL;
  const char* heightText = NULL;
  UnitList units = {NULL, 0, 0};
  if (argc == 2 && strcmp(argv[1], "--version") == 0) {
    FT_Library library = NULL;
    if (FT_Init_FreeType(&library) != 0) Fail("cannot start FreeType", NULL);
    FT_Int major = 0, minor = 0, patch = 0;
    FT_Library_Version(library, &major, &minor, &patch);
    printf("FreeType %d.%d.%d\n", major, minor, patch);
    FT_Done_FreeType(library);
    return 0;
  }
  for (int i = 1; i < argc; ++i) {
    if (strcmp(argv[i], "--dump") == 0) {
      dump = 1;
    } else if (strcmp(argv[i], "--range") == 0 && i + 1 < argc) {
      AppendRange(&units, argv[++i]);
    } else if (strcmp(argv[i], "--symbols") == 0 && i + 1 < argc) {
      AppendUtf8(&units, argv[++i]);
    } else if (argv[i][0] == '-' && argv[i][1] == '-') {
      Fail("unknown option or missing value", argv[i]);
    } else if (fontPath == NULL) {
      fontPath = argv[i];
    } else if (heightText == NULL) {
      heightText = argv[i];
    } else {
      Fail("too many arguments", argv[i]);
    }
  }
  if (fontPath == NULL || heightText == NULL || units.count == 0) {
    fprintf(
        stderr,
        "usage: pindot_freetype_floor [--dump] FONT HEIGHT (--range A-B | --symbols TEXT)...\n");
    return 2;
  }
  char* end = NULL;
  long height = strtol(heightText, &end, 10);
  if (*end != '\0' || height < 1 || height > 1000) Fail("HEIGHT is not 1..1000", heightText);

  FT_Library library = NULL;
  if (FT_Init_FreeType(&library) != 0) Fail("cannot start FreeType", NULL);
  Floor floor = {NULL, 0, 0, 0, 0};
  if (FT_New_Face(library, fontPath, 0, &floor.face) != 0) Fail("cannot open font", fontPath);
  SelectCharmap(&floor);
  SetCellHeight(&floor, (int)height);
  floor.keepThinStems = FT_IS_SFNT(floor.face) && !HasHintingProgram(floor.face);

  ByteArray array = {NULL, 0, 0};
  for (size_t i = 0; i < units.count; ++i) {
    int hasBitmap = 0;
    const int advance = LoadUnit(&floor, units.units[i], &hasBitmap);
    const size_t start = array.size;
    CopyGlyph(&floor, advance, hasBitmap, &array);
    if (dump) Dump(array.bytes + start, (advance + 7) / 8, floor.height);
  }
  if (!dump) {
    printf("%zu glyphs, %zu bytes, checksum %016llx\n", units.count, array.size,
           (unsigned long long)Checksum(array.bytes, array.size));
  }
  free(array.bytes);
  free(units.units);
  FT_Done_Face(floor.face);
  FT_Done_FreeType(library);
  return 0;
}
