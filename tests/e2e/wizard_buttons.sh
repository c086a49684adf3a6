#!/usr/bin/env bash
# End to end: the hot-track buttons and the browse button with the real pointer and keys.
# The bottom panel shows orange from its first row. Next's face is cream while it has the
# focus, whatever the pointer did; without the focus it is white, cream under the pointer and
# white again when it leaves; Enter goes
# to the default button (Next, or Agree while it covers Next) and Escape to Cancel; the
# browse button shows its mouse-over picture and opens the folder browser.
source "$(dirname "$0")/wizard_lib.bash"
wz_init
wz_with_display "$@"
wz_clean

WHITE='srgb(255,255,255)'
CREAM='srgb(252,234,196)'
ORANGE='srgb(255,153,0)'
# A face pixel of Next and of Cancel: inside the edge, above the caption, off the focus frame.
NEXT_FACE="446 457"
CANCEL_FACE="550 457"

wz_move() { xdotool mousemove --window "$WZ_WIN" $(($1 + WZ_DX)) $(($2 + WZ_DY)); sleep 0.6; }
face() { wz_pixel "$WZ_SHOTS/$1.png" $2; }  # shot "x y"
expect_face() {  # shot "x y" colour what
    local got
    got=$(face "$1" "$2")
    [ "$got" = "$3" ] || wz_fail "$4: face $got, expected $3 (screenshot $1)"
}
key() { xdotool key "$1"; sleep 1; }

wz_start
# The pointer away from every button; Cancel has never had the focus.
xdotool windowfocus --sync "$WZ_WIN" 2>/dev/null
wz_move 100 200
wz_shot buttons-welcome
expect_face buttons-welcome "$CANCEL_FACE" "$WHITE" "Cancel at rest"
# The bottom panel is orange from its first row on; the pages end on the row above it.
for x in 2 320 638; do
    [ "$(face buttons-welcome "$x 440")" = "$ORANGE" ] || wz_fail "panel's top row at x $x: $(face buttons-welcome "$x 440")"
    [ "$(face buttons-welcome "$x 439")" = "$WHITE" ] || wz_fail "row above the panel at x $x: $(face buttons-welcome "$x 439")"
done
# Next has the focus on the welcome page: its face is cream for that alone, before, under and
# after the pointer (the same state, the same face, however it came about).
expect_face buttons-welcome "$NEXT_FACE" "$CREAM" "focused Next at rest"
wz_move 486 466
wz_shot buttons-welcome-hot
expect_face buttons-welcome-hot "$NEXT_FACE" "$CREAM" "focused Next under the pointer"
wz_move 100 200
wz_shot buttons-welcome-left
expect_face buttons-welcome-left "$NEXT_FACE" "$CREAM" "focused Next after the pointer left"

# Enter on the welcome page: the default button (Next) goes on to the licence page.
key Return
wz_expect_page 1 "Enter on the welcome page"
[ "$(wz_button 同意)" = "1 1" ] || wz_fail "Agree not shown on the licence page"
# Enter while Agree covers Next is Agree's: the folder page follows and Agree leaves Next's
# place for good.
key Return
wz_expect_page 2 "Enter on the licence page"
agree_top=$(wz_dump | awk -F'\t' '$1=="child" && $2=="THSButton" && $7=="同意" { split($6, r, " "); print r[2]; exit }')
[ -n "$agree_top" ] && [ "$agree_top" != 455 ] || wz_fail "Agree still over Next after Enter agreed (top $agree_top)"

# Focus into the folder box: no button is focused, so only the pointer makes a face hot.
wz_click $WZ_FOLDER_X $WZ_FOLDER_Y 0.3
wz_move 300 150
wz_shot buttons-next-rest
expect_face buttons-next-rest "$NEXT_FACE" "$WHITE" "Next at rest"
wz_move 486 466
wz_shot buttons-next-hot
expect_face buttons-next-hot "$NEXT_FACE" "$CREAM" "Next under the pointer"
wz_move 300 150
wz_shot buttons-next-left
expect_face buttons-next-left "$NEXT_FACE" "$WHITE" "Next after the pointer left"

# The browse button: its own pictures, pixel for pixel, at rest and under the pointer.
shows() {  # shot picture
    convert "$WZ_SHOTS/$1.png" -crop "24x21+$((567 + WZ_DX))+$((273 + WZ_DY))" +repage "$O/wizard_browse_crop.png"
    [ "$(compare -metric AE "$O/wizard_browse_crop.png" "$2" null: 2>&1)" = 0 ]
}
shows buttons-next-left resources/wizard/browse.bmp || wz_fail "browse button: normal picture not shown"
wz_move 586 285
wz_shot buttons-browse-hot
shows buttons-browse-hot resources/wizard/browse-hot.bmp || wz_fail "browse button: mouse-over picture not shown"
wz_move 300 150
wz_shot buttons-browse-left
shows buttons-browse-left resources/wizard/browse.bmp || wz_fail "browse button: normal picture not back"

# A click opens the folder browser with the wizard's prompt; Escape cancels it.
wz_browse
browser=""
for _ in $(seq 50); do
    browser=$(wz_tool list | awk -F'\t' '$2=="#32770" { print $3; exit }')
    [ -n "$browser" ] && break
    sleep 0.2
done
[ -n "$browser" ] || wz_fail "the browse button opened no folder browser"
wz_tool dump "$browser" | grep -q '选择安装目标文件夹' || wz_fail "folder browser without the prompt"
wz_shot buttons-browser
id=$(wz_wait_window "^$browser\$" 5) || wz_fail "folder browser not on the screen"
xdotool windowfocus --sync "$id" 2>/dev/null
sleep 0.3
xdotool key Escape
wz_window_gone "$id" 10 || wz_fail "the folder browser did not close on Escape"
sleep 0.5
wz_expect_page 2 "folder browser cancelled"

# Escape is Cancel's (from the folder box: a focused button would keep it): the quit
# question; No keeps the wizard where it was.
wz_click $WZ_FOLDER_X $WZ_FOLDER_Y 0.3
key Escape
wz_expect_box ' ZENTA' "$WZ_QUIT_TEXT" n
kill -0 "$WZ_PID" 2>/dev/null || wz_fail "Escape + No ended the program"
wz_expect_page 2 "Escape + No"
wz_stop
echo "wizard buttons: ok"
