#!/bin/sh
# The site's first visit, every file but the icons: at most 32 KiB, and 14 KiB
# with each file compressed by gzip -9, as a host may send them. usage: SizeTest.sh SITE
set -eu
cd "$1"
bytes=0 packed=0
for file in *; do
    case $file in *.png) continue ;; esac
    bytes=$((bytes + $(wc -c <"$file")))
    packed=$((packed + $(gzip -9c "$file" | wc -c)))
done
echo "the first visit: $bytes B, $packed B with gzip -9 (at most 32768 and 14336)"
[ "$bytes" -le 32768 ] && [ "$packed" -le 14336 ]
