#!/usr/bin/env bash
# End to end: an earlier installation registered ("Setup" true) is met by the overwrite
# question before the wizard opens: No ends the program, Yes opens the wizard with the
# registered folder as the target.
source "$(dirname "$0")/wizard_lib.bash"
wz_init
wz_with_display "$@"
wz_clean

key='HKLM\Software\ZENTA\ZENTA-KOV'
mkdir -p "$WZ_DRIVE_C/Apps/Old"
zs_reg add "$key" /v Setup /t REG_DWORD /d 1 /f >/dev/null 2>&1
zs_reg add "$key" /v Folder /t REG_SZ /d 'C:\Apps\Old' /f >/dev/null 2>&1
question='   护卫提示：青岚护卫软件已经安装,覆盖原来以前的吗？        '

# No: the program ends, the wizard window never shows.
wz_launch "$WZ_EXE"
box=$(wz_wait_window '^ ZENTA$' 60) || wz_fail "no overwrite question"
xdotool search --onlyvisible --name "$WZ_TITLE" >/dev/null 2>&1 && wz_fail "the wizard opened before the question"
wz_expect_box ' ZENTA' "$question" n
wz_wait_exit 15 || wz_fail "No did not end the program"
sleep 1
xdotool search --onlyvisible --name "$WZ_TITLE" >/dev/null 2>&1 && wz_fail "the wizard opened after No"
wz_stop

# Yes: the wizard opens and proposes the registered folder.
wz_launch "$WZ_EXE"
wz_expect_box ' ZENTA' "$question" y
wz_attach "no wizard after Yes"
wz_shot overwrite-yes
wz_next
wz_agree
wz_expect_page 2 "Agree"
[ "$(wz_folder_text)" = 'C:\Apps\Old' ] || wz_fail "folder [$(wz_folder_text)], expected the registered one"
wz_stop
wz_clean
rm -rf "$WZ_DRIVE_C/Apps"
echo "wizard overwrite: ok"
