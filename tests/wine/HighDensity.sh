#!/usr/bin/env bash
# At 192 dots per inch (Wine's LogPixels) tintara.exe lays its window out for
# the density it declares itself aware of: twice the size, its places twice
# as far, and its edges and arrows drawn at full resolution rather than as
# enlarged pixels.
set -euo pipefail
here=$(dirname "$(realpath "$0")")
tintara=$(realpath "$1")
probe=$(realpath "$2")
. "$here/session.sh"
wine_session 1600x1200x24 "$@"

failed=0
expect() { # what, actual, expected
    if [ "$2" = "$3" ]; then echo "ok: $1"; else echo "FAIL: $1: '$2', expected '$3'"; failed=1; fi
}
field() { awk -v key="$1" '$1 == key { $1 = ""; sub(/^ /, ""); print; exit }'; }
control() { awk -v name="$2" '$1 == "control" && $2 == name { print $3, $4, $5, $6 }' <<<"$1"; }

wine_set_dpi 192
wine_start "$tintara"
report=$(wine_run 60 "$probe" window) || { echo "FAIL: no window"; exit 1; }
expect "density" "$(field dpi <<<"$report")" 192
expect "aware of each screen's density" "$(field awareness <<<"$report")" 2
expect "client size" "$(field client <<<"$report")" "992 526"
expect "B1" "$(control "$report" B1)" "32 32 106 106"
expect "B16" "$(control "$report" B16)" "368 368 106 106"
expect "Picture10" "$(control "$report" Picture10)" "656 192 44 44"
expect "cmdUp" "$(control "$report" cmdUp)" "768 256 98 98"
expect "lblNum" "$(control "$report" lblNum)" "480 448 114 66"

origin=($(field origin <<<"$report"))
shot=$wine_work/shot.png
sleep 0.5
import -window root -crop "992x526+${origin[0]}+${origin[1]}" +repage "$shot"
pixel() { convert "$shot" -format "%[pixel:p{$1,$2}]" info:; }
colours() { convert "$shot" -crop "$1" +repage -unique-colors -format %w info:; }
expect "navy swatch" "$(pixel 534 166)" "srgb(0,0,128)"
expect "red swatch" "$(pixel 678 214)" "srgb(255,0,0)"
expect "frame outline" "$(pixel 497 240)" "srgb(0,0,255)"
# A sunken edge is drawn in a few flat colours, with no blend between them.
edge=$(colours 12x4+28+60)
[ "$edge" -le 4 ] && echo "ok: sharp cell edge ($edge colours)" ||
    { echo "FAIL: the cell edge has $edge colours"; failed=1; }
# The arrow has detail finer than a doubled pixel: halving and doubling it
# again changes it.
arrow=$wine_work/arrow.png
doubled=$wine_work/doubled.png
convert "$shot" -crop 98x98+768+256 +repage "$arrow"
convert "$arrow" -sample 50% -sample 200% "$doubled"
changed=$(compare -metric AE "$arrow" "$doubled" null: 2>&1 || true)
[ "${changed%% *}" -gt 0 ] && echo "ok: arrow drawn at full resolution ($changed pixels)" ||
    { echo "FAIL: the arrow is an enlarged low-resolution picture"; failed=1; }
exit "$failed"
