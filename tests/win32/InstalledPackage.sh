#!/usr/bin/env bash
# The Windows packages under Wine, in a Wine prefix made for the run and thrown away
# after it:
#   - msiexec installs the MSI silently; the files are in C:\Program Files\Tintara, the
#     program's version record carries the package's version, the Start menu shortcut
#     points at the installed program, the product is registered per machine for Add
#     or Remove Programs with its version and icon;
#   - the installed game opens its window, and Exit answered No ends it with status 0;
#   - msiexec removes it silently, and the prefix's files and registry are compared
#     with those from before the install: nothing of the package may remain;
#   - a later version (the same source built as 0.01) installed over this one replaces
#     it, leaving one product, this one then refuses to go over it, and the later one
#     removes as cleanly;
#   - the zip's program runs as it is, unpacked anywhere.
#
# usage: InstalledPackage.sh MSI ZIP DRIVER [WXS STAGE]
#   DRIVER      PackageDriver.exe, built for Windows with the game
#   WXS STAGE   the package's WiX source and the folder of the files it takes; with
#               them (and wixl) the upgrade to a later version is tested too
# env: TINTARA_VERSION  the version the packages carry
set -euo pipefail

msi=$(realpath "$1")
zip=$(realpath "$2")
driver=$(realpath "$3")
wxs=${4:+$(realpath "$4")}
stage=${5:+$(realpath "$5")}
version=${TINTARA_VERSION:?TINTARA_VERSION is not set}
next_version=0.01
upgrade_code='{E6D42557-957C-4C76-82AB-F4DBBFDC523B}'

fail() { echo "FAIL: $*" >&2; exit 1; }
for tool in xauth unzip; do
    command -v "$tool" >/dev/null || fail "$tool is not installed"
done
[ -f "$msi" ] && [ -f "$zip" ] || fail "no packages: build the package target first"

# Under Xvfb, in a private prefix and home made for the run.
. "$(dirname "$(realpath "$0")")/session.sh"
[ -z "${TINTARA_IN_XVFB:-}" ] || echo "== A fresh Wine prefix"
start=$(date +%s.%N)
wine_session 1024x768x24 "$@"
work=$(mktemp -d "${TMPDIR:-/tmp}/msi-test.XXXXXX")
game=
cleanup() {
    local status=$?
    [ -z "$game" ] || kill "$game" 2>/dev/null || true
    rm -rf "$work"
    (exit "$status")
    wine_session_end
}
trap cleanup EXIT

