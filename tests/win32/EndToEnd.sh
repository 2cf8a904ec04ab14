#!/usr/bin/env bash
# The real tintara.exe under Wine, in Xvfb, played like a player with real
# clicks from the X side; tintara-probe, run in the same Wine session, reads
# the window and its message boxes.
set -euo pipefail
here=$(dirname "$(realpath "$0")")
tintara=$(realpath "$1")
probe=$(realpath "$2")
. "$here/session.sh"
wine_session 1280x1024x24 "$@"

failed=0
ok() { echo "ok: $*"; }
bad() { echo "FAIL: $*"; failed=1; }
expect() { # what, actual, expected
    if [ "$2" = "$3" ]; then ok "$1"; else bad "$1: '$2', expected '$3'"; fi
}
probe() { wine_run 60 "$probe" "$@"; }
field() { awk -v key="$1" '$1 == key { $1 = ""; sub(/^ /, ""); print; exit }'; }
control() { awk -v name="$2" '$1 == "control" && $2 == name' <<<"$1"; }
centre() { awk '{ print $8, $9 }' <<<"$1"; }
counter() { control "$(probe window)" lblNum | sed 's/.* text //'; }
# A click, as a player's, goes to the game's window once it has the focus: after
# a message box, Wine 10 takes the first click on the window to activate it.
focus_game() { [ -z "${xwindow:-}" ] || xdotool windowfocus --sync "$xwindow" 2>/dev/null || true; }
click() {
    focus_game
    xdotool mousemove "$1" "$2" click 1
}
# Answers the open message box of the given title from the keyboard, as a
# player would: Enter for its default button, or a button's letter.
# The box's X window is looked for anew before each try.
answer() { # title key
    local box xbox try _
    box=$(probe dialog "$1") || { bad "no message box titled '$1'"; return 1; }
    for try in 1 2 3; do
        xbox=$(timeout 5 xdotool search --sync --onlyvisible --name "^$1\$" 2>/dev/null |
            tail -n 1) || true
        if [ -z "$xbox" ]; then
            [ "$try" -gt 1 ] || bad "the message box '$1' has no window on the screen"
            return 0
        fi
        # The key goes through XTEST to the focused box, as a player's would:
        # Wine 10 refuses keys sent straight to the box's X window.
        xdotool windowfocus --sync "$xbox" 2>/dev/null || true
        xdotool key "$2" 2>/dev/null || true
        for _ in $(seq 30); do
            xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1 || return 0
            sleep 0.1
        done
    done
    bad "the message box '$1' stayed open after $2"
}
# Waits up to ten seconds for the game to end; its exit status in $status.
ended() {
    status=0
    for _ in $(seq 100); do kill -0 "$wine_pid" 2>/dev/null || break; sleep 0.1; done
    if kill -0 "$wine_pid" 2>/dev/null; then status=running; return; fi
    wait "$wine_pid" || status=$?
    wine_pid=
}

start=$(date +%s%N)
wine_start "$tintara" /ignored --args
report=$(probe window) || { echo "FAIL: no window (status $?)"; echo "$report"; exit 1; }
echo "window shown after $((($(date +%s%N) - start) / 1000000)) ms (including the probe's start)"

