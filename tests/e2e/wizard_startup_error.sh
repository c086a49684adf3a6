#!/usr/bin/env bash
# End to end: the bare stub (no package inside) shows the start-up failure in the error box,
# titled with the executable's name, and ends without opening the wizard.
source "$(dirname "$0")/wizard_lib.bash"
wz_init
wz_with_display "$@"

stub="$ZS_WIN_OUT/setup-stub.exe"
[ -f "$stub" ] || { echo "SKIP: no $stub (make win)"; exit 0; }
wz_launch "$stub"
wz_expect_box 'setup-stub' 'Resource SETUPINI not found.' Return
wz_wait_exit 15 || wz_fail "the program did not end after the error"
xdotool search --onlyvisible --name "安装向导" >/dev/null 2>&1 && wz_fail "a wizard window opened"
wz_stop
echo "wizard start-up error: ok"
