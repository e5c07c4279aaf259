#!/usr/bin/env python3
"""Writes the picture of the views test skin (viewskin): header sections,
a page-control frame with its tabs and close buttons, and an up-down pair.
Every state image is a solid colour in a darker one-pixel frame, so that one
pixel tells which image was drawn.
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from skin_pictures import fill, write_bmp  # noqa: E402

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "viewskin")

HDR = (200, 205, 215)
HDR_HOT = (250, 215, 110)
HDR_DOWN = (110, 150, 225)
FRAME = (70, 90, 130)
CLIENT = (225, 232, 245)
TAB = (180, 190, 205)
TAB_ACTIVE = (240, 240, 250)
TAB_HOT = (250, 200, 90)
TABS_BG = (150, 165, 190)
CLOSE = (200, 80, 80)
CLOSE_HOT = (240, 120, 120)
CLOSE_DOWN = (130, 30, 30)
UD = (120, 135, 160)
UD_HOT = (90, 200, 120)
UD_DOWN = (30, 110, 60)


def framed(img, l, t, r, b, c, border=1):
    dark = tuple(v * 2 // 3 for v in c)
    fill(img, l, t, r, b, dark)
    fill(img, l + border, t + border, r - border, b - border, c)


def main():
    img = [[(255, 255, 255)] * 200 for _ in range(120)]
    framed(img, 0, 0, 40, 20, HDR)
    framed(img, 40, 0, 80, 20, HDR_HOT)
    framed(img, 80, 0, 120, 20, HDR_DOWN)
    framed(img, 0, 20, 60, 80, CLIENT, 4)
    fill(img, 0, 20, 60, 24, FRAME)
    fill(img, 0, 76, 60, 80, FRAME)
    fill(img, 0, 20, 4, 80, FRAME)
    fill(img, 56, 20, 60, 80, FRAME)
    framed(img, 60, 20, 100, 40, TAB)
    framed(img, 100, 20, 140, 43, TAB_ACTIVE)
    framed(img, 140, 20, 180, 40, TAB_HOT)
    fill(img, 180, 20, 190, 30, TABS_BG)
    framed(img, 0, 80, 14, 94, CLOSE)
    framed(img, 14, 80, 28, 94, CLOSE_HOT)
    framed(img, 28, 80, 42, 94, CLOSE_DOWN)
    framed(img, 0, 100, 20, 120, UD)
    framed(img, 20, 100, 40, 120, UD)
    framed(img, 40, 100, 60, 120, UD_HOT)
    framed(img, 60, 100, 80, 120, UD_DOWN)
    framed(img, 80, 100, 100, 120, UD_HOT)
    framed(img, 100, 100, 120, 120, UD_DOWN)
    # Arrows on the up-down pair: left on the down button, right on the up one.
    for l, right in ((0, False), (20, True), (40, True), (60, True), (80, False), (100, False)):
        for i in range(5):
            x = l + 8 + (4 - i if right else i)
            fill(img, x, 110 - i, x + 1, 111 + i, (20, 30, 50))
    os.makedirs(OUT, exist_ok=True)
    write_bmp(os.path.join(OUT, "atlas.bmp"), img)


if __name__ == "__main__":
    main()
