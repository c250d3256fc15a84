#!/usr/bin/env python3
"""Writes the fuzzer's seed corpus, tests/fuzz/corpus/: a few tiny fonts of each kind FreeType
reads, each behind the four settings bytes the pipeline reads first (see font_pipeline.h).

    tests/fuzz/make_seed_corpus.py

The fonts are made here, glyph by glyph, so every table is known: a TrueType font (a hole, a
curve, shapes on the pixel grid, a composite glyph, a hinting program), the same glyphs as
OpenType CFF, as WOFF and as a collection of both, a TrueType file with a symbol character map
and no OS/2 table, one with bitmap strikes only (EBLC/EBDT), a Windows FNT and a BDF of 8-bit
grey pixels. Besides them: the BDF test fonts of tests/fonts and micro.pcf.gz of Debian's
xfonts-base, compressed and not. Only the standard library is used.
"""

import gzip
import os
import struct
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", ".."))
CORPUS = os.path.join(HERE, "corpus")
XFONTS_MICRO = "/usr/share/fonts/X11/misc/micro.pcf.gz"

UNITS_PER_EM = 1024
ASCENT = 896  # 14 pixels of a 16-pixel cell, on the pixel grid
DESCENT = 128


# Glyphs as contours of (x, y, on_curve) in font units. Squares on multiples of 64 units lie on
# the pixel grid at 16 pixels; the "a" is made of quadratic curves.
def box(left, bottom, right, top, clockwise=True):
    points = [(left, bottom), (left, top), (right, top), (right, bottom)]
    if not clockwise:
        points.reverse()
    return [(x, y, True) for x, y in points]


GLYPHS = [
    # (name, advance, contours or ("composite", [(glyph, dx, dy, scale)]))
    (".notdef", 512, [box(64, 0, 448, 768), box(128, 64, 384, 704, clockwise=False)]),
    ("space", 256, []),
    ("a", 512, [[(64, 0, True), (64, 320, False), (256, 448, True), (448, 448, False),
                 (448, 256, True), (448, 0, True), (384, 0, True), (384, 256, True),
                 (384, 384, False), (256, 384, True), (128, 384, False), (128, 0, True)]]),
    ("i", 256, [box(64, 0, 192, 512), box(64, 640, 192, 768)]),
    ("j", 320, ("composite", [(3, 64, -128, None), (2, 0, 0, 0.5)])),
    ("uni4E2D", 1024, [box(64, 192, 960, 640), box(192, 320, 832, 512, clockwise=False),
                       box(448, -128, 576, 896)]),
]
CHARACTERS = {0x20: 1, 0x61: 2, 0x69: 3, 0x6A: 4, 0x4E2D: 5}


