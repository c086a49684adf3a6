#!/usr/bin/env bash
# End to end: Cancel and the close box on the wizard, with both answers, and the finished
# page refusing the close box.
source "$(dirname "$0")/wizard_lib.bash"
wz_init
wz_with_display "$@"
wz_clean

# Cancel, No: the wizard stays where it was.
wz_start
wz_next
wz_cancel
wz_shot cancel-question
wz_answer '^ ZENTA$' n
kill -0 "$WZ_PID" 2>/dev/null || wz_fail "Cancel + No ended the program"
wz_shot cancel-no-stays
# Cancel, Yes: the program ends.
wz_cancel
wz_answer '^ ZENTA$' y
wz_wait_exit 15 || wz_fail "Cancel + Yes did not end the program"
wz_stop
