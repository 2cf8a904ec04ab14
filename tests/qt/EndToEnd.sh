#!/usr/bin/env bash
# The real tintara under Xvfb, driven like a player with xdotool: it opens its
# window, an arrow click counts, Exit answered No ends it with status 0.
set -euo pipefail

tintara=$(realpath "$1")
for tool in xvfb-run xdotool import convert dbus-daemon setsid; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

if [ -z "${TINTARA_IN_XVFB:-}" ]; then
    TINTARA_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

unset QT_QPA_PLATFORM
. "$(dirname "$0")/RealGame.sh"
work=$(mktemp -d)
pid=
trap '[ -z "$pid" ] || kill "$pid" 2>/dev/null || true; stop_session_bus; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
start_session_bus "$work"

"$tintara" &
pid=$!
window=$(timeout "$(scaled 10)" xdotool search --sync --onlyvisible --name '^Tintara by Orlandek$' | head -n 1) ||
    fail "no window appeared"
echo "window $window, process $pid"

click() { xdotool mousemove --window "$window" "$1" "$2" click 1; }

# The navy swatch shows once the window is painted.
await_pixel "$window" 267 83 000080 || fail "the window was not painted within ten seconds"
# Down, or else Up: one of them moves a tile, and the counter changes.
before=$(window_digest "$window")
click 408 208 # cmdDown
if ! await_change "$window" "$before"; then
    click 408 152 # cmdUp
    await_change "$window" "$before" || fail "the arrows changed nothing"
fi

click 436 76 # cmdExit
question=$(timeout "$(scaled 5)" xdotool search --sync --onlyvisible --name '^Attention!$' | head -n 1) ||
    fail "the Exit question did not appear"
xdotool windowfocus --sync "$question"
xdotool key --clearmodifiers n

for _ in $(seq "$(scaled 50)"); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "still running five seconds after No"
status=0
wait "$pid" || status=$?
pid=
[ "$status" -eq 0 ] || fail "exit status $status"
echo "PASS: the game ran, counted, and ended with status 0 after No"
