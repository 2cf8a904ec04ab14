# shellcheck shell=bash disable=SC2034,SC2154  # variables shared with the sourcing script
# The harness of the benchmarks that run programs under X (bench/startup,
# bench/latency).  A benchmark sets bench (its name, for messages), sources this
# and calls bench_start SCREEN [[LABEL=]TINTARA ...]: the Debian packages (and those
# in packages), the tintaras to measure (in labels and paths), a scratch folder $tmp,
# and a private Xvfb with a D-Bus session and the AT-SPI bus up, as on a desktop,
# all gone at exit.  It builds its C helper with build_helper, writes its table
# to $tmp/report.md with figure, ratio_rows and machine, and ends with bench_finish.

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
peer=/usr/games/sgt-fifteen
# shellcheck source=tools/packages.sh
. "$root/tools/packages.sh"

die() {
    echo "$bench: $*" >&2
    exit 1
}
note() { echo "$bench: $*" >&2; }

# build_helper NAME LIBRARY...: compiles bench/NAME.c (with xchild.c) into
# build/bench-NAME when it is missing or older than its sources.
build_helper() {
    local out=$root/build/bench-$1 src=$root/bench/$1.c
    shift
    [[ -x $out && $out -nt $src && $out -nt $root/bench/xchild.c ]] && return
    mkdir -p "$root/build"
    gcc -std=c11 -O2 -Wall -Wextra -Wpedantic -Werror -o "$out" "$src" "$@"
}

