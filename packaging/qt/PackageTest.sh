#!/usr/bin/env bash
# Builds the Debian package from a configured and built tree, unpacks it and checks
# what it installs: the game in /usr/games, the desktop entry that starts it, the
# 32x32 icon, the AppStream record, the manual page, the copyright file (against
# LICENSE) and the changelog; the Depends field; and lintian, which must find
# nothing at error or warning level. The package is for the architecture the build
# was configured for: this machine's, or a cross build's (arm64).
# Usage: PackageTest.sh BUILD-DIR SOURCE-DIR   (exits 77 when the packaging tools are missing)
set -euo pipefail

build=$(realpath "$1")
source=$(realpath "${2:-$(dirname "$0")/../..}")
cpack=${CPACK:-cpack}
# lintian needs man-db, which gives man; dpkg-parsechangelog comes with dpkg-shlibdeps.
for tool in "$cpack" dpkg dpkg-deb dpkg-shlibdeps dpkg-parsechangelog dpkg-architecture file objdump gzip \
    desktop-file-validate lintian man; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# The package.
if ! (cd "$build" && "$cpack" -G DEB -B "$work/out") >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log" >&2
    echo "FAIL: cpack -G DEB failed" >&2
    exit 1
fi
# The architecture CPack was told, for a cross build, else this machine's.
arch=$(sed -n 's/^set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
arch=${arch:-$(dpkg --print-architecture)}
deb=$work/out/tintara_0.00_${arch}.deb
if [ ! -f "$deb" ]; then
    cat "$work/cpack.log" >&2
    echo "FAIL: no $(basename "$deb"); cpack made: $(cd "$work/out" && echo *.deb)" >&2
    exit 1
fi
echo "package $(basename "$deb")"

# The control fields.
maintainer='The Tintara developers <maintainers@tintara.invalid>'
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = tintara ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = 0.00 ] || fail "Version is '$(field Version)'"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture is '$(field Architecture)'"
[ "$(field Section)" = games ] || fail "Section is '$(field Section)'"
[ "$(field Maintainer)" = "$maintainer" ] || fail "Maintainer is '$(field Maintainer)'"
[ -n "$(field Description)" ] || fail "no Description"

# Everything goes under /usr, and nothing of the build's own tools.
while read -r path; do
    case $path in
    ./ | ./usr/*) ;;
    *) fail "installs $path outside /usr" ;;
    esac
done < <(dpkg-deb -c "$deb" | awk '{print $6}')
dpkg-deb -c "$deb" | grep -q tintara_write_icon && fail "installs tintara_write_icon"

root=$work/root
dpkg -x "$deb" "$root"

# The game, where Debian puts games.
binary=$root/usr/games/tintara
if [ -f "$binary" ] && [ -x "$binary" ]; then
    file -b "$binary" | grep -q '^ELF .* executable' || fail "usr/games/tintara is $(file -b "$binary")"
else
    fail "no executable usr/games/tintara"
fi

# Depends: the packages that hold the Qt libraries the game is linked with, on this
# system, whatever the distribution calls them; the platform plugins, which Qt
# loads at run time; and the fonts the window is drawn with.
depends=$(field Depends)
echo "Depends: $depends"
# The names in Depends, without versions, architectures and alternatives.
names=" $(tr -s ',|' '\n' <<<"$depends" | sed 's/(.*)//; s/\[.*\]//; s/:.*//' | tr -d ' ' | tr '\n' ' ') "
# owner FILE: the package that installed FILE, looked up by its own path, by the path
# through its folder's real place (the /lib of a merged /usr), and by its real path.
owner() {
    local path candidates=("$1" "$(realpath -m "$(dirname "$1")")/$(basename "$1")" "$(realpath -m "$1")")
    for path in "${candidates[@]}"; do
        dpkg-query -S "$path" 2>/dev/null | awk -F': ' 'NR == 1 { sub(/:.*/, "", $1); print $1 }' |
            grep . && return 0
    done
    return 1
}
# The libraries the game names, as this system holds them for the package's
# architecture, in its multiarch folders (read from the file, not by ldd, which runs
# the loader and so knows only this machine's architecture).
linked=$(objdump -p "$binary" 2>/dev/null | awk '$1 == "NEEDED" { print $2 }' || true)
multiarch=$(dpkg-architecture -a "$arch" -q DEB_HOST_MULTIARCH 2>/dev/null)
for library in libQt6Core.so.6 libQt6Gui.so.6 libQt6Widgets.so.6; do
    path=
    if grep -qxF "$library" <<<"$linked"; then
        for dir in "/usr/lib/$multiarch" "/lib/$multiarch"; do
            if [ -e "$dir/$library" ]; then
                path=$dir/$library
                break
            fi
        done
    fi
    if [ -z "$path" ]; then
        fail "the game is not linked with $library, or it is not found"
        continue
    fi
    if ! package=$(owner "$path"); then
        fail "no installed package owns $path"
        continue
    fi
    [[ $names == *" $package "* ]] || fail "Depends does not name $package, which holds $library"
