#!/usr/bin/env python3
"""Writes the pictures of the second controls test skin (skin2): a panel
frame with a striped client tile, a group box with a caption strip, check
and radio images, both scroll bars, a status bar grip and a slider. Every
part has its own solid colour so that one pixel tells which part was drawn.
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from skin_pictures import fill, write_bmp  # noqa: E402

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "skin2")

FRAME = (70, 90, 130)
CAPTION = (90, 120, 170)
TILE_A = (225, 232, 245)
TILE_B = (200, 215, 240)
BOX = (60, 60, 60)
CHECKED = (40, 160, 60)
UNCHECKED = (250, 250, 250)
ACT_CHECKED = (90, 210, 110)
ACT_UNCHECKED = (255, 240, 170)
SB_TRACK = (180, 190, 205)
SB_BUTTON = (120, 135, 160)
SB_HOT = (250, 200, 90)
SB_DOWN = (230, 120, 40)
THUMB = (60, 110, 190)
THUMB_HOT = (90, 150, 230)
THUMB_DOWN = (30, 60, 120)
STATUS = (160, 175, 200)
GRIP = (40, 40, 80)
RULER = (100, 100, 120)
SLIDER_THUMB = (200, 60, 60)
SLIDER_THUMB_DOWN = (120, 30, 30)
MAGENTA = (255, 0, 255)
WHITE = (255, 255, 255)


def box_image(img, l, t, inner, radio=False):
    """15x15 on magenta: a 13x13 box (or disc) with a coloured centre."""
    fill(img, l, t, l + 15, t + 15, MAGENTA)
    for y in range(13):
        for x in range(13):
            if radio and (x - 6) ** 2 + (y - 6) ** 2 > 36:
                continue
            edge = x in (0, 12) or y in (0, 12)
            if radio:
                edge = (x - 6) ** 2 + (y - 6) ** 2 > 25
            img[t + 1 + y][l + 1 + x] = BOX if edge else inner


def main():
    img = [[WHITE] * 240 for _ in range(160)]
    # Panel: 40x40, 4-pixel frame, 18-pixel caption strip, striped client tile.
    fill(img, 0, 0, 40, 40, FRAME)
    fill(img, 4, 2, 36, 20, CAPTION)
    for y in range(22, 36):
        for x in range(4, 36):
            img[y][x] = TILE_A if (x // 4) % 2 == 0 else TILE_B
    # Check images (15x15) in row 0 from x 100; radio images in row 20.
    for i, c in enumerate((CHECKED, UNCHECKED, ACT_CHECKED, ACT_UNCHECKED)):
        box_image(img, 100 + 16 * i, 0, c)
        box_image(img, 100 + 16 * i, 20, c, radio=True)
    # Horizontal scroll bar 100x17 at (0, 100): down button, track, up button.
    fill(img, 0, 100, 100, 117, SB_TRACK)
    fill(img, 0, 100, 17, 117, SB_BUTTON)
    fill(img, 83, 100, 100, 117, SB_BUTTON)
    fill(img, 0, 120, 17, 137, SB_HOT)
    fill(img, 20, 120, 37, 137, SB_DOWN)
    # Thumb states 20x13 at (40,120), (60,120), (80,120) with darker ends.
    for i, c in enumerate((THUMB, THUMB_HOT, THUMB_DOWN)):
        fill(img, 40 + 20 * i, 120, 60 + 20 * i, 133, FRAME)
        fill(img, 43 + 20 * i, 121, 57 + 20 * i, 132, c)
    # Vertical scroll bar 17x100 at (200, 0).
    fill(img, 200, 0, 217, 100, SB_TRACK)
    fill(img, 200, 0, 217, 17, SB_BUTTON)
    fill(img, 200, 83, 217, 100, SB_BUTTON)
    for i, c in enumerate((THUMB, THUMB_HOT, THUMB_DOWN)):
        fill(img, 220, 20 * i, 233, 20 + 20 * i, FRAME)
        fill(img, 221, 3 + 20 * i, 232, 17 + 20 * i, c)
    # Status bar 40x21 at (0, 50) and its 12x12 grip on magenta at (50, 50).
    fill(img, 0, 50, 40, 71, STATUS)
    fill(img, 0, 50, 40, 51, FRAME)
    fill(img, 50, 50, 62, 62, MAGENTA)
    for k in range(12):
        for x in range(12 - k, 12):
            if (x + k) % 3 == 0:
                img[50 + k][50 + x] = GRIP
    # Slider: ruler 20x6 at (100, 50) with 3-pixel ends; thumb 22x14 (two states) at (100, 60).
    fill(img, 100, 50, 120, 56, RULER)
    fill(img, 103, 51, 117, 55, TILE_B)
    fill(img, 100, 60, 122, 74, MAGENTA)
    fill(img, 101, 60, 110, 74, SLIDER_THUMB)
    fill(img, 112, 60, 121, 74, SLIDER_THUMB_DOWN)
    # Vertical slider: ruler 6x20 at (130, 50); thumb 28x9 (two states) at (140, 50).
    fill(img, 130, 50, 136, 70, RULER)
    fill(img, 140, 50, 168, 59, MAGENTA)
    fill(img, 140, 50, 154, 58, SLIDER_THUMB)
    fill(img, 154, 50, 168, 58, SLIDER_THUMB_DOWN)
    os.makedirs(OUT, exist_ok=True)
    write_bmp(os.path.join(OUT, "atlas.bmp"), img)


if __name__ == "__main__":
    main()