def checksum(data):
    data += b"\0" * (-len(data) % 4)
    return sum(struct.unpack(">%dI" % (len(data) // 4), data)) & 0xFFFFFFFF


def pad4(data):
    return data + b"\0" * (-len(data) % 4)


def sfnt(version, tables, base=0):
    """An sfnt file's offset table and tables; offsets count from `base` (a collection's fonts
    sit behind its header)."""
    tags = sorted(tables)
    count = len(tags)
    power = 1
    while power * 2 <= count:
        power *= 2
    header = struct.pack(">IHHHH", version, count, power * 16, power.bit_length() - 1,
                         count * 16 - power * 16)
    offset = base + 12 + 16 * count
    records, body = b"", b""
    for tag in tags:
        data = tables[tag]
        records += struct.pack(">4sIII", tag.encode(), checksum(data), offset + len(body),
                               len(data))
        body += pad4(data)
    return header + records + body


def glyph_bounds(contours):
    xs = [x for contour in contours for x, _, _ in contour]
    ys = [y for contour in contours for _, y, _ in contour]
    return (min(xs), min(ys), max(xs), max(ys)) if xs else (0, 0, 0, 0)


def simple_glyph(contours):
    if not contours:
        return b""
    ends, flags, xs, ys = [], b"", b"", b""
    x0 = y0 = 0
    for contour in contours:
        for x, y, on in contour:
            flags += bytes([1 if on else 0])
            xs += struct.pack(">h", x - x0)
            ys += struct.pack(">h", y - y0)
            x0, y0 = x, y
        ends.append(len(flags) - 1)
    return (struct.pack(">hhhhh", len(contours), *glyph_bounds(contours)) +
            struct.pack(">%dH" % len(ends), *ends) + struct.pack(">H", 0) + flags + xs + ys)


def composite_glyph(components):
    data = b""
    bounds = []
    for number, (glyph, dx, dy, scale) in enumerate(components):
        flags = 0x0001 | 0x0002  # word arguments, x and y offsets
        if number + 1 < len(components):
            flags |= 0x0020  # more components
        if scale is not None:
            flags |= 0x0008
        data += struct.pack(">HHhh", flags, glyph, dx, dy)
        if scale is not None:
            data += struct.pack(">h", int(scale * 16384))
        left, bottom, right, top = glyph_bounds(GLYPHS[glyph][2])
        factor = 1 if scale is None else scale
        bounds.append((int(left * factor) + dx, int(bottom * factor) + dy,
                       int(right * factor) + dx, int(top * factor) + dy))
    box_ = (min(b[0] for b in bounds), min(b[1] for b in bounds),
            max(b[2] for b in bounds), max(b[3] for b in bounds))
    return struct.pack(">hhhhh", -1, *box_) + data


def outline_of(glyph):
    shape = glyph[2]
    if isinstance(shape, tuple):  # a composite: its components, placed and scaled
        contours = []
        for index, dx, dy, scale in shape[1]:
            factor = 1 if scale is None else scale
            for contour in outline_of(GLYPHS[index]):
                contours.append([(int(x * factor) + dx, int(y * factor) + dy, on)
                                 for x, y, on in contour])
        return contours
    return shape


def cmap_format4(mapping):
    codes = sorted(mapping) + [0xFFFF]
    glyphs = [mapping.get(code, 0) for code in codes]
    segments = len(codes)
    power = 1
    while power * 2 <= segments:
        power *= 2
    body = struct.pack(">HHHH", segments * 2, power * 2, power.bit_length() - 1,
                       segments * 2 - power * 2)
    body += struct.pack(">%dH" % segments, *codes) + b"\0\0"
    body += struct.pack(">%dH" % segments, *codes)
    body += struct.pack(">%dH" % segments,
                        *[(glyph - code) & 0xFFFF if code != 0xFFFF else 1
                          for code, glyph in zip(codes, glyphs)])
    body += struct.pack(">%dH" % segments, *([0] * segments))
    return struct.pack(">HHH", 4, 6 + len(body), 0) + body


def cmap_table(mapping, encoding):
    subtable = cmap_format4(mapping)
    return struct.pack(">HHHHI", 0, 1, 3, encoding, 12) + subtable


def name_table(family):
    names = [(1, family), (2, "Regular"), (4, family + " Regular"),
             (6, family.replace(" ", "") + "-Regular")]
    strings, records = b"", b""
    for name_id, text in names:
        data = text.encode("utf-16-be")
        records += struct.pack(">HHHHHH", 3, 1, 0x409, name_id, len(data), len(strings))
        strings += data
    return struct.pack(">HHH", 0, len(names), 6 + len(records)) + records + strings


def head_table(bounds, loca_format=1):
    return struct.pack(">IIIIHHqqhhhhHHhhh", 0x00010000, 0x00010000, 0, 0x5F0F3CF5, 0x000B,
                       UNITS_PER_EM, 0, 0, *bounds, 0, 8, 2, loca_format, 0)


def hhea_table(count, ascent=ASCENT, descent=DESCENT):
    widest = max(glyph[1] for glyph in GLYPHS)
    return struct.pack(">IhhhHhhhhhhhhhhhH", 0x00010000, ascent, -descent, 0, widest, 0, 0,
                       widest, 1, 0, 0, 0, 0, 0, 0, 0, count)


def hmtx_table():
    return b"".join(struct.pack(">Hh", glyph[1], glyph_bounds(outline_of(glyph))[0])
                    for glyph in GLYPHS)


def os2_table():
    return struct.pack(">HhHHHhhhhhhhhhhh10s4I4sHHHhhhHHIIhhHHH", 4, 512, 400, 5, 0,
                       650, 700, 0, 140, 650, 700, 0, 480, 50, 300, 0, b"\0" * 10,
                       1, 0, 0x00040000, 0, b"PNDT", 0x40, 0x20, 0x4E2D, ASCENT, -DESCENT, 0,
                       ASCENT, DESCENT, 0x00040001, 0, 512, 700, 0, 0x20, 0)


def post_table():
    return struct.pack(">IIhhIIIII", 0x00030000, 0, -100, 50, 0, 0, 0, 0, 0)


def font_bounds():
    boxes = [glyph_bounds(outline_of(glyph)) for glyph in GLYPHS if outline_of(glyph)]
    return (min(b[0] for b in boxes), min(b[1] for b in boxes),
            max(b[2] for b in boxes), max(b[3] for b in boxes))


def truetype_tables(symbol=False):
    glyf, loca = b"", []
    for glyph in GLYPHS:
        loca.append(len(glyf))
        shape = glyph[2]
        data = composite_glyph(shape[1]) if isinstance(shape, tuple) else simple_glyph(shape)
        glyf += pad4(data)
    loca.append(len(glyf))
    points = max(sum(len(c) for c in outline_of(g)) for g in GLYPHS)
    contours = max(len(outline_of(g)) for g in GLYPHS)
    mapping = {0xF000 + code: glyph for code, glyph in CHARACTERS.items() if code < 0x100} \
        if symbol else CHARACTERS
    tables = {
        "cmap": cmap_table(mapping, 0 if symbol else 1),
        "glyf": glyf,
        "head": head_table(font_bounds()),
        "hhea": hhea_table(len(GLYPHS)),
        "hmtx": hmtx_table(),
        "loca": struct.pack(">%dI" % len(loca), *loca),
        "maxp": struct.pack(">IHHHHHHHHHHHHHH", 0x00010000, len(GLYPHS), points, contours,
                            points, contours, 2, 0, 0, 0, 0, 64, 16, 2, 1),
        "name": name_table("Pindot Seed Symbol" if symbol else "Pindot Seed"),
        "post": post_table(),
    }
    if not symbol:
        tables["OS/2"] = os2_table()
        # SCANCTRL 0x01FF and SCANTYPE 4: the dropout control a hinted face asks for.
        tables["prep"] = bytes([0xB8, 0x01, 0xFF, 0x85, 0xB0, 0x04, 0x8D])
    return tables


# CFF: Type 2 charstrings of the same outlines, straight lines and the curve as cubic.
def cff_number(value):
    if -107 <= value <= 107:
        return bytes([value + 139])
    if 108 <= value <= 1131:
        value -= 108
        return bytes([(value >> 8) + 247, value & 0xFF])
    if -1131 <= value <= -108:
        value = -value - 108
        return bytes([(value >> 8) + 251, value & 0xFF])
    return b"\x1c" + struct.pack(">h", value)


def cff_dict_offset(value):
    return b"\x1d" + struct.pack(">i", value)  # always five bytes, so offsets can be fixed later


def cff_index(items):
    if not items:
        return b"\0\0"
    offsets = [1]
    for item in items:
        offsets.append(offsets[-1] + len(item))
    return (struct.pack(">HB", len(items), 4) + struct.pack(">%dI" % len(offsets), *offsets) +
            b"".join(items))


def charstring(glyph):
    data = cff_number(glyph[1])  # the width, as nominalWidthX is 0
    x0 = y0 = 0
    for contour in outline_of(glyph):
        x, y, _ = contour[0]
        data += cff_number(x - x0) + cff_number(y - y0) + b"\x15"  # rmoveto
        x0, y0 = x, y
        points = contour[1:] + [contour[0]]
        i = 0
        while i < len(points):
            x, y, on = points[i]
            if on:
                data += cff_number(x - x0) + cff_number(y - y0) + b"\x05"  # rlineto
                x0, y0 = x, y
                i += 1
            else:
                # A quadratic off-curve point and the on-curve point after it, as one cubic.
                ex, ey, _ = points[i + 1]
                c1 = (x0 + 2 * (x - x0) // 3, y0 + 2 * (y - y0) // 3)
                c2 = (ex + 2 * (x - ex) // 3, ey + 2 * (y - ey) // 3)
                data += b"".join(cff_number(v) for v in (c1[0] - x0, c1[1] - y0, c2[0] - c1[0],
                                                          c2[1] - c1[1], ex - c2[0], ey - c2[1]))
                data += b"\x08"  # rrcurveto
                x0, y0 = ex, ey
                i += 2
        # The contour closes itself at the next moveto or at endchar.
    return data + b"\x0e"  # endchar


def cff_table():
    header = bytes([1, 0, 4, 4])
    names = cff_index([b"PindotSeed"])
    strings = cff_index([])
    global_subrs = cff_index([])
    private = cff_number(0) + b"\x14" + cff_number(0) + b"\x15"  # defaultWidthX, nominalWidthX
    charstrings = cff_index([charstring(glyph) for glyph in GLYPHS])

    def top_dict(charstrings_offset, private_offset):
        return (b"".join(cff_number(v) for v in font_bounds()) + b"\x05" +
                cff_dict_offset(charstrings_offset) + b"\x11" +
                cff_dict_offset(len(private)) + cff_dict_offset(private_offset) + b"\x12")

    top_length = len(cff_index([top_dict(0, 0)]))
    start = len(header) + len(names) + top_length + len(strings) + len(global_subrs)
    top = cff_index([top_dict(start, start + len(charstrings))])
    return header + names + top + strings + global_subrs + charstrings + private


def opentype_tables():
    tables = truetype_tables()
    for tag in ("glyf", "loca", "prep"):
        del tables[tag]
    tables["CFF "] = cff_table()
    tables["maxp"] = struct.pack(">IH", 0x00005000, len(GLYPHS))
    return tables


def woff(tables, flavor):
    tags = sorted(tables)
    directory, body = b"", b""
    offset = 44 + 20 * len(tags)
    for tag in tags:
        data = tables[tag]
        packed = zlib.compress(data, 9)
        if len(packed) >= len(data):
            packed = data
        directory += struct.pack(">4sIIII", tag.encode(), offset + len(body), len(packed),
                                 len(data), checksum(data))
        body += pad4(packed)
    sfnt_size = 12 + 16 * len(tags) + sum(len(pad4(tables[tag])) for tag in tags)
    header = struct.pack(">4sIIHHIHHIIIII", b"wOFF", flavor, offset + len(body), len(tags), 0,
                         sfnt_size, 1, 0, 0, 0, 0, 0, 0)
    return header + directory + body


def collection(fonts):
    header_size = 12 + 4 * len(fonts)
    offsets, body = [], b""
    for version, tables in fonts:
        offsets.append(header_size + len(body))
        body += sfnt(version, tables, base=header_size + len(body))
    return (struct.pack(">4sII", b"ttcf", 0x00010000, len(fonts)) +
            struct.pack(">%dI" % len(offsets), *offsets) + body)


# Bitmap strikes only: 8 pixels per em, ascent 7, descent 1, every glyph an 8-row picture.
BITMAP_GLYPHS = [  # (advance, rows of "#" and ".")
    (5, ["####", "#..#", "#..#", "#..#", "#..#", "####"]),  # .notdef
    (3, []),  # space
    (5, ["....", ".##.", "...#", ".###", "#..#", ".###"]),
    (2, ["#.", "..", "#.", "#.", "#.", "#."]),
    (3, [".#", "..", ".#", ".#", ".#", ".#", ".#", "#."]),
    (8, ["...#....", "#######.", "#..#..#.", "#..#..#.", "#######.", "...#....", "...#...."]),
]


def bitmap_only_tables():
    ebdt = struct.pack(">I", 0x00020000)
    offsets = []
    for advance, rows in BITMAP_GLYPHS:
        offsets.append(len(ebdt) - 4)
        width = max((len(row) for row in rows), default=0)
        data = struct.pack(">BBbbB", len(rows), width, 0, 6 if rows else 0, advance)
        for row in rows:
            bits = int(row.replace("#", "1").replace(".", "0").ljust(8, "0"), 2)
            data += bytes([bits])
        ebdt += data
    offsets.append(len(ebdt) - 4)
    last = len(BITMAP_GLYPHS) - 1
    subtable = struct.pack(">HHI", 1, 1, 4) + struct.pack(">%dI" % len(offsets), *offsets)
    array = struct.pack(">HHI", 0, last, 8)  # one index subtable, right behind this array
    line_metrics = struct.pack(">bbBbbbbbbbbb", 7, -1, 8, 1, 0, 0, 0, 0, 7, -1, 0, 0)
    size = struct.pack(">IIII", 8 + 48, len(array) + len(subtable), 1, 0) + line_metrics * 2 + \
        struct.pack(">HHBBBb", 0, last, 8, 8, 1, 1)
    eblc = struct.pack(">II", 0x00020000, 1) + size + array + subtable
    tables = truetype_tables()
    for tag in ("glyf", "loca", "prep"):
        del tables[tag]
    tables["EBDT"] = ebdt
    tables["EBLC"] = eblc
    tables["maxp"] = struct.pack(">IH", 0x00005000, len(BITMAP_GLYPHS))
    tables["name"] = name_table("Pindot Seed Bitmap")
    return tables


def windows_fnt():
    """A Windows 3.0 (version 2) raster font: characters 0x20..0x6A, 8 pixels high."""
    first, last, height = 0x20, 0x6A, 8
    pictures = {0x61: BITMAP_GLYPHS[2], 0x69: BITMAP_GLYPHS[3], 0x6A: BITMAP_GLYPHS[4]}
    header_size = 118
    entries = last - first + 2  # and the sentinel
    table_size = entries * 4
    bits = b""
    table = b""
    for code in list(range(first, last + 1)) + [None]:
        advance, rows = pictures.get(code, BITMAP_GLYPHS[0]) if code is not None else (5, [])
        table += struct.pack("<HH", advance, header_size + table_size + len(bits))
        rows = ([""] * (height - 1 - len(rows)) + rows + [""])[:height]
        for column in range(0, max(advance, 1), 8):
            for row in rows:
                stripe = row[column:column + 8].ljust(8, ".")
                bits += bytes([int(stripe.replace("#", "1").replace(".", "0"), 2)])
    face = b"Pindot Seed FNT\0"
    size = header_size + table_size + len(bits) + len(face)
    header = struct.pack("<HI60sHHHHHHHBBBHBHHBHHBBBBHIIIIB", 0x200, size, b"seed",
                         0, 6, 96, 96, 7, 0, 0, 0, 0, 0, 400, 0, 0, height, 0x20, 5, 8,
                         first, last, 0, 0, 0, 0, header_size + table_size + len(bits), 0, 0, 0)
    assert len(header) == header_size
    return header + table + bits + face


def grey_bdf():
    """A BDF whose pixels are 8-bit grey levels, as FreeType reads bits per pixel above 1."""
    glyphs = [("a", 0x61, BITMAP_GLYPHS[2]), ("i", 0x69, BITMAP_GLYPHS[3]),
              ("uni4E2D", 0x4E2D, BITMAP_GLYPHS[5])]
    lines = ["STARTFONT 2.1", "FONT -pindot-seed-medium-r-normal--8-80-75-75-c-80-iso10646-1",
             "SIZE 8 75 75 8", "FONTBOUNDINGBOX 8 8 0 -1", "STARTPROPERTIES 3",
             "FONT_ASCENT 7", "FONT_DESCENT 1", "FAMILY_NAME \"Pindot Seed Grey\"",
             "ENDPROPERTIES", "CHARS %d" % len(glyphs)]
    for name, code, (advance, rows) in glyphs:
        width = max(len(row) for row in rows)
        lines += ["STARTCHAR " + name, "ENCODING %d" % code, "SWIDTH 500 0",
                  "DWIDTH %d 0" % advance, "BBX %d %d 0 0" % (width, len(rows)),
                  "BITMAP"]
        for number, row in enumerate(rows):
            # Grey levels falling along each row: ink from 0xFF down to 0x80, paper 0x00 to 0x7F.
            lines.append("".join("%02X" % ((0xFF - 8 * x) if pixel == "#" else 0x10 * number)
                                 for x, pixel in enumerate(row.ljust(width, "."))))
        lines.append("ENDCHAR")
    lines.append("ENDFONT")
    return ("\n".join(lines) + "\n").encode()


# The settings bytes in front of each font: byte 0 size and em/sheet, byte 1 style flags, byte 2
# sample and code page, byte 3 width (see font_pipeline.h). Fonts take them in turn.
SETTINGS = [
    bytes([15, 0x00, 0x00, 0]),     # 16-pixel cell, plain, worked example, code page 1252
    bytes([0x40 | 11, 0x1F, 0x06, 0]),  # 12-pixel em, every style, ANSI keys, mixed, 936
    bytes([0x80 | 7, 0x60, 0x09, 0]),  # 8-pixel cell, sheet, const, Chinese, ASCII, 932
    bytes([0x40 | 15, 0x81, 0x2F, 6]),  # 16-pixel em, bold, surrogates, 950, width 6, 2 units
]
ADDED_UNITS = {3: struct.pack("<HH", 0x4E2D, 0x005C)}


def write_corpus(fonts):
    os.makedirs(CORPUS, exist_ok=True)
    for name in os.listdir(CORPUS):
        os.remove(os.path.join(CORPUS, name))
    for number, (name, data) in enumerate(fonts):
        choice = number % len(SETTINGS)
        with open(os.path.join(CORPUS, name), "wb") as file:
            file.write(SETTINGS[choice] + ADDED_UNITS.get(choice, b"") + data)


def main():
    fonts = []
    fonts_dir = os.path.join(ROOT, "tests", "fonts")
    for name in sorted(os.listdir(fonts_dir)):
        if name.endswith(".bdf"):
            with open(os.path.join(fonts_dir, name), "rb") as file:
                fonts.append((name, file.read()))
    truetype = truetype_tables()
    opentype = opentype_tables()
    fonts += [
        ("seed.ttf", sfnt(0x00010000, truetype)),
        ("seed.otf", sfnt(0x4F54544F, opentype)),
        ("seed.woff", woff(truetype, 0x00010000)),
        ("seed.ttc", collection([(0x00010000, truetype), (0x4F54544F, opentype)])),
        ("seed-symbol.ttf", sfnt(0x00010000, truetype_tables(symbol=True))),
        ("seed-bitmap.ttf", sfnt(0x00010000, bitmap_only_tables())),
        ("seed.fnt", windows_fnt()),
        ("seed-grey.bdf", grey_bdf()),
    ]
    if not os.path.exists(XFONTS_MICRO):
        sys.exit("make_seed_corpus: %s is missing (Debian package xfonts-base)" % XFONTS_MICRO)
    with open(XFONTS_MICRO, "rb") as file:
        compressed = file.read()
    fonts += [("micro.pcf.gz", compressed), ("micro.pcf", gzip.decompress(compressed))]
    write_corpus(fonts)
    total = sum(os.path.getsize(os.path.join(CORPUS, name)) for name in os.listdir(CORPUS))
    print("make_seed_corpus: %d inputs, %d bytes in %s" % (len(fonts), total, CORPUS))


if __name__ == "__main__":
    main()