done
for package in qt6-qpa-plugins fonts-liberation2; do
    [[ $names == *" $package "* ]] || fail "Depends does not name $package"
done
# Wayland desktops get the Wayland plugin, unless the player declines it.
[ "$(field Recommends)" = qt6-wayland ] || fail "Recommends is '$(field Recommends)', not qt6-wayland"

# gzipped FILE: compressed as Debian wants, with gzip -9n: best compression (XFL 2),
# no name and no time stamp in the header (FLG 0, MTIME 0).
gzipped() {
    gzip -t "$1" 2>/dev/null || return 1
    [ "$(od -An -tx1 -j3 -N6 "$1" | tr -d ' \n')" = 000000000002 ]
}

# The desktop entry, and the program it starts: a full path to the game in the
# package, or a name found on the default PATH in the package.
desktop=$root/usr/share/applications/tintara.desktop
if [ -f "$desktop" ]; then
    desktop-file-validate "$desktop" || fail "desktop-file-validate rejects tintara.desktop"
    grep -qx 'Icon=tintara' "$desktop" || fail "the desktop entry does not name the tintara icon"
    exec_line=$(sed -n 's/^Exec=//p' "$desktop")
    # The value as a string (\\ is \), then its first word: a quoted one unquoted,
    # its \x made x; %% is %.
    command=${exec_line//\\\\/\\}
    if [[ $command == \"* ]]; then
        command=$(sed -E 's/^"(([^"\\]|\\.)*)".*/\1/; s/\\(.)/\1/g' <<<"$command")
    else
        command=${command%% *}
    fi
    command=${command//%%/%}
    case $command in
    /*) found=$root$command ;;
    *)
        found=
        for dir in /usr/local/sbin /usr/local/bin /usr/sbin /usr/bin /sbin /bin; do
            if [ -f "$root$dir/$command" ] && [ -x "$root$dir/$command" ]; then
                found=$root$dir/$command
                break
            fi
        done
        ;;
    esac
    if [ -z "$found" ] || [ ! -f "$found" ] || [ ! -x "$found" ]; then
        fail "the desktop entry's Exec=$exec_line starts nothing the package installs"
    elif [ "$(realpath "$found")" != "$(realpath "$binary")" ]; then
        fail "the desktop entry's Exec=$exec_line is not the game in /usr/games"
    fi
else
    fail "no usr/share/applications/tintara.desktop"
fi

# The icon: a PNG of 32 x 32 pixels.
icon=$root/usr/share/icons/hicolor/32x32/apps/tintara.png
if [ -f "$icon" ]; then
    file -b "$icon" | grep -q '^PNG image data, 32 x 32,' || fail "the icon is $(file -b "$icon")"
else
    fail "no usr/share/icons/hicolor/32x32/apps/tintara.png"
fi

# The manual page tintara(6): compressed, and rendered by man without a warning.
page=$root/usr/share/man/man6/tintara.6.gz
if [ -f "$page" ]; then
    gzipped "$page" || fail "the manual page is not compressed with gzip -9n"
    warnings=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null) ||
        fail "man cannot render the manual page"
    [ -z "$warnings" ] || fail "man warns about the manual page: $warnings"
    MANWIDTH=80 man -l "$page" 2>/dev/null | grep -q 'tintara - sliding puzzle' ||
        fail "the manual page does not name tintara"
else
    fail "no usr/share/man/man6/tintara.6.gz"
fi

# The copyright file: Debian's machine-readable format, the Expat (MIT) licence,
# and the notice and text of LICENSE.
copyright=$root/usr/share/doc/tintara/copyright
if [ -f "$copyright" ]; then
    head -n 1 "$copyright" |
        grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
        fail "the copyright file is not in the machine-readable format"
    grep -qx 'License: Expat' "$copyright" || fail "the copyright file names no Expat licence"
    notice=$(head -n 1 "$source/LICENSE")
    [ "Copyright: ${notice#Copyright (c) }" = "$(grep '^Copyright: ' "$copyright")" ] ||
        fail "the copyright file's holders differ from LICENSE's '$notice'"
    # The licence paragraph, its indent removed and " ." made a blank line, is LICENSE
    # after its notice and the blank line below it.
    sed -n '/^License: Expat$/,/^$/ { /^ /p }' "$copyright" | sed 's/^ //; s/^\.$//' >"$work/licence"
    tail -n +3 "$source/LICENSE" >"$work/LICENSE.text"
    diff -u "$work/LICENSE.text" "$work/licence" >&2 ||
        fail "the licence in the copyright file differs from LICENSE"
else
    fail "no usr/share/doc/tintara/copyright"
fi

# The changelog of a native package, in Debian's format, signed like the package.
changelog=$root/usr/share/doc/tintara/changelog.gz
if [ -f "$changelog" ]; then
    gzipped "$changelog" || fail "the changelog is not compressed with gzip -9n"
    gzip -dc "$changelog" >"$work/changelog"
    parsed() { dpkg-parsechangelog -l "$work/changelog" -S "$1" 2>/dev/null; }
    [ "$(parsed Source)" = tintara ] || fail "the changelog's source is '$(parsed Source)'"
    [ "$(parsed Version)" = 0.00 ] || fail "the changelog's version is '$(parsed Version)'"
    [ "$(parsed Maintainer)" = "$maintainer" ] ||
        fail "the changelog is signed '$(parsed Maintainer)', not by the Maintainer"
else
    fail "no usr/share/doc/tintara/changelog.gz"
fi

# The AppStream record. Its id is the program's name, like the desktop entry's, not a
# reverse domain name; appstreamcli warns about that, so that one finding is an info.
metainfo=$root/usr/share/metainfo/tintara.metainfo.xml
if [ -f "$metainfo" ]; then
    grep -q '<id>tintara</id>' "$metainfo" || fail "the metainfo id is not tintara"
    grep -q '<launchable type="desktop-id">tintara.desktop</launchable>' "$metainfo" ||
        fail "the metainfo does not launch tintara.desktop"
    grep -q '<release version="0.00"' "$metainfo" || fail "the metainfo has no release 0.00"
    grep -q '<project_license>MIT</project_license>' "$metainfo" || fail "the metainfo's licence is not MIT"
    validated=no
    if command -v appstreamcli >/dev/null; then
        # Every finding at every level, pedantic ones too, is listed one a line as
        # "X: component:line: tag [hint]". Those allowed: the missing homepage, for
        # there is none (a warning since AppStream 1.0); the id, made an info above;
        # and for validators before 1.0, which do not know the <developer> block
        # that 1.0 asks for, that block as an unknown tag.
        version=$(appstreamcli --version | sed -n 's/^AppStream version: *//p')
        status=0
        LC_ALL=C.UTF-8 appstreamcli validate-tree --no-net --no-color --pedantic \
            --override=cid-desktopapp-is-not-rdns=info "$root" >"$work/appstream" 2>&1 || status=$?
        cat "$work/appstream"
        if [ "$status" -ne 0 ] && [ "$status" -ne 3 ]; then
            fail "appstreamcli validate-tree failed with status $status"
        fi
        findings=0
        while read -r severity tag hint; do
            findings=$((findings + 1))
            case "$severity $tag $hint" in
            "W url-homepage-missing " | "I cid-desktopapp-is-not-rdns tintara") ;;
            "I unknown-tag developer")
                [[ $version == 0.* ]] || fail "appstreamcli $version does not know <developer>"
                ;;
            *) fail "appstreamcli finds $severity: $tag $hint" ;;
            esac
        done < <(sed 's/\x1b\[[0-9;]*m//g' "$work/appstream" |
            sed -nE 's/^ *([EWIPU]): [^ ]*: ([A-Za-z0-9._-]+) ?(.*)$/\1 \2 \3/p')
        # The tally at the end counts what was listed: nothing went past the reading.
        counted=$(grep -E 'Validation (was successful|failed)' "$work/appstream" | tail -n 1 |
            grep -oE '(errors|warnings|infos|pedantic): [0-9]+' | awk '{ n += $2 } END { print n + 0 }')
        [ "$counted" -eq "$findings" ] ||
            fail "appstreamcli counts $counted finding(s), but $findings were read"
        validated=yes
    fi
    if command -v appstream-util >/dev/null; then
        appstream-util validate-relax --nonet "$metainfo" || fail "appstream-util rejects the metainfo"
        validated=yes
    fi
    [ "$validated" = yes ] || echo "note: no AppStream validator installed, the metainfo is not validated"
else
    fail "no usr/share/metainfo/tintara.metainfo.xml"
fi

# lintian, Debian's package checker: nothing at error or warning level. Its infos and
# pedantic hints are shown too.
status=0
lintian --display-info --pedantic "$deb" >"$work/lintian" 2>&1 || status=$?
grep -v '^running with root privileges is not recommended!$' "$work/lintian" || true
if grep -qE '^[EW]: ' "$work/lintian"; then
    fail "lintian finds errors or warnings"
elif [ "$status" -ne 0 ]; then
    fail "lintian failed with status $status"
fi

if [ "$failures" -gt 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "PASS"
