#!/usr/bin/env bash
# The real tintara as a native Wayland client under a headless sway, checked
# through the compositor: its window appears with its title, Space on the
# focused Up arrow slides a tile, Exit asks its question, Escape ends it with
# status 0; then, on an output scaled by two, the window has twice the pixels,
# its arrows and edges are sharp, and closing it from the compositor ends it.
set -euo pipefail

tintara=$(realpath "$1")
for tool in sway swaymsg grim wtype convert compare identify setpriv setsid dbus-daemon; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
export LC_ALL=C.UTF-8
. "$(dirname "$0")/RealGame.sh"

title='Tintara by Orlandek'
work=$(mktemp -d)
sway_pid='' holder_pid='' game_pid='' game_log=''

stop() { # pid...: ends the processes this script started
    local pid
    for pid in "$@"; do
        [ -z "$pid" ] || kill "$pid" 2>/dev/null || true
    done
    for pid in "$@"; do
        [ -n "$pid" ] || continue
        for _ in $(seq 30); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
        kill -KILL "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
}
cleanup() {
    stop "$game_pid" "$holder_pid" "$sway_pid"
    stop_session_bus
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

# sway does not run as root: there the compositor and the game run as nobody,
# in a directory of their own, with everything they read copied to where
# nobody can read it.
as=()
if [ "$(id -u)" -eq 0 ]; then
    as=(setpriv --reuid=nobody --regid="$(id -g nobody)" --clear-groups)
fi
chmod 755 "$work"
mkdir -m 700 "$work/run" "$work/home" "$work/shots"
[ ${#as[@]} -eq 0 ] || chown nobody: "$work/run" "$work/home" "$work/shots"
install -m 755 "$tintara" "$work/tintara"

# The sanitizers' options reach the game; a suppressions file is copied next to
# it, because the original may lie where nobody cannot read.
sanitizer_env=()
for name in ASAN_OPTIONS LSAN_OPTIONS UBSAN_OPTIONS; do
    value=${!name-}
    [ -n "$value" ] || continue
    if [[ $value =~ (^|[:, ])suppressions=([^:, ]+) ]]; then
        copy=$work/$name.supp
        install -m 644 "${BASH_REMATCH[2]}" "$copy"
        value=${value/suppressions=${BASH_REMATCH[2]}/suppressions=$copy}
    fi
    sanitizer_env+=("$name=$value")
done

wayland_display='' swaysock=''
# Becomes a command run as the compositor's user, in a clean environment; run
# in the background it keeps the job's process id.
launch() {
    exec "${as[@]}" env -i PATH=/usr/local/bin:/usr/bin:/bin HOME="$work/home" \
        XDG_RUNTIME_DIR="$work/run" LC_ALL=C.UTF-8 \
        ${DBUS_SESSION_BUS_ADDRESS:+DBUS_SESSION_BUS_ADDRESS=$DBUS_SESSION_BUS_ADDRESS} \
        ${wayland_display:+WAYLAND_DISPLAY=$wayland_display} ${swaysock:+SWAYSOCK=$swaysock} "$@"
}
run() { (launch "$@"); }

failed=0
ok() { echo "ok: $*"; }
diagnose() {
    echo "--- windows in the compositor:"
    [ -z "$swaysock" ] || views || true
    echo "--- sway log (last lines):"
    tail -n 20 "$work/sway.log" 2>/dev/null || true
    echo "--- game output:"
    cat "$game_log" 2>/dev/null || true
}
fail() { echo "FAIL: $*"; diagnose; exit 1; }
check() { # what, actual, expected
    if [ "$2" = "$3" ]; then ok "$1"; else echo "FAIL: $1: $2, expected $3"; failed=1; fi
}

# swaymsg's tree as one "key":value per line, whatever its layout.
tokens() {
    run swaymsg -t get_tree -r | tr -d '\n' | sed -e 's/[][{},]/\n/g' |
        sed -e 's/^[[:space:]]*//' -e 's/"[[:space:]]*:[[:space:]]*/":/' -e '/^$/d'
}
# One line per window: "x y width height focused pid", a tab, the title.
views() {
    tokens | awk '
        /^"rect":$/ { inrect = 1; n = 0; next }
        inrect && /^"(x|y|width|height)":/ {
            sub(/^[^:]*:/, ""); v[n++] = $0 + 0
            if (n == 4) { inrect = 0; rect = v[0] " " v[1] " " v[2] " " v[3] }
            next
        }
        /^"focused":/ { focused = substr($0, 11) }
        /^"name":/ { name = substr($0, 8); gsub(/^"|"$/, "", name) }
        /^"pid":/ { pid = substr($0, 7) }
        /^"app_id":/ { printf "%s %s %s\t%s\n", rect, focused, pid, name }'
}
# "x y width height focused pid" of the window with this title, or nothing.
window() { views | awk -F '\t' -v title="$1" '$2 == title { print $1 }'; }
# Waits up to $2 seconds for the window titled $1 (focused when $3 is "focused");
# sets x y w h.
await_window() {
    local deadline=$((SECONDS + $(scaled "$2"))) found
    while :; do
        found=$(window "$1")
        read -r x y w h focused pid _ <<<"$found" || true
        if [ -n "$found" ] && { [ "${3:-}" != focused ] || [ "$focused" = true ]; }; then
            return 0
        fi
        [ -n "$game_pid" ] && ! kill -0 "$game_pid" 2>/dev/null && return 1
        [ $SECONDS -lt $deadline ] || return 1
        sleep 0.2
    done
}
# Waits up to $1 seconds for the game to end; sets status.
await_end() {
    local deadline=$((SECONDS + $(scaled "$1")))
    while kill -0 "$game_pid" 2>/dev/null; do
        [ $SECONDS -lt $deadline ] || return 1
        sleep 0.1
    done
    status=0
    wait "$game_pid" || status=$?
    game_pid=''
}

# Checks the game's exit status and that its sanitizers, if any, said nothing.
ended() { # what
    if [ "$status" -eq 0 ] && ! grep -q -E 'Sanitizer|runtime error' "$game_log"; then
        ok "exit status 0 $1"
    else
        echo "FAIL: exit status $status $1, output:"
        cat "$game_log"
        failed=1
    fi
}

# A screenshot of the game's window, through the compositor.
shot=$work/shots/window.png
screenshot() { run grim -g "$x,$y ${w}x$h" "$shot"; }
pixel() { convert "$shot" -alpha off -format "%[pixel:p{$1,$2}]" info:; }

start_sway() { # output configuration
    cat >"$work/config" <<EOF
xwayland disable
output * $1
default_border none
default_floating_border none
for_window [title="^$title\$"] floating enable
EOF
    chmod 644 "$work/config"
    launch env WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
        sway -V -c "$work/config" >"$work/sway.log" 2>&1 &
    sway_pid=$!
    local deadline=$((SECONDS + 10)) socket
    while :; do
        kill -0 "$sway_pid" 2>/dev/null || fail "sway did not start"
        for socket in "$work"/run/wayland-*; do
            [ -S "$socket" ] && wayland_display=${socket##*/}
        done
        for socket in "$work"/run/sway-ipc.*.sock; do
            [ -S "$socket" ] && swaysock=$socket
        done
        [ -n "$wayland_display" ] && [ -n "$swaysock" ] &&
            run swaymsg -t get_version >/dev/null 2>&1 && break
        [ $SECONDS -lt $deadline ] || fail "sway did not start within 10 seconds"
        sleep 0.1
    done
    # A keyboard that stays in the seat for the whole run: when the seat's last
    # keyboard goes, the game's window loses the keyboard and a keyboard added
    # later does not bring it back. Each key below comes from a keyboard of
    # its own next to this one.
    launch wtype -s 600000 &
    holder_pid=$!
}

start_game() { # name of the run, for its log
    game_log=$work/game-$1.log
    launch env QT_QPA_PLATFORM=wayland "${sanitizer_env[@]}" "$work/tintara" >"$game_log" 2>&1 &
    game_pid=$!
    if ! await_window "$title" 30 focused; then
        if grep -q 'Qt platform plugin "wayland"' "$game_log"; then
            echo "SKIP: Qt's Wayland platform plugin is not installed"
            exit 77
        fi
        fail "no focused window titled \"$title\" within 30 seconds"
    fi
}

# The board cells' centres in the window, at one device pixel per logical pixel.
cells=''
for row in 0 1 2 3; do
    for column in 0 1 2 3; do
        cells+="%[hex:p{$((16 + 56 * column + 26)),$((16 + 56 * row + 26))}] "
    done
done
# The colours of the sixteen cells, then the index of the empty one, or -1: the
# one cell in a colour that no tile has (it shows the button face).
tiles='000080 008000 008080 800000 0000FF 00FF00 00FFFF FF0000 800080 804000 808080 404040 FF00FF FFFF00 FFFFFF'
board() {
    screenshot
    convert "$shot" -alpha off -format "$cells" info: | awk -v tiles="$tiles" '{
        n = split(tiles, t, " "); for (i = 1; i <= n; i++) tile[t[i]] = 1
        empty = -1; others = 0
        for (k = 1; k <= 16; k++) { if ($k in tile) others++; else empty = k - 1 }
        print $0, (others == 15 ? empty : -1) }'
}
# Waits up to $1 seconds for a board that is not $2; sets now (the board).
await_change() {
    local deadline=$((SECONDS + $(scaled "$1")))
    while :; do
        now=$(board)
        [ "$now" != "$2" ] && [ "${now##* }" -ge 0 ] && return 0
        [ $SECONDS -lt $deadline ] || return 1
        sleep 0.2
    done
}
empty_of() { echo "${1##* }"; }
key() { run wtype "$@"; }
# Presses Space on the focused arrow and expects the empty cell to move from
# $1 to $2, the tile there taking its place.
slide() {
    local before=$now what=$3
    key -k space
    await_change 10 "$before" || fail "$what: Space changed nothing on the board"
    local cells_before cells_now
    read -ra cells_before <<<"$before"
    read -ra cells_now <<<"$now"
    if [ "$(empty_of "$now")" -ne "$2" ] || [ "${cells_now[$1]}" != "${cells_before[$2]}" ]; then
        fail "$what: the empty cell went from $1 to $(empty_of "$now"), expected $2"
    fi
    ok "$what: the empty cell moved from cell $(($1 + 1)) to $(($2 + 1))"
}

begin=$SECONDS
# The session bus of a desktop, the compositor's user's own.
start_session_bus "$work/run" "${as[@]}" env -i PATH=/usr/local/bin:/usr/bin:/bin \
    HOME="$work/home" XDG_RUNTIME_DIR="$work/run" LC_ALL=C.UTF-8
echo "== At scale 1"
start_sway "resolution 1280x800 position 0 0 scale 1"
start_game scale1
ok "a window titled \"$title\" in the compositor's tree, focused"
check "the window's process" "$pid" "$game_pid"
check "window size" "${w}x$h" 496x263

deadline=$((SECONDS + $(scaled 10)))
until now=$(board) && [ "$(empty_of "$now")" -ge 0 ]; do
    [ $SECONDS -lt $deadline ] || fail "no board with one empty cell on the screen: $now"
    sleep 0.2
done
empty=$(empty_of "$now")
ok "the board is on the screen, cell $((empty + 1)) empty"

# The focus starts on Up: Space clicks it, and the tile below the empty cell
# slides up. With the empty cell in the bottom row there is nothing below it:
# then Down, two Tabs on, goes first, and Up brings the empty cell back down.
if [ "$empty" -lt 12 ]; then
    slide "$empty" $((empty + 4)) "Space on Up"
else
    before=$now
    key -k space
    sleep "$(scaled 1)"
    now=$(board)
    [ "$now" = "$before" ] || fail "Space on Up changed the board with the empty cell in the bottom row"
    ok "Space on Up: nothing to slide with the empty cell in the bottom row"
    key -k Tab -k Tab
    slide "$empty" $((empty - 4)) "Space on Down"
    key -M shift -k Tab -k Tab -m shift
    slide $((empty - 4)) "$empty" "Space on Up"
fi

# Five Tabs from Up reach Exit, which asks.
key -k Tab -k Tab -k Tab -k Tab -k Tab -k space
await_window 'Attention!' 10 focused || fail "no focused question titled \"Attention!\" after Exit"
ok "Exit asks in a window titled \"Attention!\""
key -k Escape
await_end 10 || fail "still running 10 seconds after Escape"
ended "after Escape"
deadline=$((SECONDS + $(scaled 5)))
while [ -n "$(window "$title")" ]; do
    [ $SECONDS -lt $deadline ] || fail "the window is still in the compositor's tree"
    sleep 0.1
done
ok "the window is gone from the compositor"

echo "== At scale 2"
run swaymsg output '*' resolution 2560x1600 scale 2 >/dev/null
run swaymsg -t get_outputs -r | tr -d '\n' | grep -q '"scale":[[:space:]]*2' ||
    fail "the output did not take scale 2"
start_game scale2
check "window size in logical pixels" "${w}x$h" 496x263
# Wait for a frame at the output's density: a sharp arrow (halved and doubled
# again it changes).
arrow=$work/arrow.png doubled=$work/doubled.png
deadline=$((SECONDS + $(scaled 10)))
while :; do
    screenshot
    convert "$shot" -crop 98x98+768+256 +repage "$arrow"
    convert "$arrow" -sample 50% -sample 200% "$doubled"
    changed=$(compare -metric AE "$arrow" "$doubled" null: 2>&1 || true)
    changed=${changed%% *}
    [[ $changed =~ ^[0-9]+$ ]] && [ "$changed" -gt 0 ] && break
    [ $SECONDS -lt $deadline ] || break
    sleep 0.2
done
check "screenshot size" "$(identify -format %wx%h "$shot")" 992x526
if [[ $changed =~ ^[0-9]+$ ]] && [ "$changed" -gt 0 ]; then
    ok "arrow drawn at full resolution ($changed pixels differ from a doubled half)"
else
    echo "FAIL: the arrow is an enlarged low-resolution picture ($changed)"
    failed=1
fi
# Every place twice as far: the navy and red swatches, the blue frame's edge.
check "navy swatch" "$(pixel 534 166)" "srgb(0,0,128)"
check "red swatch" "$(pixel 678 214)" "srgb(255,0,0)"
check "frame outline" "$(pixel 497 240)" "srgb(0,0,255)"
# A sunken edge is drawn in a few flat colours, with no blend between them.
edge=$(convert "$shot" -crop 12x4+28+60 +repage -unique-colors -format %w info:)
if [ "$edge" -le 4 ]; then ok "sharp cell edge ($edge colours)"; else
    echo "FAIL: the cell edge has $edge colours"
    failed=1
fi

# Closing the window from the compositor ends the game.
run swaymsg "[title=\"^$title\$\"] kill" >/dev/null
await_end 10 || fail "still running 10 seconds after the compositor closed the window"
ended "after closing"

[ "$failed" -eq 0 ] || { diagnose; exit 1; }
echo "PASS: tintara ran on Wayland at scales 1 and 2 in $((SECONDS - begin)) seconds"
