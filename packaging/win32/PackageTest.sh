#!/usr/bin/env bash
# What the Windows packages hold, read without Windows: the MSI's tables with
# msiinfo (msitools), the zip's entries with unzip.
#
# usage: PackageTest.sh MSI ZIP LICENSE      (env: TINTARA_VERSION, the version text)
set -euo pipefail

msi=$1 zip=$2 license=$3
version=${TINTARA_VERSION:?TINTARA_VERSION is not set}
upgrade_code='{E6D42557-957C-4C76-82AB-F4DBBFDC523B}'

fail() { echo "FAIL: $*" >&2; exit 1; }
for tool in msiinfo unzip; do
    command -v "$tool" >/dev/null || fail "$tool is not installed (apt-get install msitools unzip)"
done
[ -f "$msi" ] || fail "no $msi: build the package target"
[ -f "$zip" ] || fail "no $zip: build the package target"

# table NAME: the rows of a table, without the three header lines, in order.
table() { msiinfo export "$msi" "$1" | tr -d '\r' | tail -n +4 | LC_ALL=C sort; }
property() { table Property | awk -F '\t' -v name="$1" '$1 == name { print $2 }'; }

tables=$(msiinfo tables "$msi")
for name in Property File Component Directory Shortcut Icon Upgrade Feature; do
    grep -qx "$name" <<<"$tables" || fail "no $name table"
done

[ "$(property ProductName)" = Tintara ] || fail "ProductName is '$(property ProductName)'"
[ "$(property ProductVersion)" = "$version" ] || fail "ProductVersion is '$(property ProductVersion)'"
[ "$(property UpgradeCode)" = "$upgrade_code" ] || fail "UpgradeCode is '$(property UpgradeCode)'"
[ "$(property Manufacturer)" = "The Tintara developers" ] || fail "Manufacturer is '$(property Manufacturer)'"
[ "$(property ALLUSERS)" = 1 ] || fail "not a per-machine package (ALLUSERS '$(property ALLUSERS)')"
[ "$(property ARPPRODUCTICON)" = tintara.exe ] || fail "no icon for Add or Remove Programs"
[ "$(property REBOOT)" = ReallySuppress ] || fail "REBOOT is '$(property REBOOT)'"
echo "Property: ProductName Tintara, ProductVersion $version, UpgradeCode $upgrade_code"

summary=$(msiinfo suminfo "$msi" | tr -d '\r')
grep -qx 'Template: x64;1033' <<<"$summary" || fail "not a 64-bit package"

# Two files, each the key of its own 64-bit component, in Program Files\Tintara.
[ "$(table File | cut -f 1,3 | tr '\t' ' ')" = "LICENSE.txt LICENSE.txt
tintara.exe tintara.exe" ] || fail "files: $(table File | cut -f 3 | tr '\n' ' ')"
[ "$(table Component | cut -f 1,3,4,6 | tr '\t' ' ')" = "Licence INSTALLDIR 256 LICENSE.txt
Program INSTALLDIR 256 tintara.exe" ] || fail "components: $(table Component)"
grep -qx "INSTALLDIR	ProgramFiles64Folder	Tintara" <<<"$(table Directory)" ||
    fail "the game's folder is not Program Files\\Tintara"

# One shortcut, in the Start menu's Programs, to the installed program, with its icon.
[ "$(table Shortcut | cut -f 2,3,5,9 | tr '\t' ' ')" = "ProgramMenuFolder Tintara [#tintara.exe] tintara.exe" ] ||
    fail "shortcut: $(table Shortcut)"
[ "$(table Icon | cut -f 1)" = tintara.exe ] || fail "icons: $(table Icon | cut -f 1)"

# A later version replaces this one, an earlier one refuses to install over it.
# (A row for the upgrade code up to this version, not only detecting: RemoveExistingProducts removes what it finds.)
upgrades=$(table Upgrade | awk -F '\t' -v code="$upgrade_code" -v version="$version" \
    '$1 == code && $3 == version && int($5 / 2) % 2 == 0 && $7 == "WIX_UPGRADE_DETECTED"')
[ -n "$upgrades" ] || fail "no upgrade of earlier versions: $(table Upgrade)"
grep -q '^RemoveExistingProducts	' <<<"$(table InstallExecuteSequence)" || fail "earlier versions are not removed"

# Nothing runs but Windows Installer's own actions, and nothing is left for a reboot.
for name in CustomAction ServiceInstall Registry RemoveFile; do
    [ -z "$(table "$name")" ] || fail "the $name table is not empty: $(table "$name")"
done
if grep -Eq '^(ScheduleReboot|ForceReboot)	' <<<"$(table InstallExecuteSequence)"; then
    fail "the package asks for a reboot"
fi
echo "MSI: $(table File | wc -l) files, 1 shortcut, no custom action, no reboot ($(stat -c %s "$msi") bytes)"

# The zip: exactly the program, the licence and the README, at its top.
entries=$(unzip -Z1 "$zip" | LC_ALL=C sort | tr '\n' ' ')
[ "$entries" = "LICENSE.txt README.txt tintara.exe " ] || fail "the zip holds: $entries"
unzip -tq "$zip" >/dev/null || fail "the zip is damaged"
[ "$(unzip -p "$zip" LICENSE.txt | tr -d '\r')" = "$(cat "$license")" ] || fail "LICENSE.txt is not LICENSE"
readme=$(unzip -p "$zip" README.txt)
grep -q "^Tintara $version " <<<"$readme" || fail "README.txt does not name version $version"
[ "$(tr -cd '\r' <<<"$readme" | wc -c)" -eq "$(grep -c '' <<<"$readme")" ] ||
    fail "README.txt does not have Windows line endings"
echo "zip: $entries($(stat -c %s "$zip") bytes)"
echo "PASS: the MSI and the zip hold what they should"
