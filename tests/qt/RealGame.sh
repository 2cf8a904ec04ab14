# What the tests that start the real game share; sourced by them.
#
# Their bounds are for the game run natively. Under emulation (the arm64 build
# under qemu) it runs several times slower, and TINTARA_TIME_SCALE, a whole number,
# multiplies every bound on the game:
#
#   scaled N      N times that factor
#
# A D-Bus session bus of the test's own. A desktop gives the game a session bus, and through it the
# accessibility bus; without one, libdbus starts a bus itself through dbus-launch
# where dbus-x11 is installed, and that bus outlives the game. So every such test
# gives the game a private bus, whatever the machine has, and takes it down with
# everything it started.
#
#   start_session_bus DIR [COMMAND-PREFIX...]
#       starts dbus-daemon with its socket in DIR (run through the prefix, such as
#       setpriv, when given) and exports DBUS_SESSION_BUS_ADDRESS
#   stop_session_bus
#       ends the bus and every service it activated (the accessibility bus among
#       them), waiting three seconds at most

scaled() { echo $(($1 * ${TINTARA_TIME_SCALE:-1})); }

session_bus_pid=''

start_session_bus() {
    local dir=$1
    shift
    local socket=$dir/session-bus
    # A session of its own: its process group holds the bus and whatever it
    # activates, so that stop_session_bus can end them all.
    setsid "$@" dbus-daemon --session --nofork --nopidfile --address="unix:path=$socket" \
        </dev/null >"$dir/session-bus.log" 2>&1 &
    session_bus_pid=$!
    local deadline=$((SECONDS + 10))
    until [ -S "$socket" ]; do
        if ! kill -0 "$session_bus_pid" 2>/dev/null || [ $SECONDS -ge $deadline ]; then
            echo "FAIL: no D-Bus session bus:" >&2
            cat "$dir/session-bus.log" >&2
            stop_session_bus
            return 1
        fi
        sleep 0.05
    done
    export DBUS_SESSION_BUS_ADDRESS=unix:path=$socket
}

stop_session_bus() {
    local pid=$session_bus_pid
    [ -n "$pid" ] || return 0
    scaled() { echo $(($1 * ${TINTARA_TIME_SCALE:-1})); }

session_bus_pid=''
    kill -TERM -- "-$pid" 2>/dev/null || kill -TERM "$pid" 2>/dev/null || true
    local _
    for _ in $(seq 30); do
        kill -0 -- "-$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -KILL -- "-$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
}

# The window as the screen shows it, and waits for it: on a loaded machine, or
# while a desktop's accessibility bus starts, the first paint and the repaint
# after a click can take a while, and a picture taken too early shows nothing.
#
#   window_pixel WINDOW X Y       the colour at X, Y as hex digits, such as 000080
#   window_digest WINDOW          a digest of the window's pixels
#   await_pixel WINDOW X Y HEX    waits ten seconds (scaled) at most for that colour there
#   await_change WINDOW DIGEST    waits ten seconds (scaled) at most for other pixels

window_pixel() {
    import -window "$1" png:- 2>/dev/null | convert - -format "%[hex:p{$2,$3}]" info: 2>/dev/null
}

window_digest() {
    import -window "$1" rgb:- 2>/dev/null | md5sum
}

await_pixel() {
    local deadline=$((SECONDS + $(scaled 10)))
    until [ "$(window_pixel "$1" "$2" "$3")" = "$4" ]; do
        [ $SECONDS -lt $deadline ] || return 1
        sleep 0.1
    done
}

await_change() {
    local deadline=$((SECONDS + $(scaled 10)))
    while [ "$(window_digest "$1")" = "$2" ]; do
        [ $SECONDS -lt $deadline ] || return 1
        sleep 0.1
    done
}
