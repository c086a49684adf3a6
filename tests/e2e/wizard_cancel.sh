#!/usr/bin/env bash
# End to end: Cancel and the close box (mouse and Alt+F4) with both answers.
source "$(dirname "$0")/wizard_lib.bash"
wz_init
wz_with_display "$@"
wz_clean

# Cancel, No: the wizard stays on its page; Cancel, Yes: the program ends.
wz_start
wz_next
wz_cancel
wz_shot cancel-question
wz_expect_box ' ZENTA' "$WZ_QUIT_TEXT" n
kill -0 "$WZ_PID" 2>/dev/null || wz_fail "Cancel + No ended the program"
wz_expect_page 1 "Cancel + No"
wz_cancel
wz_expect_box ' ZENTA' "$WZ_QUIT_TEXT" y
wz_wait_exit 15 || wz_fail "Cancel + Yes did not end the program"
wz_stop

# The close box asks through the "Confirm" dialog: No stays, Yes ends.
wz_start
wz_next
wz_agree
wz_close_box
wz_shot close-question
wz_expect_box 'Confirm' "$WZ_QUIT_TEXT" n
kill -0 "$WZ_PID" 2>/dev/null || wz_fail "close box + No ended the program"
wz_expect_page 2 "close box + No"
# Alt+F4 is the same request.
xdotool key alt+F4
wz_expect_box 'Confirm' "$WZ_QUIT_TEXT" y
wz_wait_exit 15 || wz_fail "close box + Yes did not end the program"
wz_stop
echo "wizard cancel: ok"
