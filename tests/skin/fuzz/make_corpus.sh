#!/bin/bash
# make_corpus.sh <skintool> <corpus dir>: seeds from the committed test skin.
set -eu
tool=$1; out=$2
src=$(cd "$(dirname "$0")/../data/testskin" && pwd)
mkdir -p "$out"
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
"$tool" pack "$src" "$tmp/t.skn"
{ printf '\x01'; cat "$tmp/t.skn"; } > "$out/container"
python3 - "$tmp/t.skn" "$out/payload" <<'PY'
import sys, zlib, struct
b = open(sys.argv[1], 'rb').read()
n = struct.unpack('<i', b[4:8])[0]
open(sys.argv[2], 'wb').write(b'\x00' + zlib.decompress(b[8:8 + n]))
PY
