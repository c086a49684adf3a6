#!/usr/bin/env bash
# End to end: walks the packaged example's wizard from the welcome page to the finished page
# with real clicks and key presses: window size, title, colours, the key made at start-up,
# Agree, the folder typed and created, the finished page, and a screenshot of every page.
source "$(dirname "$0")/wizard_lib.bash"
wz_init
wz_with_display "$@"
wz_clean

wz_start
# Window: title, client area, centred.
title=$(xdotool getwindowname "$WZ_WIN")
[ "$title" = 'ZENTA-KOV安装向导' ] || wz_fail "window title [$title]"
client=$(wz_dump | awk -F'\t' '$1=="client" { print $2 "x" $3 }')
[ "$client" = 642x490 ] || wz_fail "client area $client, expected 642x490"
wz_log "client area $client, outer ${WZ_OUTER_W}x${WZ_OUTER_H}"
# Starting alone leaves the product's (empty) key behind.
wz_tool regkey 'HKLM\Software\ZENTA\ZENTA-KOV' >/dev/null || wz_fail "start-up did not create the product key"

wz_expect_page 0 "start"
wz_shot page0-welcome
# The bottom panel is orange, the page white, the version text on the panel white.
[ "$(wz_pixel "$WZ_SHOTS/page0-welcome.png" 300 470)" = "srgb(255,153,0)" ] ||
    wz_fail "bottom panel colour $(wz_pixel "$WZ_SHOTS/page0-welcome.png" 300 470)"
[ "$(wz_pixel "$WZ_SHOTS/page0-welcome.png" 600 300)" = "srgb(255,255,255)" ] || wz_fail "page background"
[ "$(wz_button 上一步)" = "0 1" ] || wz_fail "Back shown on the welcome page"

wz_next
wz_expect_page 1 "Next on the welcome page"
[ "$(wz_button 同意)" = "1 1" ] || wz_fail "Agree not shown on the licence page"
wz_shot page1-licence

wz_agree
wz_expect_page 2 "Agree"
folder=$(wz_folder_text)
case "$folder" in 'C:\ZENTA-KOV' | 'D:\ZENTA-KOV') ;; *) wz_fail "default folder [$folder]" ;; esac
wz_shot page2-folder
wz_type ' C:\Apps\ZK '
wz_shot page2-folder-typed
wz_next
wz_expect_page 3 "Next with a new folder"
[ -d "$WZ_DRIVE_C/Apps/ZK" ] || wz_fail "the folder was not created"
[ "$(wz_folder_text)" = 'C:\Apps\ZK' ] || wz_fail "folder box not trimmed: [$(wz_folder_text)]"
wz_shot page3-ready

wz_next
wz_expect_page 5 "Next on the ready page"
# The run installed into the folder the user typed, and recorded it.
for f in ZENTA-KOV.exe license.txt readme.txt Uninstall.exe Z_ta.cx; do
    [ -f "$WZ_DRIVE_C/Apps/ZK/$f" ] || wz_fail "$f not installed"
done
wz_tool regget 'HKLM\Software\ZENTA\ZENTA-KOV' Folder | grep -qF 'C:\\Apps\\ZK' ||
    wz_fail "Folder not registered: $(wz_tool regget 'HKLM\Software\ZENTA\ZENTA-KOV' Folder)"
[ "$(wz_button 完成)" = "1 1" ] || wz_fail "no 完成 button on the finished page"
[ "$(wz_button 下一步 | cut -d' ' -f1)" = 0 ] || wz_fail "Next shown on the finished page"
wz_shot page5-finished

# The close box does nothing on the finished page.
wz_tool close 'ZENTA-KOV安装向导'
sleep 1
kill -0 "$WZ_PID" 2>/dev/null || wz_fail "the finished page let the close box end the program"
wz_expect_page 5 "close box on the finished page"

# Both boxes cleared: 完成 opens the folder (in Wine's explorer) and ends the program.
wz_click 216 256
wz_click 216 284
wz_shot page5-unchecked
wz_cancel
wz_wait_exit 20 || wz_fail "完成 did not end the program"
wz_stop
echo "wizard walk: ok"
