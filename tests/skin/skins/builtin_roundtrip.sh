#!/bin/bash
# builtin_roundtrip.sh <skintool> <folder of the built-in .skn files>
# Every built-in skin unpacks to a folder that packs back into the same file,
# the repacked skin dumps the same records, and its contact sheet draws.
set -u
tool=$1
dir=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
n=0
for skn in "$dir"/*.skn; do
  name=$(basename "$skn" .skn)
  "$tool" unpack "$skn" "$work/$name" || { echo "FAIL: unpack $name"; exit 1; }
  "$tool" pack "$work/$name" "$work/$name.skn" || { echo "FAIL: pack $name"; exit 1; }
  cmp -s "$skn" "$work/$name.skn" || { echo "FAIL: $name changed in unpack -> pack"; exit 1; }
  "$tool" dump "$skn" > "$work/a.txt" && "$tool" dump "$work/$name.skn" > "$work/b.txt" ||
    { echo "FAIL: dump $name"; exit 1; }
  cmp -s "$work/a.txt" "$work/b.txt" || { echo "FAIL: $name dumps differently after the round trip"; exit 1; }
  out=$("$tool" render "$skn" --sheet "$work/$name.png") || { echo "FAIL: contact sheet of $name: $out"; exit 1; }
  [ -s "$work/$name.png" ] || { echo "FAIL: no contact sheet of $name"; exit 1; }
  n=$((n + 1))
done
[ "$n" -eq 11 ] || { echo "FAIL: $n skins in $dir, expected 11"; exit 1; }
echo "built-in skins round trip: $n passed"
