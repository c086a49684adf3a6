#!/usr/bin/env bash
# End to end: 完成 with "启动 ZENTA-KOV" checked starts the installed program in its own folder,
# even when that folder's name holds "%", "&", "^" and blanks. Commands planted where a user
# can write (choice.bat and echoc.bat in the start-menu group folder, the setup's current
# folder at the end; temp.bat beside the setup, written again and again while 完成 is
# pressed) never run.
source "$(dirname "$0")/wizard_lib.bash"
wz_init
wz_with_display "$@"
wz_clean
# An installation left by an earlier run would be offered for overwriting first.
wz_reg delete "$WZ_KEY\\ZENTA-KOV" /f

dir="$WZ_DRIVE_C/e2e-launch"
work="$O/e2e-launch"
target='C:\Apps\L 100% a&b^c'
target_unix="$WZ_DRIVE_C/Apps/L 100% a&b^c"
group="$WZ_DRIVE_C/users/${USER:-$(id -un)}/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/ZENTA-KOV"
rm -rf "$dir" "$work" && mkdir -p "$dir" "$work/build" "$group"
# The installed program is the marker program: it reports its command line and its folder.
cp "$WZ_PROGRAMS/install_marker.exe" "$work/build/ZENTA-KOV.exe"
cp "$WZ_PROGRAMS/Uninstall.exe" "$work/build/"
"$O/pack-setup" build examples/zenta-kov/manifest.toml --define BUILD="$work/build" --stub "$WZ_STUB" \
    -o "$dir/setup.exe" >/dev/null || wz_fail "cannot make the package"

plant() {  # file marker
    printf '@echo off\r\necho planted> "C:\\e2e-launch\\%s"\r\n' "$2" > "$1"
}
plant "$group/choice.bat" ran-choice
plant "$group/echoc.bat" ran-echoc
plant "$dir/temp.bat" ran-temp

WZ_EXE="$dir/setup.exe"
wz_start
wz_next
wz_agree
wz_expect_page 2 "Agree"
wz_type "$target"
wz_next
wz_expect_page 3 "Next with the new folder"
wz_next
for _ in $(seq 150); do [ "$(wz_page)" = 5 ] && break; sleep 0.2; done
wz_expect_page 5 "the install"
[ -f "$target_unix/ZENTA-KOV.exe" ] || wz_fail "not installed into [$target]"

# Someone keeps putting their own temp.bat beside the setup while it finishes.
(for _ in $(seq 100); do plant "$dir/temp.bat" ran-temp; sleep 0.05; done) &
replacer=$!
wz_cancel
wz_wait_exit 20 || wz_fail "完成 did not end the program"
ran="$target_unix/ZENTA-KOV.exe.ran"
for _ in $(seq 100); do [ -f "$ran" ] && break; sleep 0.2; done
wait "$replacer"
[ -f "$ran" ] || wz_fail "the installed program did not start"
report=$(iconv -f UTF-16LE -t UTF-8 "$ran" | tr -d '\r')
[ "$(sed -n 2p <<<"$report")" = "$target" ] || wz_fail "started in [$(sed -n 2p <<<"$report")], not in its own folder"
wz_log "started as: $(head -1 <<<"$report")"
sleep 2
for marker in ran-choice ran-echoc ran-temp; do
    [ -e "$dir/$marker" ] && wz_fail "a planted command ran ($marker)"
done
ls "$WZ_DRIVE_C/windows/temp" | grep -q '^ZENTA-launch-' && wz_fail "the launcher's folder is left behind"
wz_stop
wz_clean
wz_reg delete "$WZ_KEY\\ZENTA-KOV" /f
rm -rf "$dir" "$work" "$group" "$WZ_DRIVE_C/Apps"
echo "launcher: ok"
