#!/usr/bin/env python3
"""Writes the two small skins the input controls demo shows (skins/blue and
skins/olive): a "combobox", a "listbox" and an "edit" record drawn on one
picture, each state a flat colour in a darker frame, so that a screenshot
shows which picture part a control drew."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def write_bmp(path, pixels):
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


def fill(img, l, t, r, b, c):
    for y in range(t, b):
        for x in range(l, r):
            img[y][x] = c


def framed(img, l, t, r, b, frame, inside, width=2):
    fill(img, l, t, r, b, frame)
    fill(img, l + width, t + width, r - width, b - width, inside)


def arrow(img, cx, cy, c):
    for i, w in enumerate((7, 5, 3, 1)):
        fill(img, cx - w // 2, cy - 2 + i, cx - w // 2 + w, cy - 1 + i, c)


def shade(c, k):
    return tuple(max(0, min(255, int(v * k))) for v in c)


def rgb_int(c):  # a TColor: $00BBGGRR
    return c[0] | (c[1] << 8) | (c[2] << 16)


def make(name, base, accent, text):
    img = [[(255, 255, 255)] * 200 for _ in range(200)]
    # Combo box: normal, hot and pressed pictures, 60 x 20, button at 42..58.
    for i, (body, button) in enumerate(((base, shade(accent, 1.0)), (shade(base, 1.08), shade(accent, 1.2)),
                                        (base, shade(accent, 0.7)))):
        l = 60 * i
        framed(img, l, 0, l + 60, 20, shade(accent, 0.6), body)
        framed(img, l + 42, 2, l + 58, 18, shade(accent, 0.5), button, 1)
        arrow(img, l + 50, 10, (255, 255, 255))
    # List box 60 x 60 with its item pictures (normal, selected, focused) below.
    framed(img, 0, 40, 60, 100, shade(accent, 0.6), shade(base, 1.1))
    framed(img, 0, 110, 60, 128, shade(base, 1.1), shade(base, 1.1), 1)
    framed(img, 60, 110, 120, 128, shade(accent, 0.8), accent, 1)
    framed(img, 120, 110, 180, 128, shade(accent, 0.5), shade(accent, 0.85), 1)
    # Edit, normal and hot.
    framed(img, 0, 140, 60, 160, shade(accent, 0.6), (255, 255, 255))
    framed(img, 60, 140, 120, 160, shade(accent, 1.2), (255, 255, 255))
    out = os.path.join(HERE, "skins", name)
    os.makedirs(out, exist_ok=True)
    write_bmp(os.path.join(out, "inputs.bmp"), img)
    nine = "lefttoppoint={l},{t}\nrighttoppoint={r},{t}\nleftbottompoint={l},{b}\nrightbottompoint={r},{b}\n"
    with open(os.path.join(out, "skin.ini"), "w") as f:
        f.write(f"""; Written by ../../make_skins.py: the input controls demo's {name} skin.
[VERSION]
ver=1
skinname={name.capitalize()} inputs
skinauthor=Input controls demo

[PICTURES]
activepicturescount=1
0=inputs.bmp

[FORMINFO]
clientrect=0,0,0,0

[SKINCOLORS]
cbtnface={rgb_int(base)}
cbtntext=0
cbtnhighlight=16777215
cbtnshadow=8421504

[SKINOBJECTS]
count=0

[SKINCONTROLS]
count=3
0=combobox:combobox
1=listbox:listbox
2=edit:edit

[combobox]
pictureindex=0
skinrect=0,0,60,20
{nine.format(l=3, t=3, r=40, b=17)}clientrect=3,3,40,17
stretcheffect=1
activeskinrect=60,0,120,20
buttonrect=42,2,58,18
activebuttonrect=102,2,118,18
downbuttonrect=162,2,178,18
itemtextrect=0,0,37,14
fontname=Arial
fontheight=14
fontcolor={rgb_int(text)}
focusfontcolor={rgb_int(shade(accent, 0.5))}
activefontcolor={rgb_int(shade(accent, 0.6))}
listboxname=listbox

[listbox]
pictureindex=0
skinrect=0,40,60,100
{nine.format(l=2, t=2, r=58, b=58)}clientrect=2,2,58,58
leftstretch=1
topstretch=1
rightstretch=1
bottomstretch=1
stretcheffect=1
itemrect=0,110,60,128
activeitemrect=60,110,120,128
focusitemrect=120,110,180,128
itemleftoffset=2
itemrightoffset=2
itemtextrect=4,0,56,18
fontname=Arial
fontheight=14
fontcolor={rgb_int(text)}
activefontcolor=16777215
focusfontcolor=16777215

[edit]
pictureindex=0
skinrect=0,140,60,160
{nine.format(l=3, t=3, r=57, b=17)}clientrect=3,3,57,17
stretcheffect=1
activeskinrect=60,140,120,160
fontname=Arial
fontheight=14
fontcolor={rgb_int(text)}
activefontcolor={rgb_int(shade(accent, 0.5))}
disabledfontcolor=8421504
""")


if __name__ == "__main__":
    make("blue", (225, 232, 245), (70, 110, 190), (20, 30, 60))
    make("olive", (238, 236, 220), (120, 130, 60), (50, 45, 20))
