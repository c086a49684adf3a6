#!/usr/bin/env bash
# End to end: while the files are copied the window stays responsive (it answers, it can be
# read) but takes no input; a click where "完成" will be and Escape, made during the copy,
# must not act on the finished page (Escape is "完成" there: the finish actions would run and
# start the program before the user has seen the page).
source "$(dirname "$0")/wizard_lib.bash"
wz_init
wz_with_display "$@"
wz_clean

work="$O/e2e-escape"
target="$WZ_DRIVE_C/Apps/Esc"
rm -rf "$work" && mkdir -p "$work"
cp -r examples/zenta-kov "$work/pkg"
# The last file: 1 GiB of zeros (a sparse file here, a small package), which keeps the copy
# busy for seconds, long after the check below has made its input.
truncate -s 1G "$work/pkg/files/big.bin"
printf '\n[[file]]\nsource = "files/big.bin"\nname = '"'"'\\big.bin'"'"'\n' >> "$work/pkg/manifest.toml"
"$O/pack-setup" build "$work/pkg/manifest.toml" --define BUILD="$WZ_PROGRAMS" --stub "$WZ_STUB" --level 1 \
    -o "$work/escape-setup.exe" >/dev/null || wz_fail "cannot make the package"

WZ_EXE="$work/escape-setup.exe"
wz_start
wz_next
wz_agree
wz_type 'C:\Apps\Esc'
wz_next
wz_expect_page 3 "folder accepted"
xdotool mousemove --window "$WZ_WIN" $((486 + WZ_DX)) $((466 + WZ_DY)) click 1
# The copy has begun once the first files are in the folder.
for _ in $(seq 200); do [ -n "$(ls -A "$target" 2>/dev/null)" ] && break; sleep 0.05; done
[ -n "$(ls -A "$target" 2>/dev/null)" ] || wz_fail "the copy did not begin"
# The window answers while the copy goes on: its controls are read through messages.
[ "$(wz_page)" = 4 ] || wz_fail "the copying page does not answer during the copy"
xdotool mousemove --window "$WZ_WIN" $((590 + WZ_DX)) $((466 + WZ_DY)) click 1 key Escape
[ -f "$target/big.bin" ] && wz_fail "the copy ended before the input was made: the check proves nothing"
wz_shot escape-during-copy
for _ in $(seq 300); do [ "$(wz_page)" = 5 ] && break; sleep 0.2; done
wz_expect_page 5 "after the copy"
# What the click or Escape would start, had the finished page taken them.
sleep 2
kill -0 "$WZ_PID" 2>/dev/null || wz_fail "the input made during the copy ended the program on the finished page"
wz_expect_page 5 "two seconds later"
[ "$(stat -c %s "$target/big.bin" 2>/dev/null)" = $((1 << 30)) ] || wz_fail "big.bin not installed whole"
cmp -s "$work/pkg/files/big.bin" "$target/big.bin" || wz_fail "big.bin installed wrong"
wz_stop
wz_clean
rm -rf "$work" "$WZ_DRIVE_C/Apps"
echo "input during the copy: ok"
