# shellcheck shell=bash disable=SC2034,SC2154  # variables shared with the sourcing script
# The harness of the benchmarks that run programs under X (bench/startup,
# bench/latency): the Debian packages they need, their C helpers (built on
# xchild.c), the tintara binaries to measure, a private Xvfb with a D-Bus session
# and the AT-SPI bus up, as on a desktop, the statistics of their tables, and
# where the tables go.
#
# A benchmark sets bench (its name, for messages) and self (its path), sources
# this, defines in_session, and runs in two halves.  Outside, it calls
# bench_start SCREEN PACKAGES... -- [[LABEL=]TINTARA ...], then bench_run, which
# starts "$self --in-session TMP LABEL PATH ..." inside the session, where
# bench_dispatch enters the session and calls in_session with the tintaras in
# labels and paths; in_session writes $tmp/report.md, which bench_finish copies
# to $out.  Both halves share $tmp.

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
peer=/usr/games/sgt-fifteen
# shellcheck source=tools/packages.sh
. "$root/tools/packages.sh"

die() {
    echo "$bench: $*" >&2
    exit 1
}
note() { echo "$bench: $*" >&2; }

# Everything the benchmarks need on a fresh Debian machine.
XSESSION_PACKAGES=(cmake make g++ gcc libc6-dev qt6-base-dev qt6-qpa-plugins libfontconfig-dev libx11-dev
    libxdamage-dev libxtst-dev xvfb x11-utils dbus dbus-daemon at-spi2-core sgt-puzzles
    fonts-dejavu-core fonts-liberation2)

# build_helper OUT SOURCE... -- LIBRARY...: compiles a C helper of bench/ when it is
# missing or older than one of its sources or bench/xchild.h.
build_helper() {
    local out=$1 sources=() s stale=0
    shift
    while [[ $1 != -- ]]; do
        sources+=("$1")
        shift
    done
    shift
    [[ -x $out ]] || stale=1
    for s in "${sources[@]}" "$root/bench/xchild.h"; do
        [[ $s -nt $out ]] && stale=1
    done
    ((stale)) || return 0
    mkdir -p "$(dirname "$out")"
    gcc -std=c11 -O2 -Wall -Wextra -Wpedantic -Werror -o "$out" "${sources[@]}" "$@"
}

