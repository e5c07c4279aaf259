#!/usr/bin/env python3
"""Writes the pictures of the controls test skin (tests/skin/controls/ctlskin).

Every state image of the button records is a solid colour inside a darker
two-pixel frame, so that a test can tell from one pixel which image a
control drew and a person can tell the states apart on a screenshot.
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from skin_pictures import canvas, fill, write_bmp  # noqa: E402

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "ctlskin")

NORMAL = (200, 205, 215)
HOT = (250, 215, 110)
DOWN = (110, 150, 225)
DISABLED = (175, 175, 175)
FOCUSED = (150, 215, 150)
FRAME1 = (255, 185, 185)
FRAME2 = (240, 120, 120)
ROUND = (90, 175, 175)
ROUND_HOT = (140, 225, 225)
SPLIT = (105, 125, 165)
SPLIT_END = (60, 75, 110)
GRIP = (245, 245, 245)
MAGENTA = (255, 0, 255)
GLOW = (120, 180, 255)
WHITE = (255, 255, 255)
BLACK = (0, 0, 0)


def darker(c, k=0.55):
    return tuple(int(v * k) for v in c)


def state(img, l, t, colour):
    """A 30x20 state image: a two-pixel frame around a solid centre."""
    fill(img, l, t, l + 30, t + 20, darker(colour))
    fill(img, l + 2, t + 2, l + 28, t + 18, colour)


def main():
    atlas = canvas(160, 80, WHITE)
    for i, c in enumerate((NORMAL, HOT, DOWN, DISABLED, FOCUSED)):
        state(atlas, 30 * i, 0, c)
    state(atlas, 0, 20, FRAME1)
    state(atlas, 30, 20, FRAME2)
    state(atlas, 0, 40, ROUND)
    state(atlas, 30, 40, ROUND_HOT)
    # Vertical splitter strip 6 x 40 with darker 4-pixel ends, its gripper below.
    fill(atlas, 150, 0, 156, 40, SPLIT)
    fill(atlas, 150, 0, 156, 4, SPLIT_END)
    fill(atlas, 150, 36, 156, 40, SPLIT_END)
    fill(atlas, 150, 40, 156, 50, MAGENTA)
    for y in (41, 44, 47):
        fill(atlas, 152, y, 154, y + 2, GRIP)
    # Horizontal splitter strip 40 x 6, its gripper to the right.
    fill(atlas, 0, 60, 40, 66, SPLIT)
    fill(atlas, 0, 60, 4, 66, SPLIT_END)
    fill(atlas, 36, 60, 40, 66, SPLIT_END)
    fill(atlas, 40, 60, 50, 66, MAGENTA)
    for x in (41, 44, 47):
        fill(atlas, x, 62, x + 2, 64, GRIP)
    write_bmp(os.path.join(OUT, "atlas.bmp"), atlas)

    # Mask of a 30 x 20 button: black inside, the outer corners cut.
    mask = canvas(30, 20, BLACK)
    for y in range(3):
        for x in range(3 - y):
            for px, py in ((x, y), (29 - x, y), (x, 19 - y), (29 - x, 19 - y)):
                mask[py][px] = WHITE
    write_bmp(os.path.join(OUT, "mask.bmp"), mask)

    # Glow frame 40 x 30 around a 30 x 20 button; its mask is white (opaque)
    # on a five-pixel ring and black under the button.
    write_bmp(os.path.join(OUT, "glow.bmp"), canvas(40, 30, GLOW))
    glowmask = canvas(40, 30, WHITE)
    fill(glowmask, 5, 5, 35, 25, BLACK)
    write_bmp(os.path.join(OUT, "glowmask.bmp"), glowmask)


if __name__ == "__main__":
    main()
