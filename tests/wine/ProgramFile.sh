#!/usr/bin/env bash
# The program file: it imports Windows' own DLLs alone (no C++ runtime beside
# it), and its version record reads back as file and product version 0.00,
# every number 0, English (United States) in Unicode.
set -euo pipefail
tintara=$1
objdump=${OBJDUMP:-x86_64-w64-mingw32-objdump}
for tool in "$objdump" exiftool; do
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
exit "$failed"
