#!/usr/bin/env python3
"""Writes res/jotwise.ico and res/toolbar.bmp from the pixel art below.

Both images use the 16-colour Windows palette at 4 bits per pixel. The
toolbar's background is light grey, which the toolbar maps to the button
face colour. Run from anywhere; `--preview DIR` also writes enlarged PNG
copies into DIR for looking at the art.

    python3 scripts/make_images.py [--preview /tmp]
"""

import os
import struct
import sys
import zlib

# The 16-colour Windows palette as (R, G, B), in its usual index order.
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]

# One letter per palette entry; "." is the background (light grey on the
# toolbar, transparent in the icon).
COLOURS = {
    "k": 0, "m": 1, "g": 2, "o": 3, "n": 4, "p": 5, "t": 6, "s": 7,
    "d": 8, "r": 9, "l": 10, "y": 11, "b": 12, "f": 13, "c": 14, "w": 15,
}
SILVER = 7

# Toolbar images in button-table order.
TOOLBAR = [
    ("apply", """
................
................
.............gg.
............gllg
...........gllg.
..........gllg..
.gg......gllg...
glllg...gllg....
.glllg.gllg.....
..glllglllg.....
...gllllllg.....
....glllllg.....
.....glllg......
......ggg.......
................
................
"""),
    ("close", """
................
................
..mm.......mm...
.mrrm.....mrrm..
.mrrrm...mrrrm..
..mrrrm.mrrrm...
...mrrrmrrrm....
....mrrrrrm.....
.....mrrrm......
....mrrrrrm.....
...mrrrmrrrm....
..mrrrm.mrrrm...
.mrrrm...mrrrm..
.mrrm.....mrrm..
..mm.......mm...
................
"""),
    ("copy", """
................
kkkkkkkkk.......
kwwwwwwwk.......
kwnnnnnwk.......
kwwwwwwwk.......
kwnnnnkkkkkkkkk.
kwwwwwkwwwwwwwk.
kwnnnnkwnnnnnwk.
kwwwwwkwwwwwwwk.
kwnnnnkwnnnnnwk.
kkkkkkkwwwwwwwk.
......kwnnnnnwk.
......kwwwwwwwk.
......kwnnnnnwk.
......kwwwwwwwk.
......kkkkkkkkk.
"""),
    ("paste", """
.....kkkkkk.....
..kkkkssssdkkk..
.kookkkkkkkkook.
.koooooooooooook
.kookkkkkkkkkook
.kookwwwwwwwwkok
.kookwnnnnnnwkok
.kookwwwwwwwwkok
.kookwnnnnnnwkok
.kookwwwwwwwwkok
.kookwnnnnnnwkok
.kookwwwwwwwwkok
.kookwnnnnwwwkok
.kookwwwwwwwwkok
.kookkkkkkkkkook
.kkkkkkkkkkkkkkk
"""),
    ("font", """
................
................
......kkkk......
......kkkk......
.....kk..kk.....
.....kk..kk.....
....kk....kk....
....kk....kk....
...kkkkkkkkkk...
...kk......kk...
..kk........kk..
..kk........kk..
.kkkk......kkkk.
................
.rrrrrrrrrrrrrr.
................
"""),
    ("back colour", """
................
kkkkkkkkkkkkkkk.
krrrrrrkyyyyyyk.
krrrrrrkyyyyyyk.
krrrrrrkyyyyyyk.
krrrrrrkyyyyyyk.
krrrrrrkyyyyyyk.
krrrrrrkyyyyyyk.
kkkkkkkkkkkkkkk.
kllllllkbbbbbbk.
kllllllkbbbbbbk.
kllllllkbbbbbbk.
kllllllkbbbbbbk.
kllllllkbbbbbbk.
kllllllkbbbbbbk.
kkkkkkkkkkkkkkk.
"""),
    ("due date", """
................
.....kkkkkk.....
...kkwwkwwwkk...
..kwwwwkwwwwwk..
..kwwwwkwwwwwk..
.kwwwwwkwwwwwwk.
.kkwwwwkwwwwwkk.
.kwwwwwkwwwwwwk.
.kwwwwwkkkkkwwk.
.kwwwwwwwwwwwwk.
.kwwwwwwwwwwwwk.
..kwwwwwwwwwwk..
..kwwwwwwwwwwk..
...kkwwkwwwkk...
.....kkkkkk.....
................
"""),
    ("properties", """
................
.kkkkkkkkk......
.kwwwwwwwkk.....
.kwnnnnwwkwk....
.kwwwwwwwkkkk...
.kwnnnnnnnnwk...
.kwwwwwwwwwwk...
.kwnnnnnnbbbbb..
.kwwwwwwbbbwbbb.
.kwnnnnbbbbbbbbb
.kwwwwwbbbbwbbbb
.kwnnnnbbbbwbbbb
.kwwwwwbbbbwbbbb
.kkkkkkkbbbwbbb.
.........bbbbb..
................
"""),
    ("help", """
................
.....bbbbbb.....
....bbbbbbbb....
...bbb....bbb...
...bbb....bbb...
..........bbb...
.........bbb....
........bbb.....
.......bbb......
.......bbb......
.......bbb......
................
.......bbb......
.......bbb......
................
................
"""),
]


def parse_grid(name, text, size):
    rows = [row for row in text.strip("\n").split("\n")]
    if len(rows) != size or any(len(row) != size for row in rows):
        raise ValueError(f"{name}: the art must be {size} x {size}")
    pixels = []
    for row in rows:
        line = []
        for ch in row:
            if ch == ".":
                line.append(None)
            elif ch in COLOURS:
                line.append(COLOURS[ch])
            else:
                raise ValueError(f"{name}: unknown colour letter {ch!r}")
        pixels.append(line)
    return pixels


