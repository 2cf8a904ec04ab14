#!/usr/bin/env bash
# tintara.exe's look at a density (Wine's LogPixels): 96 or 192 dots per inch,
# with Wine's visual style (Light, its default) and without (ThemeActive "0").
# The window is laid out for the density it declares itself aware of, each
# place and size the density's multiple of those at 96; its edges, arrows and
# frame are drawn at full resolution rather than as enlarged pixels, and its
# icons are loaded at the density. The six buttons look alike in either style,
# at rest and pressed; focus marks stay hidden after clicks and show after Tab.
#
#   HighDensity.sh DPI TINTARA.EXE PROBE.EXE
set -euo pipefail
here=$(dirname "$(realpath "$0")")
dpi=$1
tintara=$(realpath "$2")
probe=$(realpath "$3")
. "$here/session.sh"
wine_session 1600x1200x24 "$@"
command -v xprop >/dev/null || wine_skip "xprop is not installed"

failed=0
expect() { # what, actual, expected
    if [ "$2" = "$3" ]; then echo "ok: $1"; else echo "FAIL: $1: '$2', expected '$3'"; failed=1; fi
}
field() { awk -v key="$1" '$1 == key { $1 = ""; sub(/^ /, ""); print; exit }'; }
control() { awk -v name="$2" '$1 == "control" && $2 == name { print $3, $4, $5, $6 }' <<<"$1"; }
probe() { wine_run 60 "$probe" "$@"; }

# Every length at the density is s times its length at 96.
s=$((dpi / 96))
[ "$dpi" = 96 ] || wine_set_dpi "$dpi"
# Keyboard cues as Windows sets them out of the box, hidden until the keyboard
# is used (Wine's own default shows them always).
timeout 60 "$WINELOADER_COMMAND" reg add 'HKCU\Control Panel\Desktop' /v UserPreferencesMask \
    /t REG_BINARY /d 9e3e078012000000 /f >/dev/null 2>&1 ||
    { echo "FAIL: cannot set UserPreferencesMask"; exit 1; }

shot=$wine_work/shot.png
take() { # the client area, once the screen has settled
    sleep 0.5
    import -window root -crop "$((496 * s))x$((263 * s))+${origin[0]}+${origin[1]}" +repage "$shot"
}
pixel() { convert "$shot" -format "%[pixel:p{$1,$2}]" info:; }
colours() { convert "$shot" -crop "$1" +repage -unique-colors -format %w info:; }
# A button's left edge and face, a row of 8 pixels at 96 across its middle.
edge() { # name
    local x y w h
    read -r x y w h <<<"$(control "$report" "$1")"
    convert "$shot" -crop "$((8 * s))x1+$x+$((y + h / 2))" +repage txt:- | awk 'NR > 1 { printf "%s ", $3 }'
}
edge_now() { take && edge "$1"; }
# A press held on a button, its look once the press shows (ten seconds at most),
# then the press let go away from the button, which is no click.
press() { # name, its look at rest
    local x y w h now _
    read -r x y w h <<<"$(control "$report" "$1")"
    xdotool mousemove $((origin[0] + x + w / 2)) $((origin[1] + y + h / 2)) mousedown 1
    for _ in $(seq 20); do
        now=$(edge_now "$1")
        [ "$now" = "$2" ] || break
    done
    xdotool mousemove $((origin[0] + 496 * s + 20)) $((origin[1] + 10)) mouseup 1
    echo "$now"
}
# How many colours the inside of a picture box shows, a mark's width in from
# its sunken edge: one, its own, unless a focus mark is drawn there.
inside() { # name
    local x y w h
    read -r x y w h <<<"$(control "$report" "$1")"
    colours "$((w - 6 * s))x$((h - 6 * s))+$((x + 3 * s))+$((y + 3 * s))"
}

focused() { probe window | awk '$1 == "control" && $11 == 1 { print $2 }'; }
marked() { take && [ "$(inside "$1")" -gt 1 ] && echo marked || echo unmarked; }

