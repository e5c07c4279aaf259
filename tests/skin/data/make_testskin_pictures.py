#!/usr/bin/env python3
"""Writes the pictures of the test skin (tests/skin/data/testskin).

Each picture keeps the pixel format the tests rely on (form 24 bits, atlas
8 bits with a palette, inactive form 4 bits, masks 1 bit) and is drawn so
that a person looking at a resized record can tell corners, tiled sides,
stretched sides and the centre apart: corners are orange, side pieces carry
a red marker on their first row or column (repeated when tiled, drawn out
when stretched), and masks cut the outer corners.
"""
import os
import struct
import sys

ORANGE = (240, 150, 40)
RED = (210, 30, 30)
NAVY = (20, 30, 90)
BLUE = (60, 110, 200)
LIGHT_BLUE = (150, 190, 240)
GREEN = (60, 160, 90)
LIGHT = (235, 235, 225)
GREY = (160, 160, 160)
DARK = (70, 70, 70)
WHITE = (255, 255, 255)
BLACK = (0, 0, 0)


def write_bmp(path, pixels, bpp):
    """pixels: rows of (r, g, b), top row first."""
    height, width = len(pixels), len(pixels[0])
    palette = []
    if bpp <= 8:
        for row in pixels:
            for p in row:
                if p not in palette:
                    palette.append(p)
        assert len(palette) <= (1 << bpp), (path, len(palette))
        palette += [(0, 0, 0)] * ((1 << bpp) - len(palette))
    stride = ((width * bpp + 31) // 32) * 4
    body = bytearray()
    for row in reversed(pixels):
        line = bytearray()
        if bpp == 24:
            for r, g, b in row:
                line += bytes((b, g, r))
        else:
            bits, count = 0, 0
            for p in row:
                bits = (bits << bpp) | palette.index(p)
                count += bpp
                if count == 8:
                    line.append(bits)
                    bits, count = 0, 0
            if count:
                line.append(bits << (8 - count))
        body += line + bytes(stride - len(line))
    colours = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    offset = 14 + 40 + len(colours)
    header = struct.pack("<2sIHHI", b"BM", offset + len(body), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bpp, 0, len(body), 2835, 2835,
                       len(palette) if bpp <= 8 else 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + colours + body)


def canvas(w, h, colour):
    return [[colour] * w for _ in range(h)]


def fill(img, l, t, r, b, colour):
    for y in range(t, b):
        for x in range(l, r):
            img[y][x] = colour


def frame_piece(img, ox, oy, w, h, lt, rb, corner, side, centre):
    """A nine-part frame at (ox, oy) of w x h whose corner points are lt and
    rb (the centre lies between them): corners `corner`, sides `side` with a
    red marker on their first row or column, the centre `centre(x, y)`."""
    for y in range(h):
        for x in range(w):
            in_x = lt[0] <= x < rb[0]
            in_y = lt[1] <= y < rb[1]
            if in_x and in_y:
                c = centre(x - lt[0], y - lt[1])
            elif in_x or in_y:
                first = (x == lt[0]) if in_x else (y == lt[1])
                c = RED if first else side
            else:
                c = corner
            img[oy + y][ox + x] = c
    # A dark outline around the whole piece.
    for x in range(w):
        img[oy][ox + x] = img[oy + h - 1][ox + x] = NAVY if (img[oy][ox + x] != RED) else RED
    for y in range(h):
        img[oy + y][ox] = img[oy + y][ox + w - 1] = NAVY if (img[oy + y][ox] != RED) else RED


def rounded_mask(w, h, cut):
    """Black inside; the outer corners cut diagonally by `cut` pixels."""
    m = canvas(w, h, BLACK)
    for y in range(h):
        for x in range(w):
            dx = min(x, w - 1 - x)
            dy = min(y, h - 1 - y)
            if dx + dy < cut:
                m[y][x] = WHITE
    return m


def main(folder):
    # Atlas 48 x 32: the button at (0, 0, 24, 12), the panel at (24, 0, 48, 24).
    atlas = canvas(48, 32, LIGHT)
    ramp = [(255, 240 - 8 * i, 120 + 6 * i) for i in range(18)]
    frame_piece(atlas, 0, 0, 24, 12, (3, 3), (21, 9), ORANGE, BLUE,
                lambda x, y: DARK if x == 0 else ramp[x])
    frame_piece(atlas, 24, 0, 24, 24, (4, 4), (20, 20), GREY, GREEN,
                lambda x, y: DARK if (x % 8 == 0 and y % 8 == 0) else
                (LIGHT_BLUE if (x // 4 + y // 4) % 2 else LIGHT))
    write_bmp(os.path.join(folder, "atlas.bmp"), atlas, 8)
    write_bmp(os.path.join(folder, "buttonmask.bmp"), rounded_mask(24, 12, 2), 1)

    # Form 16 x 12: caption band 2 rows, corners to (4, 3) and from (12, 9),
    # client area (2, 2, 14, 10) with grey rows that show how it repeats.
    form = canvas(16, 12, LIGHT)
    shades = [(250 - 14 * i,) * 3 for i in range(8)]
    for y in range(12):
        for x in range(16):
            if 2 <= x < 14 and 2 <= y < 10:
                c = shades[y - 2]
            elif (y < 2 or y >= 10) and 4 <= x < 12:
                c = RED if x == 4 else BLUE
            elif (x < 2 or x >= 14) and 3 <= y < 9:
                c = RED if y == 3 else GREEN
            else:
                c = ORANGE
            form[y][x] = c
    write_bmp(os.path.join(folder, "form.bmp"), form, 24)
    grey = [[(sum(p) // 3,) * 3 for p in row] for row in form]
    levels = sorted({p for row in grey for p in row})
    while len(levels) > 16:  # 4 bits: merge the closest greys
        levels.pop(1)
    nearest = lambda p: min(levels, key=lambda q: abs(q[0] - p[0]))
    write_bmp(os.path.join(folder, "inactive.bmp"), [[nearest(p) for p in row] for row in grey], 4)
    write_bmp(os.path.join(folder, "mask.bmp"), rounded_mask(16, 12, 2), 1)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "testskin"))
