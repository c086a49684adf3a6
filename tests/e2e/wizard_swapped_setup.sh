#!/usr/bin/env bash
# End to end: the setup is renamed and another package put at its path while the overwrite
# question is open. The setup reads only the file it was started from (kept open since
# start-up), so the original files land, not the other package's.
source "$(dirname "$0")/wizard_lib.bash"
wz_init
wz_with_display "$@"
wz_clean

dir="$WZ_DRIVE_C/swap"
work="$O/e2e-swap"
rm -rf "$dir" "$work" && mkdir -p "$dir" "$work" "$WZ_DRIVE_C/Apps/Swap"
cp "$WZ_EXE" "$dir/setup.exe"
# The other package: the same product, whose readme says something else.
cp -r examples/zenta-kov "$work/other"
printf 'not the readme of the package the user started\r\n' > "$work/other/files/readme.txt"
"$O/pack-setup" build "$work/other/manifest.toml" --define BUILD="$WZ_PROGRAMS" --stub "$WZ_STUB" \
    -o "$dir/other.exe" >/dev/null || wz_fail "cannot make the other package"
"$O/pack-setup" extract "$WZ_EXE" "$work/expected" >/dev/null || wz_fail "cannot extract the package"

key='HKLM\Software\ZENTA\ZENTA-KOV'
wz_reg add "$key" /v Setup /t REG_DWORD /d 1 /f
wz_reg add "$key" /v Folder /t REG_SZ /d 'C:\Apps\Swap' /f

wz_launch "$dir/setup.exe"
wz_wait_window '^ ZENTA$' 60 >/dev/null || wz_fail "no overwrite question"
mv "$dir/setup.exe" "$dir/renamed.exe" && mv "$dir/other.exe" "$dir/setup.exe" || wz_fail "cannot swap the setup"
wz_answer '^ ZENTA$' y
wz_attach "no wizard after Yes"
wz_next
wz_agree
wz_expect_page 2 "Agree"
[ "$(wz_folder_text)" = 'C:\Apps\Swap' ] || wz_fail "folder [$(wz_folder_text)], expected the registered one"
wz_next
wz_expect_page 3 "Next on the folder page"
wz_next
for _ in $(seq 150); do [ "$(wz_page)" = 5 ] && break; sleep 0.2; done
wz_expect_page 5 "the install"
for f in ZENTA-KOV.exe license.txt readme.txt Uninstall.exe; do
    cmp -s "$work/expected/$f" "$WZ_DRIVE_C/Apps/Swap/$f" || wz_fail "$f is not the started package's"
done
wz_stop
wz_clean
rm -rf "$dir" "$work" "$WZ_DRIVE_C/Apps"
echo "swapped setup: ok"
