# A Wine session for one test, sourced by the Windows build's test scripts:
# Xvfb, a private prefix made for the run, and a wineserver that is always
# stopped at the end. Every Wine command runs under a time limit.
#
#   . session.sh; wine_session XVFB-SCREEN "$@"  (re-runs the script under Xvfb)
#   wine_run SECONDS PROGRAM.exe [ARGUMENT...]
#   wine_start PROGRAM.exe                      (in the background; $wine_pid)
#   expect_soon WHAT EXPECTED COMMAND...        (judged by the script's own expect)

wine_skip() {
    echo "SKIP: $*"
    exit 77
}

# The Wine loader: Debian's wine command, which picks the 64-bit loader; where
# only a loader itself is installed, that (wine64 in Debian 12, wine in the
# newer Wine that loads both kinds of program).
wine_find_loader() {
    local candidate
    for candidate in wine /usr/lib/wine/wine64 /usr/lib/wine/wine; do
        if command -v "$candidate" >/dev/null 2>&1; then
            command -v "$candidate"
            return 0
        fi
    done
    return 1
}

wine_find_server() {
    local candidate
    for candidate in wineserver wineserver-stable /usr/lib/wine/wineserver64 /usr/lib/wine/wineserver; do
        if command -v "$candidate" >/dev/null 2>&1; then
            command -v "$candidate"
            return 0
        fi
    done
    return 1
}

wine_session_end() {
    local status=$? command=$BASH_COMMAND
    # A command that failed outside the script's own checks stops it: say which.
    case $status:$command in
    0:* | 77:* | *:exit*) ;;
    *) echo "stopped by: $command (status $status)" >&2 ;;
    esac
    [ -z "${wine_pid:-}" ] || kill "$wine_pid" 2>/dev/null || true
    if [ -n "${WINESERVER:-}" ] && [ -d "${WINEPREFIX:-/nonexistent}" ]; then
        timeout 10 "$WINESERVER" -k 2>/dev/null || true
        timeout 10 "$WINESERVER" -w 2>/dev/null || true
    fi
    [ -z "${wine_work:-}" ] || rm -rf "$wine_work"
    exit "$status"
}

wine_session() {
    local screen=$1
    shift
    local tool
    for tool in xvfb-run xdotool import convert timeout; do
        command -v "$tool" >/dev/null || wine_skip "$tool is not installed"
    done
    WINELOADER_COMMAND=$(wine_find_loader) || wine_skip "Wine is not installed"
    WINESERVER=$(wine_find_server) || wine_skip "Wine's wineserver is not installed"
    if [ -z "${TINTARA_IN_XVFB:-}" ]; then
        TINTARA_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 $screen -dpi 96" "$0" "$@"
    fi
    export WINESERVER
    wine_work=$(mktemp -d "${TMPDIR:-/tmp}/tintara-wine.XXXXXX")
    export WINEPREFIX=$wine_work/prefix
    # A private home too: Wine writes the Linux side of its desktop integration
    # there. No Mono or Gecko prompts, no Linux menu entries (winemenubuilder's,
    # Wine's own), no debug chatter.
    export HOME=$wine_work/home
    mkdir -p "$HOME"
    unset XDG_CONFIG_HOME XDG_DATA_HOME XDG_CACHE_HOME
    export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    unset WINEARCH WINELOADER
    trap wine_session_end EXIT
    trap 'exit 1' INT TERM

    local status=0
    timeout 180 "$WINELOADER_COMMAND" wineboot -i >"$wine_work/wineboot.log" 2>&1 || status=$?
    if [ "$status" -eq 124 ]; then
        echo "FAIL: making the Wine prefix took more than three minutes" >&2
        cat "$wine_work/wineboot.log" >&2
        exit 1
    fi
    if [ "$status" -ne 0 ] || [ ! -d "$WINEPREFIX/drive_c/windows" ]; then
        cat "$wine_work/wineboot.log" >&2
        # Wine itself cannot run here: its loader cannot lay out its memory or
        # load its core (a kernel or sandbox that refuses it, a loader for
        # another machine). That is no fault of the program; anything else is.
        if grep -qiE 'preloader|failed to reserve|could not load (ntdll|kernel32)|wine client error|cannot execute|exec format error|Operation not permitted|mmap' \
            "$wine_work/wineboot.log"; then
            wine_skip "Wine cannot run here (status $status)"
        fi
        echo "FAIL: Wine could not make its prefix (status $status)" >&2
        exit 1
    fi
    timeout 30 "$WINESERVER" -w 2>/dev/null || true
}

wine_set_dpi() {
    local dpi=$1 key
    for key in 'HKCU\Control Panel\Desktop' \
        'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts'; do
        timeout 60 "$WINELOADER_COMMAND" reg add "$key" /v LogPixels /t REG_DWORD /d "$dpi" /f \
            >/dev/null 2>&1 || { echo "FAIL: cannot set LogPixels" >&2; exit 1; }
    done
}

wine_run() {
    local seconds=$1
    shift
    timeout "$seconds" "$WINELOADER_COMMAND" "$@" 2>/dev/null | tr -d '\r'
}

wine_start() {
    "$WINELOADER_COMMAND" "$@" >/dev/null 2>&1 &
    wine_pid=$!
}

# Waits up to ten seconds for a reading to come right, then judges it with the
# script's own expect: the game takes clicks and keys in its own time.
expect_soon() { # what, expected, command...
    local what=$1 expected=$2 now _
    shift 2
    for _ in $(seq 40); do
        # A reading that fails for a moment is read again.
        now=$("$@") || now="(no reading: $now)"
        [ "$now" != "$expected" ] || break
        sleep 0.25
    done
    expect "$what" "$now" "$expected"
}