drive_c=$WINEPREFIX/drive_c
program_dir='C:\Program Files\Tintara'
# A Unix path as Wine's Z: drive names it.
windows_path() { printf 'Z:%s' "${1//\//\\}"; }
# A path on the prefix's C: drive as a Unix path.
unix_path() {
    local path=${1#[Cc]:}
    path=${path//\\//}
    printf '%s%s' "$drive_c" "$path"
}
seconds_since() { awk -v s="$1" -v e="$(date +%s.%N)" 'BEGIN { printf "%.2f", e - s }'; }
# Runs a Windows program with a bound; its output without carriage returns.
run() {
    local limit=$1
    shift
    timeout "$limit" "$WINELOADER_COMMAND" "$@" | tr -d '\r'
}

echo "   made in $(seconds_since "$start") s with $(timeout 30 "$WINELOADER_COMMAND" --version 2>/dev/null || echo 'an unknown Wine')"

# The prefix's state, taken while no Wine process runs (the registry is on disk then):
# every file and folder under C:, and every registry value as "[key] value" (the
# times Wine keeps for each key dropped).
snapshot() {
    timeout 120 "$WINESERVER" -w || fail "Wine's processes did not end, for the snapshot $1"
    (cd "$drive_c" && find . -mindepth 1 | LC_ALL=C sort) >"$work/$1.files"
    local hive
    for hive in system.reg user.reg userdef.reg; do
        awk -v hive="$hive" '
            /^#/ || /^WINE REGISTRY/ || /^$/ { next }
            /^\[/ { key = $0; sub(/\] [0-9]+$/, "]", key); print hive " " key; next }
            { print hive " " key " " $0 }' "$WINEPREFIX/$hive"
    done | LC_ALL=C sort >"$work/$1.registry"
}
snapshot before

# The product codes of the installed products named Tintara. What reg printed is kept
# in uninstall-keys.txt, for the failure's message.
installed_products() {
    run 60 reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s \
        >"$work/uninstall-keys.txt" || echo "(reg query exited with $?)" >>"$work/uninstall-keys.txt"
    awk '
        /^HKEY/ { key = $0; sub(/.*\\/, "", key) }
        $1 == "DisplayName" && $3 == "Tintara" { print key }' "$work/uninstall-keys.txt"
}
uninstall_keys() { sed 's/^/     /' "$work/uninstall-keys.txt"; }
# value PRODUCT-CODE NAME: a value of the product's uninstall key.
value() {
    run 60 reg query "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$1" /v "$2" |
        awk -v name="$2" '$1 == name { sub(/^ *[^ ]+ +REG_[A-Z_]+ +/, ""); print }'
}
# Windows Installer's packed form of a GUID: each group reversed, the last two bytewise.
packed() {
    local g=${1//[\{\}-]/}
    local out='' i
    for i in 7 6 5 4 3 2 1 0 11 10 9 8 15 14 13 12; do out+=${g:i:1}; done
    for i in 16 18 20 22 24 26 28 30; do out+=${g:i+1:1}${g:i:1}; done
    printf '%s' "$out"
}

# install MSI LOG: msiexec /i, silent, timed.
install() {
    local status=0
    start=$(date +%s.%N)
    timeout 300 "$WINELOADER_COMMAND" msiexec /i "$(windows_path "$1")" /qn /l*v "$(windows_path "$2")" || status=$?
    install_time=$(seconds_since "$start")
    [ "$status" -eq 0 ] || { tail -n 40 "$2" | tr -d '\r' >&2; fail "msiexec /i $(basename "$1") exited with $status"; }
}
# uninstall MSI|PRODUCT-CODE LOG: msiexec /x, silent, timed; with the product code it is
# what Add or Remove Programs runs.
uninstall() {
    local status=0 package=$1
    [ -f "$package" ] && package=$(windows_path "$package")
    start=$(date +%s.%N)
    timeout 300 "$WINELOADER_COMMAND" msiexec /x "$package" /qn /l*v "$(windows_path "$2")" || status=$?
    uninstall_time=$(seconds_since "$start")
    [ "$status" -eq 0 ] || { tail -n 40 "$2" | tr -d '\r' >&2; fail "msiexec /x $(basename "$1") exited with $status"; }
}

# answer_exit: the driver clicks the game's Exit and answers its question No. It names
# every fault of the game it finds on its standard error; a run that ends without a word
# of its own is Wine failing to run the driver, seen once in a loaded CI leg: that is
# said, with Wine's own errors, and tried once more.
answer_exit() {
    local try status
    for try in 1 2; do
        status=0
        WINEDEBUG=err+all run 60 "$driver" exit-no 2>"$work/driver.err" | sed 's/^/   /' || status=$?
        [ "$status" -ne 0 ] || return 0
        cat "$work/driver.err" >&2
        if grep -q '^PackageDriver:' "$work/driver.err" || [ "$try" -eq 2 ]; then
            cat "$work/game.log" >&2
            fail "the Exit question could not be answered (status $status)"
        fi
        echo "   the driver ended with status $status and no word of its own; once more"
    done
}

# play WINDOWS-PATH: starts the game, waits for its window on the X display, answers
# its Exit question No and expects it to end with status 0.
play() {
    local status=0 windows window
    start=$(date +%s.%N)
    timeout 120 "$WINELOADER_COMMAND" "$1" >"$work/game.log" 2>&1 &
    game=$!
    windows=$(timeout 60 xdotool search --sync --onlyvisible --name '^Tintara') ||
        fail "no window of $1 appeared"
    window=${windows%%$'\n'*}
    echo "   window $window ('$(xdotool getwindowname "$window")') after $(seconds_since "$start") s"
    answer_exit
    timeout 30 bash -c "while kill -0 $game 2>/dev/null; do sleep 0.1; done" ||
        fail "the game still runs 30 s after No"
    wait "$game" || status=$?
    game=
    [ "$status" -eq 0 ] || { cat "$work/game.log" >&2; fail "the game ended with status $status after No"; }
    echo "   Exit, then No: ended with status 0"
}

# compare WHEN: the prefix now against before the install. No file or folder may be
# added that names the package or lies in Program Files or a Start menu, and none may be
# missing there; other paths that differ are Wine's own (C:\windows\Installer, Windows
# Installer's cache folder, which every Windows has, stays once made) and are listed.
# Registry values may differ where Wine keeps its own state (hardware, fonts, the
# installer's empty keys), never in anything naming the package.
compare() {
    snapshot after
    local added removed changed others
    added=$(LC_ALL=C comm -13 "$work/before.files" "$work/after.files")
    removed=$(LC_ALL=C comm -23 "$work/before.files" "$work/after.files")
    local ours='tintara|/Program Files|/Start Menu'
    ! grep -Eiq "$ours" <<<"$added" || fail "left behind $1: $(grep -Ei "$ours" <<<"$added")"
    ! grep -Eiq "$ours" <<<"$removed" || fail "missing $1: $(grep -Ei "$ours" <<<"$removed")"
    others=$(printf '%s\n%s\n' "$added" "$removed" | grep . || true)
    echo "   files and folders $1: $(grep -c . <<<"$others" || true) of $(wc -l <"$work/before.files") differ, none of the package's"
    [ -z "$others" ] || head -n 10 <<<"$others" | sed 's/^/     /'
    changed=$(LC_ALL=C comm -3 "$work/before.registry" "$work/after.registry" | sed 's/^\t//')
    local pattern product
    pattern="tintara|${upgrade_code//[\{\}]/}|$(packed "$upgrade_code")"
    for product in "${products[@]}"; do
        pattern+="|${product//[\{\}]/}|$(packed "$product")"
    done
    if grep -Eiq "$pattern" <<<"$changed"; then
        grep -Ei "$pattern" <<<"$changed" >&2
        fail "the registry keeps these of the package $1"
    fi
    echo "   registry $1: $(grep -c . <<<"$changed" || true) of $(wc -l <"$work/before.registry") lines differ, none names the package; the keys:"
    sed -E 's/^([^ ]+ \[[^]]*\]).*/\1/' <<<"$changed" | grep . | LC_ALL=C sort -u | head -n 20 | sed 's/^/     /'
}

products=()

echo "== Installing $(basename "$msi")"
install "$msi" "$work/install.log"
echo "   msiexec /i /qn: status 0 in $install_time s"
install_seconds=$install_time

installed=$(cd "$drive_c/Program Files/Tintara" && find . -mindepth 1 | LC_ALL=C sort | tr '\n' ' ' || true)
[ "$installed" = "./LICENSE.txt ./tintara.exe " ] || fail "C:\\Program Files\\Tintara holds: $installed"
mkdir "$work/zip"
unzip -q "$zip" -d "$work/zip"
for file in tintara.exe LICENSE.txt; do
    cmp -s "$drive_c/Program Files/Tintara/$file" "$work/zip/$file" ||
        fail "the installed $file differs from the zip's"
done
[ ! -e "$drive_c/Program Files (x86)/Tintara" ] || fail "installed as a 32-bit program"
echo "   $program_dir holds LICENSE.txt and tintara.exe, the zip's files"
# One version for the package and the program it carries.
mapfile -t record < <(run 60 "$driver" version "$program_dir\\tintara.exe")
[ "${record[0]:-}" = "$version" ] && [ "${record[1]:-}" = "$version" ] ||
    fail "the program's version record says '${record[*]}', the package $version"
echo "   tintara.exe's version record: product and file version $version, as the package's"

mapfile -t links < <(cd "$drive_c" && find . -name 'Tintara.lnk')
[ "${#links[@]}" -eq 1 ] || fail "${#links[@]} shortcuts named Tintara: ${links[*]}"
case ${links[0]} in
*'/Start Menu/Programs/Tintara.lnk') ;;
*) fail "the shortcut is not in a Start menu's Programs: ${links[0]}" ;;
esac
link="C:${links[0]#.}"
link=${link//\//\\}
mapfile -t shortcut < <(run 60 "$driver" shortcut "$link")
[ "${shortcut[0]:-}" = "$program_dir\\tintara.exe" ] || fail "the shortcut points at '${shortcut[0]:-}'"
[ "${shortcut[1]%\\}" = "$program_dir" ] || fail "the shortcut starts in '${shortcut[1]:-}'"
icon=${shortcut[2]%,*}
[ -f "$(unix_path "$icon")" ] || fail "the shortcut's icon $icon is not there"
echo "   shortcut $link -> ${shortcut[0]} (icon $icon)"

mapfile -t products < <(installed_products)
[ "${#products[@]}" -eq 1 ] ||
    fail "${#products[@]} products named Tintara are registered: ${products[*]}; the uninstall keys:
$(uninstall_keys)"
product=${products[0]}
[ "$(value "$product" DisplayVersion)" = "$version" ] ||
    fail "the uninstall key has version '$(value "$product" DisplayVersion)'"
[ "$(value "$product" Publisher)" = "The Tintara developers" ] ||
    fail "the uninstall key names '$(value "$product" Publisher)'"
uninstall_string=$(value "$product" UninstallString || true)
[ "${uninstall_string,,}" = "msiexec.exe /x${product,,}" ] || fail "the uninstall key runs '$uninstall_string'"
# Per machine (the local system's installer data, not a user's) and 64-bit (not in
# the 32-bit view of the registry).
run 60 reg query "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\S-1-5-18\\Products\\$(packed "$product")\\InstallProperties" /v DisplayName >/dev/null ||
    fail "the product is not installed per machine"
wow64_keys=$(run 60 reg query 'HKLM\Software\Wow6432Node\Microsoft\Windows\CurrentVersion\Uninstall' /s 2>/dev/null || true)
! grep -q Tintara <<<"$wow64_keys" || fail "the product is registered in the 32-bit view of the registry"
product_icon=$(run 60 reg query "HKLM\\Software\\Classes\\Installer\\Products\\$(packed "$product")" /v ProductIcon |
    awk '$1 == "ProductIcon" { sub(/^ *[^ ]+ +REG_[A-Z_]+ +/, ""); print }' || true)
[ -f "$(unix_path "$product_icon")" ] || fail "Add or Remove Programs has no icon ('$product_icon')"
echo "   uninstall key $product: DisplayName Tintara, DisplayVersion $version, per machine, icon $product_icon"

echo "== The installed game"
play "$program_dir\\tintara.exe"

echo "== Removing it"
uninstall "$msi" "$work/uninstall.log"
echo "   msiexec /x $(basename "$msi") /qn: status 0 in $uninstall_time s"
uninstall_seconds=$uninstall_time
[ -z "$(installed_products)" ] || fail "still registered after msiexec /x:
$(uninstall_keys)"
compare "after msiexec /x"

if [ -n "$wxs" ] && [ -n "$stage" ] && [ -n "${WIXL:-}" ]; then
    echo "== Upgrading to a later version"
    (cd "$stage" && timeout 120 "$WIXL" --arch x64 --define Version=$next_version --define Exe=tintara.exe \
        --define License=LICENSE.txt --output "$work/next.msi" "$wxs")
    install "$msi" "$work/install-again.log"
    mapfile -t products < <(installed_products)
    install "$work/next.msi" "$work/upgrade.log"
    mapfile -t now < <(installed_products)
    [ "${#now[@]}" -eq 1 ] || fail "${#now[@]} products named Tintara after the upgrade: ${now[*]}; the uninstall keys:
$(uninstall_keys)"
    [ "${now[0]}" != "${products[0]}" ] || fail "the upgrade kept the earlier product code"
    [ "$(value "${now[0]}" DisplayVersion)" = "$next_version" ] ||
        fail "after the upgrade the version is '$(value "${now[0]}" DisplayVersion)'"
    echo "   $version, then $next_version over it: one product left, ${now[0]}, version $next_version"
    products+=("${now[0]}")
    # The earlier version refuses to go over the later one.
    status=0
    timeout 300 "$WINELOADER_COMMAND" msiexec /i "$(windows_path "$msi")" /qn /l*v "$(windows_path "$work/downgrade.log")" || status=$?
    [ "$status" -ne 0 ] || fail "$version installed over $next_version"
    mapfile -t now < <(installed_products)
    [ "${#now[@]}" -eq 1 ] && [ "$(value "${now[0]}" DisplayVersion)" = "$next_version" ] ||
        fail "the refused $version changed what is installed: ${now[*]}"
    # (Wine's exit status is the low byte of msiexec's: 67 for 1603, the install failed.)
    echo "   $version over $next_version: refused (status $status), $next_version stays"
    uninstall "${now[0]}" "$work/uninstall-next.log"
    echo "   msiexec /x ${now[0]} /qn (the uninstall key's command): status 0 in $uninstall_time s"
    compare "after the upgrade and its removal"
fi

echo "== The zip's program, unpacked"
play "$(windows_path "$work/zip/tintara.exe")"

echo "PASS: installed in $install_seconds s, played, removed in $uninstall_seconds s leaving nothing of the package; the zip's program runs"
