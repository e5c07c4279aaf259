#!/bin/bash
# skintool_roundtrip.sh <skintool> <skin folder>
set -u
tool=$1
src=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

"$tool" dump "$src" > "$work/dump.txt" || fail "dump of the folder"
for rec in "[caption] TbsDataSkinCaption (caption)" "[area] TbsDataUserObject (userobject)" \
           "[button] TbsDataSkinButtonControl (button)" "[richedit] TbsDataSkinRichEdit (richedit)" \
           "[SKINCONTROLS] 28 records" "[SKINOBJECTS] 10 records"; do
  grep -qF "$rec" "$work/dump.txt" || fail "dump lacks: $rec"
done

"$tool" pack "$src" "$work/a.skn" || fail "pack"
"$tool" unpack "$work/a.skn" "$work/unpacked" || fail "unpack"
"$tool" pack "$work/unpacked" "$work/b.skn" || fail "second pack"
cmp -s "$work/a.skn" "$work/b.skn" || fail "pack -> unpack -> pack changed the skin"
"$tool" dump "$work/a.skn" > "$work/dump2.txt" || fail "dump of the container"
cmp -s "$work/dump.txt" "$work/dump2.txt" || fail "the container dumps differently from the folder"

# Damaged input: a clear error and a non-zero exit, never a crash.
head -c 200 "$work/a.skn" > "$work/cut.skn"
out=$("$tool" unpack "$work/cut.skn" "$work/cut" 2>&1); rc=$?
[ $rc -eq 1 ] || fail "truncated container: exit $rc ($out)"
echo "$out" | grep -q "skintool:" || fail "truncated container: no message"
printf '[VERSION]\nver=1\n' > "$work/bad.ini"
"$tool" pack "$work/bad.ini" "$work/bad.skn" 2>/dev/null && fail "packing a non-skin succeeded"
# A picture named like the unpacked description does not overwrite it.
mkdir "$work/clash"
cp "$src/form.bmp" "$work/clash/skin.ini"
printf '[VERSION]\nver=1\n[PICTURES]\npicture=skin.ini\n[FORMINFO]\nclientrect=0,0,0,0\n[SKINOBJECTS]\ncount=0\n[SKINCONTROLS]\ncount=0\n' > "$work/clash/d.ini"
"$tool" pack "$work/clash/d.ini" "$work/clash.skn" || fail "pack of a skin whose picture is named skin.ini"
"$tool" unpack "$work/clash.skn" "$work/clash-out" 2>/dev/null || fail "unpack of that skin"
grep -q "picture=skin.ini" "$work/clash-out/skin.ini" || fail "the picture overwrote the unpacked description"
echo "skintool round trip: 1 passed, 0 failed"
