#!/usr/bin/env bash
# End to end: the wizard with the keyboard alone. Enter presses the focused button; on the
# licence page the focus is on "同意", so Enter agrees (never the Next beneath it); Escape
# does nothing.
source "$(dirname "$0")/wizard_lib.bash"
wz_init
wz_with_display "$@"
wz_clean

press() { xdotool key "$1"; sleep 0.8; }

wz_start
xdotool windowfocus --sync "$WZ_WIN" 2>/dev/null
sleep 0.5
press Escape
wz_expect_page 0 "Escape on the welcome page"
press Return
wz_expect_page 1 "Enter on the welcome page"
wz_shot keyboard-licence
press Return
wz_expect_page 2 "Enter on the licence page"
# Agreed: "同意" has moved above the panel's client area, where nobody sees it.
agree_top=$(wz_dump | awk -F'\t' '$1=="child" && $2=="THSButton" && $7=="同意" { split($6, r, " "); print r[2]; exit }')
[ "$agree_top" = 408 ] || wz_fail "Agree at top $agree_top, expected 408 (-32 in the panel)"
press Return
wz_expect_page 3 "Enter on the folder page (the proposed folder)"
press Escape
wz_expect_page 3 "Escape on the ready page"
wz_shot keyboard-ready
# Tab goes round the ready page's buttons and never to the agreed "同意" out of view.
for i in 1 2 3 4 5 6 7 8; do
    press Tab
    focus=$(wz_dump | awk -F'\t' '$1=="focus" { print $2 "/" $3 }')
    [ -n "$focus" ] || wz_fail "Tab $i on the ready page: no control has the focus"
    [ "$focus" != "THSButton/同意" ] || wz_fail "Tab $i on the ready page reached the hidden 同意"
done
wz_stop
wz_clean
echo "wizard keyboard: ok"
