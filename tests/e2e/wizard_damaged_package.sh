#!/usr/bin/env bash
# End to end: start-up of damaged packages. A wrong byte sum asks whether to go on (No ends,
# Yes opens the wizard); a missing payload resource is shown in the error box and the program
# ends; a record whose FolderName leads out of its folder is refused before anything is
# written; a user's own "tmp.cx" beside the program is never touched.
source "$(dirname "$0")/wizard_lib.bash"
wz_init
wz_with_display "$@"
wz_clean

dir="$WZ_DRIVE_C/damaged"
rm -rf "$dir" && mkdir -p "$dir"
python3 tests/e2e/damage.py packsum "$WZ_EXE" "$dir/packsum-setup.exe" || wz_fail "cannot make the test package"
python3 tests/e2e/damage.py nopayload "$WZ_EXE" "$dir/nopayload-setup.exe" || wz_fail "cannot make the test package"
# The record packs tightly: the package whose FolderName is damaged starts from a long name.
rm -rf "$O/e2e-damaged" && cp -r examples/zenta-kov "$O/e2e-damaged"
sed -i 's/^folder_name = .*/folder_name = "Q7xW9pLm2Zr4Tv8Ks1Hd6Ny3Bf5Gc0Ja"/' "$O/e2e-damaged/manifest.toml"
"$O/pack-setup" build "$O/e2e-damaged/manifest.toml" --define BUILD="$WZ_PROGRAMS" --stub "$WZ_STUB" \
    -o "$dir/long-setup.exe" >/dev/null || wz_fail "cannot make the test package"
python3 tests/e2e/damage.py foldername "$dir/long-setup.exe" "$dir/foldername-setup.exe" || wz_fail "cannot make the test package"
printf 'the user'"'"'s own file\r\n' > "$dir/tmp.cx"
question='   护卫提示：文件资源校核不完整,继续吗？      '

# Wrong byte sum, No: the program ends without opening the wizard.
wz_launch "$dir/packsum-setup.exe"
wz_expect_box ' ZENTA' "$question" n
wz_wait_exit 15 || wz_fail "No to the byte-sum question did not end the program"
xdotool search --onlyvisible --name "$WZ_TITLE" >/dev/null 2>&1 && wz_fail "the wizard opened after No"
wz_stop

# Wrong byte sum, Yes: the wizard opens on its welcome page.
wz_launch "$dir/packsum-setup.exe"
wz_expect_box ' ZENTA' "$question" y
wz_attach "Yes to the byte-sum question did not open the wizard"
wz_expect_page 0 "after Yes to the byte-sum question"
wz_shot damaged-packsum-yes
wz_stop

# Missing payload: the error box, titled with the task-bar title the record has set by then,
# names the resource, with its full stop; then the program ends.
wz_launch "$dir/nopayload-setup.exe"
wz_expect_box 'ZENTA-KOV 安装向导' 'Resource SETUPPACK not found.' Return
wz_wait_exit 15 || wz_fail "the program did not end after the error"
xdotool search --onlyvisible --name "$WZ_TITLE" >/dev/null 2>&1 && wz_fail "a wizard window opened"
wz_stop

# A FolderName that leads out of its folder: reported once as a damaged package, and nothing
# is written (not even the product's key, which merely starting used to leave behind).
wz_clean
wz_launch "$dir/foldername-setup.exe"
wz_expect_box 'ZENTA-KOV 安装向导' '安装包已损坏，无法安装（FolderName）.' Return
wz_wait_exit 15 || wz_fail "the program did not end after the damaged record"
xdotool search --onlyvisible --name "$WZ_TITLE" >/dev/null 2>&1 && wz_fail "a wizard window opened"
wz_tool regkey 'HKLM\Software\ZENTA' >/dev/null && wz_fail "the damaged package wrote a registry key"
[ -e "$WZ_DRIVE_C/Windows/ZS" ] && wz_fail "the damaged package made a folder"
wz_stop

rm -rf "$O/e2e-damaged"
[ "$(cat "$dir/tmp.cx")" = "$(printf 'the user'"'"'s own file\r\n')" ] || wz_fail "tmp.cx beside the program was changed"
echo "damaged packages: ok"