# tintara_binaries [[LABEL=]PATH ...]: sets tintara_paths and tintara_labels, and
# tintara_args, the same as arguments with whole paths.  No
# argument measures build/app/tintara, built (Release) if it is missing.  Rows are
# named "tintara", then "tintara (LABEL)"; an argument without a label is "before"
# if it is the second, else its place in the list.
tintara_binaries() {
    local default arg label path i=0
    default=$(realpath -m "$root/build/app/tintara")
    (($# > 0)) || set -- "$default"
    tintara_paths=()
    tintara_labels=()
    tintara_args=()
    for arg in "$@"; do
        i=$((i + 1))
        if [[ $arg == *=* && ${arg%%=*} != */* ]]; then
            label="tintara (${arg%%=*})"
            path=${arg#*=}
        else
            path=$arg
            case $i in
            1) label=tintara ;;
            2) label="tintara (before)" ;;
            *) label="tintara ($i)" ;;
            esac
        fi
        path=$(realpath -m "$path")
        if [[ ! -x $path ]]; then
            [[ $path == "$default" ]] || die "no executable at $path"
            note "building the project (Release)"
            cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=Release
            cmake --build "$root/build" --parallel "$(nproc)"
            [[ -x $path ]] || die "the build did not produce $path"
        fi
        tintara_paths+=("$path")
        tintara_labels+=("$label")
        label=${label#tintara (}
        tintara_args+=("$([[ $i == 1 ]] || echo "${label%)}=")$path")
    done
}

# --------------------------------------------------------------------------
# Outside the session
# --------------------------------------------------------------------------
tmp=
xvfb_pid=
session_pid=
xsession_cleanup() {
    if [[ -n $session_pid ]]; then # its whole process group: bus, AT-SPI, helpers
        kill -TERM -- "-$session_pid" 2>/dev/null || kill "$session_pid" 2>/dev/null || true
        wait "$session_pid" 2>/dev/null || true
    fi
    if [[ -n $xvfb_pid ]]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    [[ -z $tmp ]] || rm -rf "$tmp"
}

# xsession_start SCREEN: a scratch directory $tmp, removed at exit, and a private
# Xvfb (SCREEN as in 1024x768x24) on a free display of its choosing.  Its
# root is black (-br), so a window counts as painted only once the program puts
# something in it.  Exports DISPLAY, and only that: no Wayland, no forced platform.
xsession_start() {
    local screen=$1 n i display=
    tmp=$(mktemp -d "${TMPDIR:-/tmp}/bench-$bench.XXXXXX")
    trap xsession_cleanup EXIT
    trap 'note interrupted; exit 130' INT TERM
    # Xvfb picks a free display itself and names it once it accepts clients: no
    # race with another X server started at the same time for the same number.
    :>"$tmp/display"
    Xvfb -displayfd 3 -screen 0 "$screen" -br -nolisten tcp 3>"$tmp/display" \
        >"$tmp/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for ((i = 0; i < 200; i++)); do
        if read -r n <"$tmp/display" && [[ $n =~ ^[0-9]+$ ]]; then
            display=":$n"
            break
        fi
        kill -0 "$xvfb_pid" 2>/dev/null || break
        sleep 0.05
    done
    [[ -n $display ]] || die "could not start Xvfb (last log: $(tail -n 3 "$tmp/xvfb.log"))"

    export DISPLAY=$display
    unset WAYLAND_DISPLAY QT_QPA_PLATFORM GDK_BACKEND DBUS_SESSION_BUS_ADDRESS AT_SPI_BUS_ADDRESS
    if [[ -z ${XDG_RUNTIME_DIR-} ]]; then
        mkdir -m 700 "$tmp/runtime"
        export XDG_RUNTIME_DIR="$tmp/runtime"
    fi
    note "display $display ($screen)"
}

# xsession_run ARGS...: runs "$self --in-session $tmp ARGS..." in a D-Bus session
# of its own and fails unless it succeeds.  The session gets a process group of
# its own, so that one kill ends all of it; waiting in the background keeps this
# shell responsive to Ctrl-C.
xsession_run() {
    local rc=0
    setsid dbus-run-session -- "$self" --in-session "$tmp" "$@" \
        3>&2 2>"$tmp/dbus.log" </dev/null &
    session_pid=$!
    wait "$session_pid" || rc=$?
    session_pid=
    if ((rc != 0)); then
        grep -v 'Failed to set fd limit' "$tmp/dbus.log" >&2 || true
        die "the benchmark did not complete"
    fi
}

# --------------------------------------------------------------------------
# Inside the session
# --------------------------------------------------------------------------
atspi_pid=
xsession_stop_atspi() {
    if [[ -n $atspi_pid ]]; then
        kill "$atspi_pid" 2>/dev/null || true
        wait "$atspi_pid" 2>/dev/null || true
    fi
}

# xsession_enter TMP: our stderr again (the session daemon's chatter stays in its
# log), and the AT-SPI bus up.
xsession_enter() {
    tmp=$1
    exec 2>&3 3>&-
    trap xsession_stop_atspi EXIT
    trap 'exit 143' TERM

    /usr/libexec/at-spi-bus-launcher --launch-immediately >"$tmp/at-spi.log" 2>&1 &
    atspi_pid=$!
    local i
    for ((i = 0; i < 100; i++)); do
        dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
            org.freedesktop.DBus.NameHasOwner string:org.a11y.Bus 2>/dev/null |
            grep -q 'boolean true' && break
        sleep 0.05
    done
    ((i < 100)) || note "warning: the AT-SPI bus did not come up (see $tmp/at-spi.log)"
}

# Machine and load, for the reports.
xsession_machine() {
    echo "$(nproc) CPUs, $(uname -sr); load average $(cut -d' ' -f1-3 /proc/loadavg) at the start"
}

# --------------------------------------------------------------------------
# The run, from start to report
# --------------------------------------------------------------------------

# bench_dispatch ARGS...: inside the session (--in-session TMP LABEL PATH ...),
# enters it, runs in_session with the labels and paths, and exits.
bench_dispatch() {
    [[ ${1-} == --in-session ]] || return 0
    xsession_enter "$2"
    shift 2
    labels=()
    paths=()
    while (($# > 0)); do
        labels+=("$1")
        paths+=("$2")
        shift 2
    done
    in_session
    exit
}

# bench_start SCREEN PACKAGES... -- [[LABEL=]TINTARA ...]: installs what is
# missing, finds the tintara binaries and the peer, sets out (OUT, by default
# build/bench-$bench.md) and starts Xvfb on SCREEN; the benchmark then builds
# its helpers, in $root.
bench_start() {
    local screen=$1 packages=()
    shift
    while [[ $1 != -- ]]; do
        packages+=("$1")
        shift
    done
    shift
    out=$(realpath -m "${OUT:-$root/build/bench-$bench.md}")
    need_packages "${XSESSION_PACKAGES[@]}" "${packages[@]}"
    tintara_binaries "$@"
    [[ -x $peer ]] || die "no $peer"
    cd "$root" || exit
    xsession_start "$screen"
}

# bench_run: in_session in the session, with a label and a path for each tintara.
bench_run() {
    local args=() k
    for ((k = 0; k < ${#tintara_paths[@]}; k++)); do
        args+=("${tintara_labels[k]}" "${tintara_paths[k]}")
    done
    xsession_run "${args[@]}"
    [[ -s $tmp/report.md ]] || die "the benchmark did not complete"
}

# bench_finish: the report to $out, and on the terminal.
bench_finish() {
    mkdir -p "$(dirname "$out")"
    cp "$tmp/report.md" "$out"
    cat "$out"
    note "results written to $out"
}

# --------------------------------------------------------------------------
# Statistics
# --------------------------------------------------------------------------

# figure FILE COLUMN median|p95 [DIVISOR [FORMAT]]: of the column's values, divided
# by DIVISOR (default 1), printed with FORMAT (default %.2f); n/a without values.
# The 95th percentile is the nearest rank, ceil(0.95 n).
figure() {
    [[ -s $1 ]] || {
        echo n/a
        return
    }
    awk -v c="$2" '{ print $c }' "$1" | sort -g |
        awk -v what="$3" -v d="${4:-1}" -v f="${5:-%.2f}" '{ v[NR] = $1 } END {
        if (what == "median") m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
        else { r = int(0.95 * NR); if (r < 0.95 * NR) r++; m = v[r] }
        printf f, m / d }'
}

# ratio A B FORMAT: A/B, or n/a where either is n/a or B is 0.
ratio() {
    awk -v a="$1" -v b="$2" -v f="$3" 'BEGIN {
        if (a != "n/a" && b != "n/a" && b > 0) printf f, a / b; else print "n/a" }'
}