for theme in 1 0; do
    style=$([ "$theme" = 1 ] && echo "Light style" || echo "no style")
    timeout 60 "$WINELOADER_COMMAND" reg add 'HKCU\Software\Microsoft\Windows\CurrentVersion\ThemeManager' \
        /v ThemeActive /t REG_SZ /d "$theme" /f >/dev/null 2>&1 ||
        { echo "FAIL: cannot set ThemeActive"; exit 1; }
    wine_start "$tintara"
    report=$(probe window) || { echo "FAIL: no window"; exit 1; }
    origin=($(field origin <<<"$report"))
    xwindow=$(xdotool search --name '^Tintara by Orlandek$' | head -n 1)
    # The pointer away from the window, which shows no button hot.
    xdotool mousemove $((origin[0] + 496 * s + 20)) $((origin[1] + 10))
    take

    if [ "$theme" = 1 ]; then
        expect "density" "$(field dpi <<<"$report")" "$dpi"
        expect "aware of each screen's density" "$(field awareness <<<"$report")" 2
        expect "client size" "$(field client <<<"$report")" "$((496 * s)) $((263 * s))"
        expect "B1" "$(control "$report" B1)" "$((16 * s)) $((16 * s)) $((53 * s)) $((53 * s))"
        expect "B16" "$(control "$report" B16)" "$((184 * s)) $((184 * s)) $((53 * s)) $((53 * s))"
        expect "Picture10" "$(control "$report" Picture10)" "$((328 * s)) $((96 * s)) $((22 * s)) $((22 * s))"
        expect "cmdUp" "$(control "$report" cmdUp)" "$((384 * s)) $((128 * s)) $((49 * s)) $((49 * s))"
        expect "lblNum" "$(control "$report" lblNum)" "$((240 * s)) $((224 * s)) $((57 * s)) $((33 * s))"
        expect "the window's icons, big and small, for the density" \
            "$(xprop -id "$xwindow" _NET_WM_ICON | grep -o 'Icon ([0-9]* x [0-9]*)' | tr '\n' ' ')" \
            "Icon ($((32 * s)) x $((32 * s))) Icon ($((16 * s)) x $((16 * s))) "

        expect "navy swatch" "$(pixel $((267 * s)) $((83 * s)))" "srgb(0,0,128)"
        expect "red swatch" "$(pixel $((339 * s)) $((107 * s)))" "srgb(255,0,0)"
        expect "frame outline" "$(pixel $((248 * s)) $((120 * s)))" "srgb(0,0,255)"
        # A sunken edge is drawn in a few flat colours, with no blend between them.
        edgeColours=$(colours "$((6 * s))x$((2 * s))+$((14 * s))+$((30 * s))")
        [ "$edgeColours" -le 4 ] && echo "ok: sharp cell edge ($edgeColours colours)" ||
            { echo "FAIL: the cell edge has $edgeColours colours"; failed=1; }
        # The frame's crossing diagonals: the tile of 8 pixels at 96, s times
        # as large, in a strip above the swatches.
        hatch=$(convert "$shot" -crop "$((96 * s))x$((6 * s))+$((252 * s))+$((66 * s))" +repage txt:- |
            awk -v scale="$s" -v left=$((252 * s)) -v top=$((66 * s)) -v ink='#C0C0FF' \
                -f "$here/../Hatch.awk")
        expect "the frame's crossing diagonals, scaled with the density" "$hatch" 0
        if [ "$s" -gt 1 ]; then
            # The arrow has detail finer than a doubled pixel: halving and
            # doubling it again changes it.
            read -r x y w h <<<"$(control "$report" cmdUp)"
            convert "$shot" -crop "${w}x${h}+$x+$y" +repage "$wine_work/arrow.png"
            convert "$wine_work/arrow.png" -sample 50% -sample 200% "$wine_work/doubled.png"
            changed=$(compare -metric AE "$wine_work/arrow.png" "$wine_work/doubled.png" null: 2>&1 || true)
            [ "${changed%% *}" -gt 0 ] && echo "ok: arrow drawn at full resolution ($changed pixels)" ||
                { echo "FAIL: the arrow is an enlarged low-resolution picture"; failed=1; }
        fi
    fi

    # An arrow and About alike: border and face at rest and pressed.
    rest=$(edge cmdDown)
    expect "$style: an arrow's border and face as About's" "$rest" "$(edge cmdAbout)"
    [ "$theme" = 1 ] && styled=$rest ||
        { [ "$rest" != "$styled" ] && echo "ok: no style: the buttons are not drawn in the style" ||
            { echo "FAIL: the buttons look the same with and without the style"; failed=1; }; }
    pressed=$(press cmdAbout "$rest")
    [ "$pressed" != "$rest" ] && echo "ok: $style: a pressed button shows it" ||
        { echo "FAIL: $style: a pressed button looks as at rest"; failed=1; }
    read -r x y w h <<<"$(control "$report" cmdDown)"
    xdotool mousemove $((origin[0] + x + w / 2)) $((origin[1] + y + h / 2)) mousedown 1
    expect_soon "$style: an arrow pressed as About pressed" "$pressed" edge_now cmdDown
    xdotool mousemove $((origin[0] + 496 * s + 20)) $((origin[1] + 10)) mouseup 1
    expect "$style: presses let go away from the buttons click nothing" \
        "$(probe window | awk '$2 == "lblNum" { print $NF }')" 0

    # Focus marks: hidden after clicks, shown from the first Tab on.
    expect "$style: focus marks hidden at first" "$(probe window | field hidefocus)" 1
    read -r x y w h <<<"$(control "$report" B6)"
    xdotool mousemove $((origin[0] + x + w / 2)) $((origin[1] + y + h / 2)) click 1
    expect_soon "$style: a clicked cell has the focus" B6 focused
    expect "$style: and shows no focus mark" "$(take && inside B6)" 1
    xdotool windowfocus --sync "$xwindow" 2>/dev/null || true
    xdotool key Tab
    expect_soon "$style: Tab moves the focus on" B7 focused
    expect "$style: and shows focus marks from then on" "$(probe window | field hidefocus)" 0
    expect_soon "$style: the focused cell shows a focus mark" marked marked B7
    expect "$style: the cell it left shows none" "$(take && inside B6)" 1

    probe close >/dev/null
    probe gone >/dev/null || { echo "FAIL: the window stayed"; failed=1; }
    wait "$wine_pid" 2>/dev/null || true
    wine_pid=
done
exit "$failed"