def note_icon(size):
    """A yellow sticky note with a folded bottom-right corner and text lines."""
    px = [[None] * size for _ in range(size)]
    left, top = 1, 1
    right, bottom = size - 3, size - 3  # leaves room for a drop shadow
    fold = size // 4
    for y in range(top, bottom + 1):
        for x in range(left, right + 1):
            # Cut the corner off along the diagonal x + y = right + bottom - fold.
            if x + y > right + bottom - fold:
                continue
            edge = x in (left, right) or y in (top, bottom) or x + y == right + bottom - fold
            px[y][x] = 0 if edge else 11
    # Shadow along the right and bottom edges.
    for y in range(top + 2, bottom + 2):
        x = right + 1
        if y <= bottom - fold + 1 and px[y][x] is None:
            px[y][x] = 8
    for x in range(left + 2, right + 2):
        y = bottom + 1
        if x <= right - fold + 1 and px[y][x] is None:
            px[y][x] = 8
    # The folded flap: the corner turned over onto the note, its back
    # side darker.
    diagonal = right + bottom - fold
    for y in range(bottom - fold, bottom + 1):
        for x in range(right - fold, right + 1):
            if x + y > diagonal:
                continue
            edge = x == right - fold or y == bottom - fold or x + y == diagonal
            px[y][x] = 0 if edge else 3
    # A red pin head at the top, and text lines.
    if size >= 32:
        for y, x0, x1 in ((2, 14, 17), (3, 13, 18), (4, 13, 18), (5, 14, 17)):
            for x in range(x0, x1 + 1):
                px[y][x] = 9
        px[3][14] = 15
        lines = [(9, 5, 25), (13, 5, 22), (17, 5, 24), (21, 5, 18)]
    else:
        px[2][7] = 9
        px[2][8] = 9
        px[3][7] = 9
        px[3][8] = 9
        lines = [(5, 3, 11), (7, 3, 10), (9, 3, 8)]
    for y, x0, x1 in lines:
        for x in range(x0, x1 + 1):
            if px[y][x] == 11:
                px[y][x] = 4
    return px


def pack_4bpp_rows(pixels, background):
    """Bottom-up 4-bit rows, each padded to a multiple of 4 bytes."""
    width = len(pixels[0])
    stride = ((width * 4 + 31) // 32) * 4
    out = bytearray()
    for row in reversed(pixels):
        line = bytearray()
        for x in range(0, width, 2):
            hi = row[x] if row[x] is not None else background
            lo = row[x + 1] if x + 1 < width and row[x + 1] is not None else background
            line.append((hi << 4) | lo)
        line.extend(b"\0" * (stride - len(line)))
        out += line
    return bytes(out)


def pack_mask_rows(pixels):
    """Bottom-up 1-bit AND mask: 1 where the icon is transparent."""
    width = len(pixels[0])
    stride = ((width + 31) // 32) * 4
    out = bytearray()
    for row in reversed(pixels):
        line = bytearray(stride)
        for x, value in enumerate(row):
            if value is None:
                line[x // 8] |= 0x80 >> (x % 8)
        out += line
    return bytes(out)


def palette_bytes():
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)


def info_header(width, height, image_size):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, image_size, 0, 0, 16, 0)


def toolbar_bitmap():
    images = [parse_grid(name, art, 16) for name, art in TOOLBAR]
    strip = [sum((image[y] for image in images), []) for y in range(16)]
    bits = pack_4bpp_rows(strip, SILVER)
    header = info_header(16 * len(images), 16, len(bits)) + palette_bytes()
    offset = 14 + len(header)
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(bits), 0, 0, offset)
    return file_header + header + bits, strip


def icon_file():
    images = [note_icon(32), note_icon(16)]
    entries = []
    blobs = []
    for px in images:
        size = len(px)
        xor_bits = pack_4bpp_rows(px, 0)
        and_bits = pack_mask_rows(px)
        # An icon image's height counts the colour and the mask rows together.
        blob = info_header(size, size * 2, len(xor_bits) + len(and_bits)) + palette_bytes() + xor_bits + and_bits
        entries.append(size)
        blobs.append(blob)
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, blob in zip(entries, blobs):
        out += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(blob), offset)
        offset += len(blob)
    for blob in blobs:
        out += blob
    return bytes(out), images


def write_png(path, pixels, scale, transparent=(0xFF, 0x00, 0xFF)):
    height = len(pixels) * scale
    width = len(pixels[0]) * scale
    raw = bytearray()
    for row in pixels:
        line = bytearray(b"\0")
        for value in row:
            rgb = transparent if value is None else PALETTE[value]
            line += bytes(rgb) * scale
        raw += bytes(line) * scale
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)
    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


def main(argv):
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    bmp, strip = toolbar_bitmap()
    ico, icons = icon_file()
    with open(os.path.join(root, "res", "toolbar.bmp"), "wb") as f:
        f.write(bmp)
    with open(os.path.join(root, "res", "jotwise.ico"), "wb") as f:
        f.write(ico)
    if len(argv) == 2 and argv[0] == "--preview":
        write_png(os.path.join(argv[1], "toolbar_preview.png"), strip, 8, PALETTE[SILVER])
        write_png(os.path.join(argv[1], "icon32_preview.png"), icons[0], 8)
        write_png(os.path.join(argv[1], "icon16_preview.png"), icons[1], 8)
    elif argv:
        print(__doc__, file=sys.stderr)
        return 2
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
