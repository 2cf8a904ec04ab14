#!/usr/bin/env bash
# Installs the Debian package with apt, as a user would, plays the installed game
# under Xvfb (its window opens; Exit answered No ends it with status 0), then
# purges the package and checks that nothing of it is left and that the system
# holds the same packages as before.
#
# It changes the system it runs on, so it runs only where that system is thrown
# away afterwards, as tools/chroot-test does, and says so with
# TINTARA_DISPOSABLE_SYSTEM=1. It needs root and an apt that can reach the archive
# for the package's dependencies; xvfb, xauth and xdotool are installed if missing.
# A package for another architecture (arm64 on amd64) is played under qemu's user
# emulation (tools/emulate), with its waits scaled as the tests' are there.
# Usage: TINTARA_DISPOSABLE_SYSTEM=1 InstalledTest.sh tintara_0.00_<arch>.deb
#        (exits 77 when it may not or cannot run)
set -euo pipefail

if [ "${TINTARA_DISPOSABLE_SYSTEM:-}" != 1 ]; then
    echo "SKIP: this test installs and purges packages; it runs only on a system that is" \
        "thrown away afterwards, with TINTARA_DISPOSABLE_SYSTEM=1" >&2
    exit 77
fi
if [ "$#" -ne 1 ] || [ ! -f "$1" ]; then
    echo "usage: TINTARA_DISPOSABLE_SYSTEM=1 $0 tintara_0.00_<arch>.deb" >&2
    exit 2
fi
if [ "$(id -u)" -ne 0 ]; then
    echo "SKIP: installing a package needs root" >&2
    exit 77
fi
deb=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../tools/packages.sh"
. "$here/../../tests/qt/RealGame.sh"
export DEBIAN_FRONTEND=noninteractive

installed() { dpkg-query -W -f='${db:Status-Status}' "$1" 2>/dev/null | grep -qx installed; }
if dpkg-query -W tintara >/dev/null 2>&1; then
    echo "FAIL: tintara is already known to dpkg here; this test installs and purges its own" >&2
    exit 1
fi
need_packages xvfb xauth xdotool dbus-daemon

