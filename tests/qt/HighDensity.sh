#!/usr/bin/env bash
# On a screen scaled by two, tintara's window is twice the size, keeps its
# proportions, and draws its arrows, edges and the frame's fill sharp rather
# than as enlarged pixels. Checked on a screenshot of the real program under Xvfb.
set -euo pipefail

tintara=$(realpath "$1")
for tool in xvfb-run xdotool import convert compare dbus-daemon setsid; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
if [ -z "${TINTARA_IN_XVFB:-}" ]; then
    TINTARA_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 1280x800x24" "$0" "$@"
fi

unset QT_QPA_PLATFORM
. "$(dirname "$0")/RealGame.sh"
work=$(mktemp -d)
pid=
trap '[ -z "$pid" ] || kill "$pid" 2>/dev/null || true; stop_session_bus; rm -rf "$work"' EXIT
start_session_bus "$work"
shot=$work/shot.png
QT_SCALE_FACTOR=2 "$tintara" &
pid=$!
window=$(timeout "$(scaled 10)" xdotool search --sync --onlyvisible --name '^Tintara by Orlandek$' | head -n 1)
# The navy swatch, at twice its place, shows once the window is painted.
await_pixel "$window" 534 166 000080 || echo "FAIL: the window was not painted within ten seconds"
import -window "$window" "$shot"

failed=0
expect() { # what, actual, expected
    if [ "$2" = "$3" ]; then echo "ok: $1"; else echo "FAIL: $1: $2, expected $3"; failed=1; fi
}
pixel() { convert "$shot" -format "%[pixel:p{$1,$2}]" info:; }
colours() { convert "$shot" -crop "$1" +repage -unique-colors -format %w info:; }

expect "window size" "$(identify -format %wx%h "$shot")" 992x526
# Every place twice as far: the centres of the navy and red swatches, the
# blue frame's left edge.
expect "navy swatch" "$(pixel 534 166)" "srgb(0,0,128)"
expect "red swatch" "$(pixel 678 214)" "srgb(255,0,0)"
expect "frame outline" "$(pixel 497 240)" "srgb(0,0,255)"
# The frame's crossing diagonals at twice the size of their tile of 8 pixels,
# in a strip above the swatches.
expect "the frame's crossing diagonals, scaled" "$(convert "$shot" -crop 192x12+504+132 +repage txt:- |
    awk -v scale=2 -v left=504 -v top=132 -v ink='#C0C0FF' -f "$(dirname "$0")/../Hatch.awk")" 0
# A sunken edge is drawn in a few flat colours, with no blend between them.
edge=$(colours 12x4+28+60)
[ "$edge" -le 4 ] && echo "ok: sharp cell edge ($edge colours)" ||
    { echo "FAIL: the cell edge has $edge colours"; failed=1; }
# The arrow has detail finer than a doubled pixel: halving and doubling it
# again changes it.
arrow=$work/arrow.png
doubled=$work/doubled.png
convert "$shot" -crop 98x98+768+256 +repage "$arrow"
convert "$arrow" -sample 50% -sample 200% "$doubled"
changed=$(compare -metric AE "$arrow" "$doubled" null: 2>&1 || true)
rm -f "$arrow" "$doubled"
[ "${changed%% *}" -gt 0 ] && echo "ok: arrow drawn at full resolution ($changed pixels)" ||
    { echo "FAIL: the arrow is an enlarged low-resolution picture"; failed=1; }
exit "$failed"
