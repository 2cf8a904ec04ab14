#!/usr/bin/env bash
# Started without a display, tintara says so in one line and exits with 1,
# instead of Qt's abort and core dump.
set -uo pipefail
tintara=$1
failed=0

check() {
    local what=$1
    shift
    local err status
    err=$(env -u QT_QPA_PLATFORM -u WAYLAND_DISPLAY "$@" "$tintara" 2>&1 >/dev/null)
    status=$?
    if [ "$status" -ne 1 ] || [ "$(printf '%s\n' "$err" | wc -l)" -ne 1 ] ||
        [[ $err != "tintara: no display found: "* ]]; then
        echo "FAIL ($what): status $status, stderr:"
        printf '%s\n' "$err"
        failed=1
    else
        echo "ok ($what): $err"
    fi
}

check "DISPLAY not set" -u DISPLAY
check "no server at the display" DISPLAY=:4711
exit "$failed"
