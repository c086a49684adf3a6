#!/usr/bin/env bash
# End to end: links planted in the target folder before the install. A file link is replaced
# by the file (the file it pointed at keeps its bytes); a folder link inside the target is
# refused with the per-file message, and nothing is written where it points.
source "$(dirname "$0")/wizard_lib.bash"
wz_init
wz_with_display "$@"
wz_clean

work="$O/e2e-links"
rm -rf "$work" && mkdir -p "$work/outside/dir"
printf 'not the installer'"'"'s to change\n' > "$work/outside/readme.txt"
cp -r examples/zenta-kov "$work/pkg"
mkdir -p "$work/pkg/files/sub"
printf 'inside\r\n' > "$work/pkg/files/sub/inner.txt"
printf '\n[[file]]\nsource = "files/sub/inner.txt"\nname = '"'"'\\sub\\inner.txt'"'"'\n' >> "$work/pkg/manifest.toml"
"$O/pack-setup" build "$work/pkg/manifest.toml" --define BUILD="$WZ_PROGRAMS" --stub "$WZ_STUB" \
    -o "$work/links-setup.exe" >/dev/null || wz_fail "cannot make the package"

target="$WZ_DRIVE_C/Apps/Links"
mkdir -p "$target"
ln -s "$work/outside/readme.txt" "$target/readme.txt"
ln -s "$work/outside/dir" "$target/sub"

WZ_EXE="$work/links-setup.exe"
wz_start
wz_next
wz_agree
wz_type 'C:\Apps\Links'
wz_next
wz_expect_page 3 "folder accepted"
wz_click 486 466 0.1
wz_expect_box ' ZENTA' '安装下列文件时发生错误，\r\n建议重新启动后再次安装!\r\nC:\\Apps\\Links\\sub\\inner.txt' Return
for _ in $(seq 50); do [ "$(wz_page)" = 5 ] && break; sleep 0.2; done
wz_expect_page 5 "after the message"
wz_shot page5-planted-links
[ "$(cat "$work/outside/readme.txt")" = "not the installer's to change" ] || wz_fail "the linked file was written"
[ -z "$(ls -A "$work/outside/dir")" ] || wz_fail "a file was written through the folder link: $(ls "$work/outside/dir")"
[ ! -L "$target/readme.txt" ] && cmp -s "$target/readme.txt" "$work/pkg/files/readme.txt" 2>/dev/null ||
    [ ! -L "$target/readme.txt" ] || wz_fail "readme.txt is still the planted link"
[ -f "$target/ZENTA-KOV.exe" ] || wz_fail "the other files were not installed"
wz_stop
wz_clean
rm -rf "$work" "$WZ_DRIVE_C/Apps"
echo "planted links: ok"
