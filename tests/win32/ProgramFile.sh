#!/usr/bin/env bash
# The program file: it imports Windows' own DLLs alone (no C++ runtime beside
# it), its version record reads back as file and product version 0.00, every
# number 0, English (United States) in Unicode, and it carries the icon at the
# sizes Windows asks for between 100 % and 200 %, and at 256 pixels.
set -euo pipefail
tintara=$1
objdump=${OBJDUMP:-x86_64-w64-mingw32-objdump}
for tool in "$objdump" exiftool wrestool icotool convert compare; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

failed=0
expect() { # what, actual, expected
    if [ "$2" = "$3" ]; then echo "ok: $1"; else echo "FAIL: $1: '$2', expected '$3'"; failed=1; fi
}

imports=$("$objdump" -p "$tintara" | awk '/DLL Name:/ { print tolower($3) }' | sort | tr '\n' ' ')
echo "imports: $imports"
for dll in $imports; do
    case $dll in
    kernel32.dll | user32.dll | gdi32.dll | advapi32.dll | msvcrt.dll | comctl32.dll) ;;
    *)
        echo "FAIL: imports $dll, which is not Windows' own"
        failed=1
        ;;
    esac
done
for dll in kernel32.dll user32.dll gdi32.dll; do
    [[ " $imports" == *" $dll "* ]] || { echo "FAIL: does not import $dll"; failed=1; }
done

record=$(exiftool -s -FileVersionNumber -ProductVersionNumber -FileVersion -ProductVersion \
    -LanguageCode -CharacterSet -ObjectFileType -OriginalFileName "$tintara")
value() { awk -v key="$1" '$1 == key { sub(/^[^:]*: /, ""); print }' <<<"$record"; }
expect "file version number" "$(value FileVersionNumber)" 0.0.0.0
expect "product version number" "$(value ProductVersionNumber)" 0.0.0.0
expect "file version" "$(value FileVersion)" 0.00
expect "product version" "$(value ProductVersion)" 0.00
expect "language" "$(value LanguageCode)" "English (U.S.)"
expect "character set" "$(value CharacterSet)" Unicode
expect "a program" "$(value ObjectFileType)" "Executable application"
expect "its own name" "$(value OriginalFileName)" tintara.exe
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
wrestool -x --type=group_icon "$tintara" >"$work/tintara.ico"
expect "icon sizes" "$(icotool -l "$work/tintara.ico" | sed 's/.*--width=\([0-9]*\) --height=\([0-9]*\).*/\1x\2/' | tr '\n' ' ')" \
    "16x16 20x20 24x24 32x32 40x40 48x48 64x64 256x256 "
for size in 32 64 256; do
    icotool -x -w "$size" -o "$work/icon-$size.png" "$work/tintara.ico"
done
# Where a size is a whole multiple of 32, each pixel of the 32-pixel icon
# becomes an even block, so the bands stay even.
for size in 64 256; do
    convert "$work/icon-32.png" -sample "$((size / 32 * 100))%" "$work/scaled.png"
    expect "the $size-pixel icon is the 32-pixel one in even blocks" \
        "$(compare -metric AE "$work/icon-$size.png" "$work/scaled.png" null: 2>&1 || true)" 0
done
pixel() { # red, green, blue and alpha, 0 to 255
    convert "$work/icon-32.png" -format \
        "%[fx:round(255*p{$1,$2}.r)],%[fx:round(255*p{$1,$2}.g)],%[fx:round(255*p{$1,$2}.b)],%[fx:round(255*p{$1,$2}.a)]" info:
}
# Six bands from red to purple, rising to the right; the corners clear along
# the same staircase.
expect "the top band, red, at the right" "$(pixel 30 0)" 255,0,0,255
expect "clear at the top left" "$(pixel 0 0)" 0,0,0,0
expect "the fourth band, cyan" "$(pixel 30 16)" 0,255,255,255
expect "the last band, purple" "$(pixel 2 30)" 128,0,128,255
expect "clear at the bottom right" "$(pixel 31 31)" 0,0,0,0
exit "$failed"
