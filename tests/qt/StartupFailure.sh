#!/usr/bin/env bash
# Where no window can be opened, tintara says why in one line on standard error
# and exits with status 1, instead of Qt's abort and core dump; the line names the
# real cause: no display, a display that cannot be opened, a platform plugin that
# cannot be found or loaded, or else Qt's own reason.
set -uo pipefail
tintara=$1
failed=0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# check WHAT EXPECTED-LINE-PATTERN [env assignments...]
check() {
    local what=$1 pattern=$2
    shift 2
    local status
    # Deliberately no session bus: its address names a socket that is not
    # there, so that no bus is started for the game either.
    env -u QT_QPA_PLATFORM -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM_PLUGIN_PATH \
        "$@" DBUS_SESSION_BUS_ADDRESS="unix:path=$work/no-session-bus" \
        XDG_RUNTIME_DIR="$work/runtime" "$tintara" >"$work/out" 2>"$work/err"
    status=$?
    local err
    err=$(cat "$work/err")
    if [ "$status" -ne 1 ] || [ -s "$work/out" ] || [ "$(wc -l <"$work/err")" -ne 1 ] ||
        [[ $err != $pattern ]]; then
        echo "FAIL ($what): status $status, stdout $(wc -c <"$work/out") bytes, stderr:"
        cat "$work/err"
        failed=1
    else
        echo "ok ($what): $err"
    fi
}
mkdir -m 700 "$work/runtime"

check "DISPLAY not set" "tintara: no display found: DISPLAY is not set" -u DISPLAY
check "no server at the display" "tintara: cannot open display :4711" DISPLAY=:4711
check "no Wayland compositor" "tintara: cannot open Wayland display tintara-none" \
    QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY=tintara-none
check "unknown platform plugin" 'tintara: could not find the Qt platform plugin "bogus"' \
    QT_QPA_PLATFORM=bogus DISPLAY=:4711
# The X11 plugin is found, but a library it needs is not a library: it cannot be
# loaded, and that is said before any display is tried.
mkdir "$work/lib"
: >"$work/lib/libxcb-icccm.so.4"
check "platform plugin that cannot be loaded" \
    'tintara: could not load the Qt platform plugin "xcb"' \
    QT_QPA_PLATFORM=xcb DISPLAY=:4711 LD_LIBRARY_PATH="$work/lib"
# The framebuffer plugin starts without a framebuffer and fails when the window
# is made: Qt's own reason, in one line.
check "failure while the window is made" "tintara: Cannot create window: no screens available" \
    QT_QPA_PLATFORM=linuxfb:fb=/nonexistent/fb0
exit "$failed"
