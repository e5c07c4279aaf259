#!/bin/bash
# make_corpus.sh <skintool> <corpus dir>: seeds one folder per fuzz target
# (skin, description, bmp, picture, ini) from the committed test skin, small
# pictures made here, and inputs that once made the readers fail.
set -eu
tool=$1; out=$2
src=$(cd "$(dirname "$0")/../data/testskin" && pwd)
mkdir -p "$out"/{skin,description,bmp,picture,ini}
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
"$tool" pack "$src" "$tmp/t.skn"
{ printf '\x01'; cat "$tmp/t.skn"; } > "$out/skin/container"
python3 - "$tmp/t.skn" "$out" "$src" <<'PY'
import sys, zlib, struct, os
skn, out, src = sys.argv[1:4]
b = open(skn, 'rb').read()
n = struct.unpack('<i', b[4:8])[0]
open(os.path.join(out, 'skin', 'payload'), 'wb').write(b'\x00' + zlib.decompress(b[8:8 + n]))
def put(target, name, data):
    open(os.path.join(out, target, name), 'wb').write(data)
put('description', 'testskin', open(os.path.join(src, 'skin.ini'), 'rb').read())
# A picture list that claims two thousand million names.
put('description', 'huge-list',
    b'[VERSION]\nver=1\n[PICTURES]\npicture=\nactivepicturescount=2000000000\n1999999999=a.bmp\n'
    b'[FORMINFO]\nborderwidth=1\n[SKINOBJECTS]\ncount=0\n[SKINCONTROLS]\ncount=0\n')
# A record named like the store's hint window section.
put('description', 'store-name',
    b'[VERSION]\nver=1\n[PICTURES]\npicture=\n[FORMINFO]\nborderwidth=1\n[HINTWINDOW]\nfontheight=9\n'
    b'[SKINOBJECTS]\ncount=0\n[SKINCONTROLS]\ncount=1\n0=hintwindow:panel\n')
for f in sorted(os.listdir(src)):
    if f.endswith('.bmp'):
        data = open(os.path.join(src, f), 'rb').read()
        put('bmp', f, data)
        put('picture', f, b'\x00' + data)
def bmp(w, h, bpp, comp, pal, pix):
    off = 14 + 40 + 4 * len(pal)
    hdr = b'BM' + struct.pack('<IHHI', off + len(pix), 0, 0, off)
    hdr += struct.pack('<IiiHHIIiiII', 40, w, h, 1, bpp, comp, len(pix), 0, 0, len(pal), 0)
    return hdr + b''.join(struct.pack('<I', c) for c in pal) + pix
# Run-length pictures, one far larger than its runs can describe.
put('bmp', 'rle8', bmp(3, 2, 8, 1, [0, 0xFFFFFF], bytes([2, 1, 0, 0, 0, 3, 1, 0, 1, 0, 0, 1])))
put('bmp', 'rle4-huge', bmp(8192, 8192, 4, 2, [0, 0xFFFFFF], bytes([255, 1, 0, 1])))
# The other readers of picture files get a tiny file of their kind.
put('picture', 'png', b'\x03' + bytes.fromhex(
    '89504e470d0a1a0a0000000d49484452000000010000000108060000001f15c489'
    '0000000d4944415478da63f8cfc0f01f0005000201a1ef3bb90000000049454e44ae426082'))
put('picture', 'gif', b'\x05GIF89a\x01\x00\x01\x00\x80\x00\x00\x00\x00\x00\xff\xff\xff!\xf9\x04\x01\x00\x00\x00\x00'
    b',\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02D\x01\x00;')
# option.ini as the program writes it; and one with two byte-order marks
# and its first section repeated. The two leading bytes pick the edits.
ini = b'[Options]\r\nThreads=5\r\nMultiThread=1\r\n\r\n[OutPath]\r\nPath=/tmp/out\r\n\r\n[Skin]\r\nIndex=2\r\n'
put('ini', 'option', b'\x00\x00' + ini)
put('ini', 'two-marks', b'\x01\x01' + b'\xef\xbb\xbf\xef\xbb\xbf' + ini + b'[options]\r\nthreads=1\r\n')
PY
