#!/usr/bin/env bash
# Builds the Debian package from a configured and built tree, unpacks it and checks
# what it installs: the binary, the desktop entry, the 32x32 icon, the AppStream
# record, and the Depends field.
# Usage: PackageTest.sh BUILD-DIR   (exits 77 when the packaging tools are missing)
set -euo pipefail

build=$(realpath "$1")
cpack=${CPACK:-cpack}
for tool in "$cpack" dpkg dpkg-deb dpkg-shlibdeps file desktop-file-validate; do
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
arch=$(dpkg --print-architecture)
deb=$work/out/tintara_0.00_${arch}.deb
if [ ! -f "$deb" ]; then
    cat "$work/cpack.log" >&2
    echo "FAIL: no $(basename "$deb"); cpack made: $(cd "$work/out" && echo *.deb)" >&2
    exit 1
fi
echo "package $(basename "$deb")"

# The control fields.
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = tintara ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = 0.00 ] || fail "Version is '$(field Version)'"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture is '$(field Architecture)'"
[ "$(field Section)" = games ] || fail "Section is '$(field Section)'"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
[ -n "$(field Description)" ] || fail "no Description"
depends=$(field Depends)
echo "Depends: $depends"
# The names in Depends, without versions and alternatives.
names=" $(tr -s ',|' '\n' <<<"$depends" | sed 's/(.*)//; s/\[.*\]//; s/:.*//' | tr -d ' ' | tr '\n' ' ') "
for package in libqt6widgets6 libqt6gui6 libqt6core6 fonts-liberation2 qt6-qpa-plugins; do
    [[ $names == *" $package "* ]] || fail "Depends does not name $package"
done

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

# The binary.
binary=$root/usr/bin/tintara
if [ -f "$binary" ] && [ -x "$binary" ]; then
    file -b "$binary" | grep -q '^ELF .* executable' || fail "usr/bin/tintara is $(file -b "$binary")"
else
    fail "no executable usr/bin/tintara"
fi

# The desktop entry.
desktop=$root/usr/share/applications/tintara.desktop
if [ -f "$desktop" ]; then
    desktop-file-validate "$desktop" || fail "desktop-file-validate rejects tintara.desktop"
    grep -qx 'Exec=tintara' "$desktop" || fail "the desktop entry does not run tintara"
    grep -qx 'Icon=tintara' "$desktop" || fail "the desktop entry does not name the tintara icon"
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

# The AppStream record. Its id is the program's name, like the desktop entry's, not a
# reverse domain name; appstreamcli warns about that, so that one finding is an info.
metainfo=$root/usr/share/metainfo/tintara.metainfo.xml
if [ -f "$metainfo" ]; then
    grep -q '<id>tintara</id>' "$metainfo" || fail "the metainfo id is not tintara"
    grep -q '<launchable type="desktop-id">tintara.desktop</launchable>' "$metainfo" ||
        fail "the metainfo does not launch tintara.desktop"
    grep -q '<release version="0.00"' "$metainfo" || fail "the metainfo has no release 0.00"
    validated=no
    if command -v appstreamcli >/dev/null; then
        appstreamcli validate-tree --no-net --override=cid-desktopapp-is-not-rdns=info "$root" ||
            fail "appstreamcli rejects the installed tree"
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

if [ "$failures" -gt 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "PASS"
