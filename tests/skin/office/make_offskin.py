#!/usr/bin/env python3
"""Writes the picture of the office controls test skin (offskin): a list
frame with its selected-row images, a header bar, a combo frame and a
tool button in three states. Every part is one solid colour so that one
pixel tells which part was drawn.
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from skin_pictures import fill, write_bmp  # noqa: E402

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "offskin")

FRAME = (70, 90, 130)
LIST_BG = (240, 240, 250)
ACTIVE = (250, 215, 110)
FOCUS = (150, 215, 150)
HEADER = (90, 120, 170)
COMBO = (200, 205, 215)
NORMAL = (180, 190, 205)
HOT = (250, 200, 90)
DOWN = (110, 150, 225)
WHITE = (255, 255, 255)


def main():
    img = [[WHITE] * 100 for _ in range(100)]
    # List frame 40x40 at (0,0) with a 3-pixel border.
    fill(img, 0, 0, 40, 40, FRAME)
    fill(img, 3, 3, 37, 37, LIST_BG)
    # Selected-row images 20x20: active at (50,0), focused at (70,0).
    fill(img, 50, 0, 70, 20, ACTIVE)
    fill(img, 70, 0, 90, 20, FOCUS)
    # Header bar 20x20 at (50,30).
    fill(img, 50, 30, 70, 50, HEADER)
    # Combo frame 40x20 at (0,50).
    fill(img, 0, 50, 40, 70, COMBO)
    # Tool button states 20x20 at (0,80), (20,80), (40,80).
    fill(img, 0, 80, 20, 100, NORMAL)
    fill(img, 20, 80, 40, 100, HOT)
    fill(img, 40, 80, 60, 100, DOWN)
    os.makedirs(OUT, exist_ok=True)
    write_bmp(os.path.join(OUT, "atlas.bmp"), img)


if __name__ == "__main__":
    main()