# tintara_binaries [[LABEL=]PATH ...]: labels and paths of the tintaras.  No
# argument measures build/app/tintara, built (Release) if it is missing.  Rows are
# named "tintara", then "tintara (LABEL)"; an argument without a label is "before"
# if it is the second, else its place in the list.
tintara_binaries() {
    local default=$root/build/app/tintara arg label path i=0
    (($# > 0)) || set -- "$default"
    for arg in "$@"; do
        i=$((i + 1))
        path=$arg label="tintara ($i)"
        ((i > 2)) || label=$([[ $i == 1 ]] && echo tintara || echo "tintara (before)")
        [[ $arg != *=* || ${arg%%=*} == */* ]] || label="tintara (${arg%%=*})" path=${arg#*=}
        path=$(realpath -m "$path")
        if [[ ! -x $path && $path == "$default" ]]; then
            note "building the project (Release)"
            cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=Release
            cmake --build "$root/build" --parallel "$(nproc)"
        fi
        [[ -x $path ]] || die "no executable at $path"
        paths+=("$path")
        labels+=("$label")
    done
}

pids=() # Xvfb, the bus and AT-SPI, stopped at exit in the reverse order
cleanup() {
    local k
    for ((k = ${#pids[@]} - 1; k >= 0; k--)); do
        kill "${pids[k]}" 2>/dev/null || continue
        wait "${pids[k]}" 2>/dev/null || true
    done
    rm -rf "$tmp"
}

# session_start SCREEN: a private Xvfb (SCREEN as in 1024x768x24) on a free
# display of its choosing, whose root is black (-br), so that a window counts as
# painted only once the program puts something in it; then a D-Bus session bus of
# its own and the AT-SPI bus.  No Wayland and no forced platform.
session_start() {
    local n='' i
    :>"$tmp/display"
    Xvfb -displayfd 3 -screen 0 "$1" -br -nolisten tcp 3>"$tmp/display" >"$tmp/xvfb.log" 2>&1 &
    pids+=($!)
    for ((i = 0; i < 200; i++)); do
        read -r n <"$tmp/display" && [[ $n =~ ^[0-9]+$ ]] && break
        kill -0 "${pids[0]}" 2>/dev/null || break
        sleep 0.05
    done
    [[ $n =~ ^[0-9]+$ ]] || die "could not start Xvfb (last log: $(tail -n 3 "$tmp/xvfb.log"))"
    export DISPLAY=:$n XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$tmp}
    unset WAYLAND_DISPLAY QT_QPA_PLATFORM GDK_BACKEND AT_SPI_BUS_ADDRESS
    n=
    { read -r DBUS_SESSION_BUS_ADDRESS && read -r n; } < <(dbus-daemon --session --fork \
        --print-address=1 --print-pid=1 2>"$tmp/dbus.log") || true
    [[ -n $n ]] || die "could not start a D-Bus session ($(cat "$tmp/dbus.log"))"
    pids+=("$n")
    export DBUS_SESSION_BUS_ADDRESS
    /usr/libexec/at-spi-bus-launcher --launch-immediately >"$tmp/at-spi.log" 2>&1 &
    pids+=($!)
    for ((i = 0; i < 100; i++)); do
        dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
            org.freedesktop.DBus.NameHasOwner string:org.a11y.Bus 2>/dev/null |
            grep -q 'boolean true' && break
        sleep 0.05
    done
    ((i < 100)) || note "warning: the AT-SPI bus did not come up (see $tmp/at-spi.log)"
    note "display $DISPLAY ($1)"
}

# bench_start SCREEN [[LABEL=]TINTARA ...]: installs what is missing (and the
# benchmark's packages), finds the tintaras and the peer, sets out (OUT, by
# default build/bench-$bench.md) and starts the session on SCREEN.
packages=()
bench_start() {
    local screen=$1
    shift
    out=$(realpath -m "${OUT:-$root/build/bench-$bench.md}")
    need_packages cmake make g++ gcc libc6-dev qt6-base-dev qt6-qpa-plugins libfontconfig-dev \
        libx11-dev libxdamage-dev libxtst-dev xvfb x11-utils dbus dbus-daemon at-spi2-core \
        sgt-puzzles fonts-dejavu-core fonts-liberation2 "${packages[@]}"
    tintara_binaries "$@"
    [[ -x $peer ]] || die "no $peer"
    tmp=$(mktemp -d "${TMPDIR:-/tmp}/bench-$bench.XXXXXX")
    trap cleanup EXIT
    trap 'note interrupted; exit 130' INT TERM
    session_start "$screen"
}

# Machine and load, for the reports.
machine() {
    echo "$(nproc) CPUs, $(uname -sr); load average $(cut -d' ' -f1-3 /proc/loadavg) at the start"
}

# figure FILE COLUMN median|p95 [DIVISOR [FORMAT]]: of the column's values, divided
# by DIVISOR (default 1), printed with FORMAT (default %.2f); n/a without values.
# The 95th percentile is the nearest rank, ceil(0.95 n).
figure() {
    [[ -s $1 ]] || { echo n/a && return; }
    awk -v c="$2" '{ print $c }' "$1" | sort -g |
        awk -v what="$3" -v d="${4:-1}" -v f="${5:-%.2f}" '{ v[NR] = $1 } END {
        if (what == "median") m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
        else { r = int(0.95 * NR); if (r < 0.95 * NR) r++; m = v[r] }
        printf f, m / d }'
}

# ratio_rows FORMAT LEAD T [REF NAME]...: after a table of the programs in labels
# whose figures are in figs (cells each, "a | b | c"), a row for each of the T
# tintaras over each program numbered REF, called NAME, then the first tintara over
# each of the others, with the ratios in FORMAT.  LEAD goes after the row's name.
ratio_rows() {
    local f=$1 lead=$2 t=$3 k r
    shift 3
    for ((k = 0; k < t; k++)); do
        for ((r = 1; r < $#; r += 2)); do
            ratio_row "${labels[k]} / ${*:r+1:1}" "${figs[k]}" "${figs[${*:r:1}]}"
        done
    done
    for ((k = 1; k < t; k++)); do
        ratio_row "${labels[0]} / ${labels[k]}" "${figs[0]}" "${figs[k]}"
    done
}

# ratio_row NAME A B, for ratio_rows: the row of figures A over figures B.
ratio_row() {
    awk -v f="$f" -v a="$2" -v b="$3" -v head="| **$1** |$lead" 'BEGIN {
        n = split(a, x, / *\| */); split(b, y, / *\| */); printf "%s", head
        for (i = 1; i <= n; i++)
            printf " %s |", (x[i] != "n/a" && y[i] != "n/a" && y[i] > 0 ? sprintf(f, x[i] / y[i]) : "n/a")
        print " |" }'
}

# bench_finish: the report to $out, and on the terminal.
bench_finish() {
    mkdir -p "$(dirname "$out")"
    cp "$tmp/report.md" "$out"
    cat "$out"
    note "results written to $out"
}
