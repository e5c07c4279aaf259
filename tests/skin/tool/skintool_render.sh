#!/bin/bash
# skintool_render.sh <skintool> <skin folder>: render and demo-effects end to end.
set -u
tool=$1
src=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

out=$("$tool" render "$src" button 40x30 "$work/button.png" 4) || fail "render button: $out"
echo "$out" | grep -q "button at 40x30: TbsDataSkinButtonControl, nine-part" || fail "render button said: $out"
echo "$out" | grep -q "region .* within 0,0,40,30" || fail "button region: $out"
[ -s "$work/button.png" ] || fail "no button picture"
out=$("$tool" render "$src" form 90x50 "$work/form.png") || fail "render form: $out"
echo "$out" | grep -q "form at 90x50: form picture 16x12" || fail "render form said: $out"
"$tool" pack "$src" "$work/t.skn" || fail "pack"
out=$("$tool" render "$work/t.skn" panel 60x40 "$work/panel.png") || fail "render from a container: $out"
echo "$out" | grep -q "panel at 60x40" || fail "render panel said: $out"

# Mistakes get a clear message and exit 1.
for args in "nosuch 10x10" "button 10by10" "button 0x10"; do
  out=$("$tool" render "$src" $args "$work/x.png" 2>&1); rc=$?
  [ $rc -eq 1 ] || fail "render $args: exit $rc ($out)"
  echo "$out" | grep -q "skintool:" || fail "render $args: no message"
done

"$tool" demo-effects "$work/fx" > "$work/fx.txt" || fail "demo-effects"
for f in morph filters glow reflection; do [ -s "$work/fx/$f.png" ] || fail "demo-effects wrote no $f.png"; done
echo "skintool render: 1 passed, 0 failed"