# The window and every control's rectangle, in pixels at 96 dots per inch.
expect "title" "$(field title <<<"$report")" "Tintara by Orlandek"
expect "client size" "$(field client <<<"$report")" "496 263"
expect "density" "$(field dpi <<<"$report")" 96
expect "aware of each screen's density" "$(field awareness <<<"$report")" 2
expect "the program file's icon, as Windows loads it at each size it carries" \
    "$(probe icons "Z:${tintara//\//\\}" | awk '$2 "x" $2 == $3' | wc -l)" 8
expect "a resizable frame" "$(field frame <<<"$report")" 1
expect "43 controls less the frame drawn on the window" "$(grep -c '^control' <<<"$report")" 42
while read -r name x y w h; do
    actual=$(control "$report" "$name" | awk '{ print $3, $4, $5, $6 }')
    [ "$actual" = "$x $y $w $h" ] || bad "$name at '$actual', expected '$x $y $w $h'"
done <"$here/layout-96.txt"
ok "every control's rectangle (checked $(wc -l <"$here/layout-96.txt"))"

# Texts, and the names a screen reader speaks.
for pair in "cmdAbout:About" "cmdExit:Exit" "Label1:Do this and win the game. " \
    "Label2:You already did:" "lblNum:0" "Label4:course(courses)" \
    "cmdUp:Up" "cmdDown:Down" "cmdLeft:Left" "cmdRight:Right" "Picture10:Picture10, red" \
    "Picture2:Picture2, empty" "Picture3:Picture3, white"; do
    expect "${pair%%:*} says '${pair#*:}'" "$(control "$report" "${pair%%:*}" | sed 's/.* text //')" \
        "${pair#*:}"
done
cells=$(grep -E '^control B[0-9]+ ' <<<"$report" | sed 's/.* text //')
expect "one empty cell" "$(grep -c ', empty$' <<<"$cells")" 1
expect "sixteen different cells" "$(sed 's/.*, //' <<<"$cells" | sort -u | wc -l)" 16

# The window's pixels, from the X side: a swatch, the frame's outline.
origin=($(field origin <<<"$report"))
shot=$wine_work/shot.png
import -window root "$shot"
pixel() { convert "$shot" -format "%[pixel:p{$((origin[0] + $1)),$((origin[1] + $2))}]" info:; }
expect "the red swatch is red" "$(pixel 339 107)" "srgb(255,0,0)"
expect "the navy swatch is navy" "$(pixel 267 83)" "srgb(0,0,128)"
expect "the frame's blue outline" "$(pixel 248 120)" "srgb(0,0,255)"
# The empty cell 3 and 7 pixels in from its left: the black and white rings of its mark.
rings() { grep -E '^control B[0-9]+ .*, empty$' <<<"$report" | { read -r _ _ x y _ h _
    echo $(pixel $((x + 3)) $((y + h / 2))) $(pixel $((x + 7)) $((y + h / 2))); }; }
expect "the empty cell unmarked in Wine's own colours" "$(rings | tr ' ' '\n' | uniq | wc -l)" 1

expect "the focus on cmdUp" "$(control "$(probe window)" cmdUp | awk '{ print $11 }')" 1

# Right after start Space clicks the focused cmdUp; Up then Down, at least one
# of which moves a tile, each moving the tile its scan table says.
board() { probe window | awk '$1 == "control" && $2 ~ /^B[0-9]+$/ { sub(/.* text /, ""); print }'; }
hole() { board | grep -n ', empty$' | cut -d: -f1; }
before=$(hole)
xwindow=$(xdotool search --name '^Tintara by Orlandek$' | head -n 1)
xdotool windowfocus --sync "$xwindow" 2>/dev/null || true
xdotool key space
if [ "$before" -le 12 ]; then
    expect_soon "Space moves the tile below the empty cell up" $((before + 4)) hole
    expect_soon "and counts it" 1 counter
else
    sleep 0.5
    expect "Space on cmdUp with the empty cell in the bottom row moves nothing" "$(hole)" "$before"
fi

# A real click on an arrow with a tile to move: Up takes the tile below the
# empty cell, Down the one above; the move is counted.
before=$(hole)
count=$(counter)
if [ "$before" -le 12 ]; then
    click $(centre "$(control "$report" cmdUp)") && step=4 && arrowName=Up
else
    click $(centre "$(control "$report" cmdDown)") && step=-4 && arrowName=Down
fi
expect_soon "$arrowName moves the tile its scan table says" $((before + step)) hole
expect_soon "and counts it" $((${count:-0} + 1)) counter

# Tab walks the buttons in the order of the table; Enter presses the
# focused one.
focused() { probe window | awk '$1 == "control" && $11 == 1 { print $2 }'; }
# Keys go to the window with the X focus: the game's, as for a player who
# looks at it.
keys() {
    xdotool windowfocus --sync "$xwindow" 2>/dev/null || true
    xdotool key "$@"
}
expect_focus() { expect_soon "$1" "$2" focused; }
# A click on an arrow gives it the focus: the one on cmdDown goes back to cmdUp.
[ "$(focused)" != cmdDown ] || keys shift+Tab shift+Tab
expect_focus "the focus on cmdUp again" cmdUp
keys Tab
expect_focus "Tab from cmdUp goes to cmdLeft" cmdLeft
keys Tab Tab Tab
expect_focus "three more reach cmdAbout" cmdAbout
keys Return
about=$(probe dialog "About the game") && ok "Enter on cmdAbout opens About" ||
    bad "Enter on cmdAbout opened nothing"
answer "About the game" Return
keys shift+Tab shift+Tab shift+Tab shift+Tab
expect_focus "Shift+Tab walks back to cmdUp" cmdUp

# A whole game to the win through real clicks on the arrows.
declare -A arrow
for name in Up Down Left Right; do
    arrow[${name:0:1}]=$(centre "$(control "$report" cmd$name)")
done
moves=$(probe solve)
[ "$moves" != "?" ] && [ -n "$moves" ] || { bad "no way to a win found"; exit 1; }
count=$(counter)
count=${count:-0}
echo "playing $(( ${#moves} )) moves"
script=()
for ((i = 0; i < ${#moves}; i++)); do
    script+=(mousemove ${arrow[${moves:i:1}]} click 1 sleep 0.02)
done
xdotool "${script[@]}"
win=$(probe dialog "Winner!") || { bad "no win announced"; exit 1; }
expect "the win message" "$(field text <<<"$win")" \
    "You win the game! And you have spent $((count + ${#moves})) course(courses)"
expect "the win message has no icon" "$(grep -c '^icon' <<<"$win" || true)" 0
expect "owned by the window" "$(field owner <<<"$win")" "Tintara by Orlandek"
answer "Winner!" Return
question=$(probe dialog "Attention!")
expect "play again?" "$(field text <<<"$question")" "Will you play once again?"
expect "Yes is the default" "$(grep -c '^button Yes .* default$' <<<"$question")" 1
answer "Attention!" Return
expect_soon "Yes deals a new game at 0" 0 counter
expect "with one empty cell" "$(board | grep -c ', empty$')" 1

# About: its text, and nothing changed after it.
before=$(board)
click $(centre "$(control "$report" cmdAbout)")
about=$(probe dialog "About the game")
expect "the About text" "$(field text <<<"$about")" "Tintara has made by Orlandek"
expect "one OK button" "$(grep -c '^button' <<<"$about")" 1
answer "About the game" Return
sleep 0.3
expect "About changes nothing" "$(board)" "$before"

# The Picture10 shortcut: a double-click announces, Yes only repaints; a
# double-click on another swatch does nothing.
focus_game
xdotool mousemove $(centre "$(control "$report" Picture11)") click --repeat 2 --delay 80 1
sleep 0.5
probe dialog "Winner!" >/dev/null && bad "a double-click on Picture11 announced a win" ||
    ok "Picture11 has no shortcut"
focus_game
xdotool mousemove $(centre "$(control "$report" Picture10)") click --repeat 2 --delay 80 1
win=$(probe dialog "Winner!") || bad "the shortcut announced nothing"
answer "Winner!" Return
answer "Attention!" Return
sleep 0.3
expect "the shortcut's Yes changes no cell" "$(board)" "$before"

# Exit, Yes: a new game at 0 after a counted move.
click ${arrow[U]}
click ${arrow[D]}
nonzero() { [ "$(counter)" != 0 ] && echo counted || echo 0; }
expect_soon "Up and Down count" counted nonzero
click $(centre "$(control "$report" cmdExit)")
question=$(probe dialog "Attention!")
expect "the Exit question" "$(field text <<<"$question")" "Maybe will you play once again?(NO - Exit)"
expect "Yes and No" "$(grep '^button' <<<"$question" | awk '{ print $2 }' | tr '\n' ' ')" "Yes No "
answer "Attention!" Return
expect_soon "Exit, Yes deals a new game at 0" 0 counter

# Clicks on a cell, a label, a swatch and the frame change nothing.
before=$(probe window | grep -E '^control (B[0-9]+|lblNum) ' | sed 's/ focus [01]//')
for name in B6 Label1 Picture3 lblNum; do
    click $(centre "$(control "$report" "$name")")
done
click $((origin[0] + 250)) $((origin[1] + 160))
sleep 0.3
expect "clicks beside the buttons change nothing" \
    "$(probe window | grep -E '^control (B[0-9]+|lblNum) ' | sed 's/ focus [01]//')" "$before"

# An enlarged window moves nothing, and shows its background beyond the layout.
probe resize 700 400
client() { probe window | field client; }
expect_soon "the larger client area" "700 400" client
resized=$(probe window)
expect "nothing moved" "$(grep '^control' <<<"$resized" | awk '{ print $2, $3, $4, $5, $6 }')" \
    "$(grep '^control' <<<"$report" | awk '{ print $2, $3, $4, $5, $6 }')"
import -window root "$shot"
expect "the new area is the window's background" "$(pixel 650 350)" "$(pixel 5 5)"

# Exit, No: the game ends with status 0.
click $(centre "$(control "$report" cmdExit)")
answer "Attention!" n
ended
expect "Exit, No ends with status 0" "$status" 0

# Closing the window asks nothing and ends with status 0. Started in High Contrast
# White's colours (a white button face on a white window), which Wine sets but
# does not call high contrast, the empty cell has its mark.
wine_run 60 reg add 'HKCU\Control Panel\Colors' /v ButtonFace /d '255 255 255' /f >/dev/null
wine_start "$tintara"
report=$(probe window) || bad "no window the second time"
origin=($(field origin <<<"$report"))
import -window root "$shot"
expect "High Contrast White: the empty cell's two rings" "$(rings)" "srgb(0,0,0) srgb(255,255,255)"
probe close
expect "closing the window ends the game at once" "$(probe gone)" gone
ended
expect "with status 0" "$status" 0

exit "$failed"
