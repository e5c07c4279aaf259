"""Pictures for the synthetic test skins: solid-colour rectangles written
as 24-bit BMP files, so that one pixel of a drawn control tells which part
of the skin was drawn."""
import struct


def write_bmp(path, pixels):
    """24-bit BMP; pixels: rows of (r, g, b), top row first."""
    height, width = len(pixels), len(pixels[0])
    stride = (width * 3 + 3) // 4 * 4
    body = bytearray()
    for row in reversed(pixels):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        body += line + bytes(stride - len(line))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(body), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(body), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + body)


def canvas(w, h, colour):
    return [[colour] * w for _ in range(h)]


def fill(img, l, t, r, b, colour):
    for y in range(t, b):
        for x in range(l, r):
            img[y][x] = colour
