#!/usr/bin/env bash
# tintara takes no command line: Qt's own options, given to the real program
# under Xvfb, change nothing. The title stays, the window keeps its size, a style
# sheet named on the command line is never opened and paints nothing, and no
# plugin folder named there is looked into.
set -euo pipefail

tintara=$(realpath "$1")
for tool in xvfb-run xdotool import convert strace dbus-daemon setsid; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
if [ -z "${TINTARA_IN_XVFB:-}" ]; then
    TINTARA_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
unset QT_QPA_PLATFORM

. "$(dirname "$0")/RealGame.sh"
work=$(mktemp -d)
pid=
trap '[ -z "$pid" ] || kill -KILL "$pid" 2>/dev/null || true; stop_session_bus; rm -rf "$work"' EXIT
# strace follows every process the game starts, and waits for all of them: with
# a bus of the test's own, the game has no reason to start one.
start_session_bus "$work"
mkdir "$work/plugins"
echo 'QLabel { color: yellow; background-color: yellow; }' >"$work/yellow.qss"

strace -f -qq -e trace=%file -o "$work/trace" "$tintara" \
    -qwindowtitle Hijacked -qwindowgeometry 900x700+10+10 -stylesheet "$work/yellow.qss" \
    -platformpluginpath "$work/plugins" -reverse -style windows -session x \
    2>"$work/err" &
pid=$!

failed=0
ok() { echo "ok: $*"; }
bad() { echo "FAIL: $*"; failed=1; }

if window=$(timeout "$(scaled 10)" xdotool search --sync --onlyvisible --name '^Tintara by Orlandek$' | head -n 1); then
    ok "the title is the game's own"
else
    bad "no window titled 'Tintara by Orlandek' (titles: $(xdotool search --name . getwindowname %@ 2>/dev/null | tr '\n' ','))"
    exit 1
fi
await_pixel "$window" 267 83 000080 || bad "the window was not painted within ten seconds"
size=$(xdotool getwindowgeometry "$window" | awk '/Geometry:/ { print $2 }')
[ "$size" = 496x263 ] && ok "the window is 496x263" || bad "the window is $size"

# Label1, "Do this and win the game. ", stands at (248, 8) and measures 121 x 49:
# not one yellow pixel in it, text or background.
import -window "$window" "$work/shot.png"
yellow=$(convert "$work/shot.png" -crop 121x49+248+8 +repage -fill black +opaque yellow \
    -fill white -opaque yellow -format '%[fx:int(mean*w*h+0.5)]' info:)
[ "$yellow" = 0 ] && ok "the labels keep their colours" || bad "$yellow yellow pixels in Label1"

# Right to left would put the arrows on the left: cmdUp still stands at the right.
pixel=$(convert "$work/shot.png" -format '%[pixel:p{408,152}]' info:)
left=$(convert "$work/shot.png" -format '%[pixel:p{88,152}]' info:)
[ "$pixel" != "$left" ] || bad "the window looks mirrored"

# Ending the traced game ends strace, which then has written the whole trace.
game=$(xdotool getwindowpid "$window")
kill "$game"
for _ in $(seq "$(scaled 100)"); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then
    bad "strace still runs ten seconds after the game was ended; what it traces:"
    ps -o pid,args --ppid "$pid" || true
    exit 1
fi
wait "$pid" 2>/dev/null || true
pid=
if grep -v execve "$work/trace" | grep -F -e "$work/yellow.qss" -e "$work/plugins" >"$work/opened"; then
    bad "the program looked at a path from its command line:"
    cat "$work/opened"
else
    ok "neither the style sheet nor the plugin folder was opened"
fi
if [ -s "$work/err" ] && grep -qi -e argument -e option "$work/err"; then
    bad "the program said something about its arguments:"
    cat "$work/err"
fi
exit "$failed"
