# Counts the pixels of a strip of the preview frame's fill that differ from its
# crossing diagonals at a scale: the window's pixel (x, y) shows the ink where
# (x / scale, y / scale), in whole pixels, falls on a diagonal of the tile of
# eight pixels, and something else elsewhere. Reads a crop of a picture of the
# window's client area as ImageMagick writes it as text:
#
#   convert SHOT -crop WxH+LEFT+TOP +repage txt:- |
#       awk -v scale=S -v left=LEFT -v top=TOP -v ink='#C0C0FF' -f Hatch.awk
NR > 1 {
    split($1, at, /[,:]/)
    x = int((at[1] + left) / scale) % 8
    y = int((at[2] + top) / scale) % 8
    if ((x == y || x + y == 7) != ($3 == ink)) {
        wrong++
    }
}
END { print wrong + 0 }
