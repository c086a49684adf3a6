#!/usr/bin/env bash
# End to end: installing again while the main program's file is held open by another
# process (as Windows holds a running program's file). The file is written whole beside it,
# then Retry / Cancel names it: Retry asks again while it is still held, Cancel keeps the old
# file; the finished page says the installation did not complete and cannot start the program.
source "$(dirname "$0")/wizard_lib.bash"
wz_init
wz_with_display "$@"
wz_clean

folder="$WZ_DRIVE_C/Apps/InUse"
mkdir -p "$folder"
printf 'the old program\r\n' > "$folder/ZENTA-KOV.exe"
wz_reg add 'HKLM\Software\ZENTA\ZENTA-KOV' /v Setup /t REG_DWORD /d 1 /f
wz_reg add 'HKLM\Software\ZENTA\ZENTA-KOV' /v Folder /t REG_SZ /d 'C:\Apps\InUse' /f
held="$O/e2e-held.txt"
wine "$WZ_TOOL" hold 'C:\Apps\InUse\ZENTA-KOV.exe' 120 >"$held" 2>/dev/null &
holder=$!
for _ in $(seq 50); do grep -q held "$held" 2>/dev/null && break; sleep 0.2; done
grep -q held "$held" || wz_fail "could not hold the program's file"

wz_launch "$WZ_EXE"
wz_answer '^ ZENTA$' y
wz_attach "no wizard after Yes"
wz_next
wz_agree
wz_expect_page 2 "Agree"
wz_next
wz_expect_page 3 "the registered folder"
wz_click 486 466 0.1
question='下列文件正在被其他程序使用，无法替换。\r\n请关闭该程序后点击“重试”，或点击“取消”跳过此文件。\r\nC:\\Apps\\InUse\\ZENTA-KOV.exe'
wz_wait_window '^ ZENTA$' 30 >/dev/null || wz_fail "no question for the file in use"
wz_shot reinstall-in-use-question
wz_expect_box ' ZENTA' "$question" r
wz_expect_box ' ZENTA' "$question" Escape
for _ in $(seq 50); do [ "$(wz_page)" = 5 ] && break; sleep 0.2; done
wz_expect_page 5 "after Cancel"
[ "$(wz_dump | awk -F'\t' '$1=="child" && $2=="Button" && $7 ~ /^启动 / { print $4, $5 }')" = "1 0" ] ||
    wz_fail "the start box is not disabled"
wz_shot page5-incomplete
[ "$(cat "$folder/ZENTA-KOV.exe")" = "$(printf 'the old program\r\n')" ] || wz_fail "the held file was changed"
[ "$(ls "$folder" | grep -c '~')" = 0 ] || wz_fail "a temporary file was left: $(ls "$folder")"
cmp -s "$folder/readme.txt" <("$O/pack-setup" extract "$WZ_EXE" "$O/e2e-inuse-x" >/dev/null && cat "$O/e2e-inuse-x/readme.txt") ||
    wz_fail "the other files were not installed"
kill "$holder" 2>/dev/null
wz_stop
wz_clean
rm -rf "$WZ_DRIVE_C/Apps" "$O/e2e-inuse-x" "$held"
echo "reinstall over a file in use: ok"
