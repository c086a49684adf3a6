#!/usr/bin/env bash
# End to end: a file that cannot be written during the run. The copying page is on screen
# with the per-file message naming the file; after OK the run goes on to the finished page.
source "$(dirname "$0")/wizard_lib.bash"
wz_init
wz_with_display "$@"
wz_clean

# A folder where the run wants to write readme.txt: the file cannot be created.
mkdir -p "$WZ_DRIVE_C/Apps/Err/readme.txt"
wz_start
wz_next
wz_agree
wz_type 'C:\Apps\Err'
wz_next
wz_expect_page 3 "folder accepted"
wz_click 486 466 0.1
box=$(wz_wait_window '^ ZENTA$' 30) || wz_fail "no message for the file that cannot be written"
wz_expect_page 4 "during the run"
[ "$(wz_button 取消)" = "1 0" ] || wz_fail "Cancel not disabled on the copying page: $(wz_button 取消)"
wz_shot page4-copying-error
wz_expect_box ' ZENTA' '安装下列文件时发生错误，\r\n建议重新启动后再次安装!\r\nC:\\Apps\\Err\\readme.txt' Return
for _ in $(seq 40); do [ "$(wz_page)" = 5 ] && break; sleep 0.5; done
wz_expect_page 5 "after the message"
[ -f "$WZ_DRIVE_C/Apps/Err/ZENTA-KOV.exe" ] || wz_fail "the run did not go on after the message"
wz_stop
wz_clean
echo "wizard copy error: ok"