work=$(mktemp -d)
game_pid=
purged=yes
cleanup() {
    [ -z "$game_pid" ] || kill "$game_pid" 2>/dev/null || true
    stop_session_bus
    # Should the test stop half way, the package goes all the same.
    if [ "$purged" = no ] && dpkg-query -W tintara >/dev/null 2>&1; then
        echo "removing tintara on the way out" >&2
        apt-get purge -y -q tintara </dev/null >/dev/null 2>&1 || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
packages() { dpkg-query -W -f='${db:Status-Status} ${binary:Package}\n' | awk '$1 == "installed" { print $2 }' | sort; }

# What the system holds before: its packages, and which of the paths the package
# brings exist already (folders such as /usr/share/man/man6 belong to others too).
packages >"$work/packages.before"
dpkg-deb -c "$deb" | awk '{ print $6 }' | sed 's|^\./|/|; s|/$||' | grep . >"$work/paths"
while read -r path; do
    if [ -e "$path" ] || [ -L "$path" ]; then echo "$path"; fi
done <"$work/paths" >"$work/paths.before"

echo "== Installing $(basename "$deb")"
# What apt means to install with it, so that only those are taken for pulled in.
apt-get install -s -q "$deb" </dev/null 2>/dev/null | awk '$1 == "Inst" { print $2 }' |
    sed 's/:.*//' | sort -u >"$work/planned" || true
purged=no
if ! apt-get install -y -q "$deb" </dev/null >"$work/apt.log" 2>&1; then
    # The lists may be stale or missing: once more after an update.
    apt-get update -qq </dev/null >>"$work/apt.log" 2>&1 || true
    if ! apt-get install -y -q "$deb" </dev/null >>"$work/apt.log" 2>&1; then
        cat "$work/apt.log" >&2
        echo "FAIL: apt-get install could not install the package" >&2
        exit 1
    fi
fi
installed tintara || { cat "$work/apt.log" >&2; echo "FAIL: tintara is not installed" >&2; exit 1; }
packages >"$work/packages.installed"
{ comm -13 "$work/packages.before" "$work/packages.installed" | grep -vx 'tintara\(:.*\)\?' || true; } |
    while read -r package; do
        if grep -qxF "${package%%:*}" "$work/planned"; then echo "$package"; fi
    done >"$work/pulled"
echo "   pulled in: $(tr '\n' ' ' <"$work/pulled")"
dpkg -L tintara >"$work/listed"

# The installed files: the game, and the desktop entry that starts it.
game=/usr/games/tintara
if [ ! -f "$game" ] || [ ! -x "$game" ]; then
    fail "no executable $game"
fi
exec_line=$(sed -n 's/^Exec=//p' /usr/share/applications/tintara.desktop 2>/dev/null || true)
[ "$exec_line" = "$game" ] || fail "the desktop entry runs '$exec_line', not $game"
if command -v man >/dev/null; then
    [ "$(man -w 6 tintara 2>/dev/null)" = /usr/share/man/man6/tintara.6.gz ] ||
        fail "man does not find tintara(6)"
fi

# Playing it under Xvfb: the window appears, Exit asks its question, No ends the
# game with status 0.
play() {
    set -euo pipefail
    local game=$1 pid window question status
    env -u QT_QPA_PLATFORM -u WAYLAND_DISPLAY "$game" 2>"$PLAY_LOG" &
    pid=$!
    echo "$pid" >"$PLAY_PID"
    window=$(timeout "$(scaled 20)" xdotool search --sync --onlyvisible --name '^Tintara by Orlandek$' | head -n 1) ||
        { echo "no window appeared"; return 1; }
    echo "   window $window, process $pid"
    sleep 0.3
    # cmdExit, at the middle of the button.
    xdotool mousemove --window "$window" 436 76 click 1
    question=$(timeout "$(scaled 10)" xdotool search --sync --onlyvisible --name '^Attention!$' | head -n 1) ||
        { echo "the Exit question did not appear"; return 1; }
    xdotool windowfocus --sync "$question"
    xdotool key --clearmodifiers n
    for _ in $(seq "$(scaled 50)"); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$pid" 2>/dev/null; then
        echo "still running five seconds after No"
        return 1
    fi
    status=0
    wait "$pid" || status=$?
    [ "$status" -eq 0 ] || { echo "exit status $status"; return 1; }
    echo "   ended with status 0 after Exit and No"
}
export PLAY_LOG=$work/game.log PLAY_PID=$work/game.pid
# The game on a desktop has a session bus: this one is the test's own.
start_session_bus "$work"
# xvfb-run is a POSIX shell script, which passes no exported function on: the inner
# bash runs play from a script of its own.
{
    declare -f scaled play
    echo 'play "$1"'
} >"$work/play.sh"
emulate=()
architecture=$(dpkg-deb -f "$deb" Architecture)
if [ "$architecture" != all ] && [ "$architecture" != "$(dpkg --print-architecture)" ]; then
    emulate=("$here/../../tools/emulate")
    echo "== Playing $game ($architecture) under Xvfb, emulated by qemu"
else
    echo "== Playing $game under Xvfb"
fi
# shellcheck disable=SC2016
if ! outcome=$("${emulate[@]}" bash -c "$(declare -f scaled)"'
    timeout "$(scaled 60)" xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$1"' "$work/play.sh" "$game" 2>&1); then
    fail "the installed game: $outcome"
    [ ! -s "$work/game.log" ] || { echo "its standard error:"; cat "$work/game.log"; } >&2
else
    echo "$outcome"
fi
# Under emulation the game's process id is its namespace's, and the namespace has
# ended with everything in it.
[ "${#emulate[@]}" -gt 0 ] || game_pid=$(cat "$work/game.pid" 2>/dev/null || true)
if [ -n "$game_pid" ] && kill -0 "$game_pid" 2>/dev/null; then
    fail "the game is still running"
    kill "$game_pid" 2>/dev/null || true
fi
game_pid=
stop_session_bus

echo "== Purging tintara"
if ! apt-get purge -y -q tintara </dev/null >"$work/purge.log" 2>&1; then
    cat "$work/purge.log" >&2
    fail "apt-get purge tintara failed"
fi
purged=yes
if dpkg -L tintara >/dev/null 2>&1 || dpkg-query -W tintara >/dev/null 2>&1; then
    fail "dpkg still knows tintara after the purge"
fi
# Nothing of the package is left: no path it listed remains, except the folders
# that were there before it came, and those are all still there.
while read -r path; do
    if [ -z "$path" ] || [ "$path" = /. ]; then
        continue
    fi
    if grep -qxF -- "$path" "$work/paths.before"; then
        [ -e "$path" ] || fail "$path was there before the package and is gone"
    elif [ -e "$path" ] || [ -L "$path" ]; then
        fail "$path is left after the purge"
    fi
done < <(sort -u "$work/listed" "$work/paths")
if compgen -G '/var/lib/dpkg/info/tintara.*' >/dev/null || compgen -G '/var/lib/dpkg/info/tintara:*' >/dev/null; then
    fail "dpkg keeps files of tintara: $(echo /var/lib/dpkg/info/tintara[.:]*)"
fi
for path in /usr/games/tintara /usr/share/doc/tintara /usr/share/applications/tintara.desktop \
    /usr/share/man/man6/tintara.6.gz /usr/share/metainfo/tintara.metainfo.xml \
    /usr/share/icons/hicolor/32x32/apps/tintara.png; do
    [ ! -e "$path" ] || fail "$path is left after the purge"
done

# The packages the install pulled in go too, so the system holds what it held.
if [ -s "$work/pulled" ]; then
    echo "== Purging what the package pulled in"
    xargs apt-get purge -y -q <"$work/pulled" >"$work/purge-pulled.log" 2>&1 || {
        cat "$work/purge-pulled.log" >&2
        fail "apt-get purge of the pulled-in packages failed"
    }
fi
packages >"$work/packages.after"
if ! diff -u "$work/packages.before" "$work/packages.after" >&2; then
    fail "the installed packages differ from those before the test"
fi

if [ "$failures" -gt 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "PASS: installed, played, ended with status 0, purged without a trace"
