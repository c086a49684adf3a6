#!/usr/bin/env bash
# End to end: a click and Escape made while the files are copied wait in the queue until the
# run ends. They were meant for the copying page: the finished page must not take them as
# "完成" (which would run the finish actions before the user has seen the page).
source "$(dirname "$0")/wizard_lib.bash"
wz_init
wz_with_display "$@"
wz_clean

work="$O/e2e-escape"
rm -rf "$work" && mkdir -p "$work"
cp -r examples/zenta-kov "$work/pkg"
# A payload that keeps the run busy for a tenth of a second or more (idle machine), far longer
# than xdotool takes to send the rest of its input after the click: input that came after the
# run would rightly act on the finished page. So no pause between them either.
head -c $((128 << 20)) /dev/urandom > "$work/pkg/files/big.bin"
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
# Next, then while the run holds the thread a click where "完成" will be and Escape (which
# is "完成" on the finished page): both wait in the queue and must be dropped.
xdotool mousemove --window "$WZ_WIN" $((486 + WZ_DX)) $((466 + WZ_DY)) click 1 mousemove --window "$WZ_WIN" $((590 + WZ_DX)) $((466 + WZ_DY)) click 1 key Escape
for _ in $(seq 100); do [ "$(wz_page)" = 5 ] && break; sleep 0.2; done
wz_expect_page 5 "after the run"
sleep 2
kill -0 "$WZ_PID" 2>/dev/null || wz_fail "the queued input ended the program on the finished page"
wz_expect_page 5 "two seconds later"
cmp -s "$work/pkg/files/big.bin" "$WZ_DRIVE_C/Apps/Esc/big.bin" || wz_fail "big.bin not installed"
wz_stop
wz_clean
rm -rf "$work" "$WZ_DRIVE_C/Apps"
echo "input during the copy: ok"
