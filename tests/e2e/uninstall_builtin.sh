#!/usr/bin/env bash
# End to end: a package with uninstaller = "builtin", installed with real input into a folder
# with a blank in its name; a file of the user's put in that folder; then the uninstall entry's
# command line, answered with real input. Afterwards the machine is as before the installation
# (files outside the Windows folder, shortcuts, the Software keys of both roots) except the
# user's file, which the last box names.
source "$(dirname "$0")/wizard_lib.bash"
wz_init
wz_with_display "$@"
wz_clean
zs_reg delete 'HKCU\Software\ZENTA' /f >/dev/null 2>&1

UNINSTALLER="$ZS_WIN_OUT/uninstaller.exe"
[ -f "$UNINSTALLER" ] || { echo "SKIP: no $UNINSTALLER (make win)" >&2; exit 0; }
WORK="$O/uninstall_builtin"
rm -rf "$WORK" && mkdir -p "$WORK"
FOLDER='C:\Program Files\ZK'
UNIX_FOLDER="$WZ_DRIVE_C/Program Files/ZK"
rm -rf "$UNIX_FOLDER"
# Shortcuts earlier runs of the example left (the installation replaces them).
rm -rf "$WZ_DRIVE_C"/users/*/Desktop/ZENTA-KOV.lnk "$WZ_DRIVE_C"/users/*/AppData/Roaming/Microsoft/Windows/Start\ Menu/Programs/ZENTA-KOV

# The example's manifest without its stand-in uninstaller, with the built one and a value of
# the product's own.
ex="$WZ_TOP/examples/zenta-kov"
{
    echo 'uninstaller = "builtin"'
    sed -e "s|^licence = \"|licence = \"$ex/|" -e "s|source = \"files/|source = \"$ex/files/|" "$ex/manifest.toml" |
        awk '/^\[\[file\]\]/ { block = $0; getline; if ($0 ~ /Uninstall\.exe/) { getline; getline; next } print block } { print }'
    printf '\n[[registry]]\nroot = "HKCU"\nkey = '"'"'Software\\ZENTA\\Options'"'"'\nname = "Skin"\nvalue = "Blue"\n'
} > "$WORK/manifest.toml"
grep -q "^source.*Uninstall.exe" "$WORK/manifest.toml" && wz_fail "the stand-in uninstaller is still in the manifest"
"$O/pack-setup" build "$WORK/manifest.toml" --define BUILD="$WZ_PROGRAMS" --stub "$WZ_STUB" \
    --uninstaller "$UNINSTALLER" -o "$WORK/setup.exe" > "$WORK/pack.log" 2>&1 || { cat "$WORK/pack.log"; wz_fail "packaging"; }
grep -q warning "$WORK/pack.log" && wz_fail "packaging warned: $(cat "$WORK/pack.log")"
WZ_EXE="$WORK/setup.exe"

# What the tests compare: files outside the Windows folder (temporary folders aside), and the
# Software keys of both roots.
snapshot() {  # name
    (cd "$WZ_DRIVE_C" && find . -path ./windows -prune -o -print | grep -v '/Temp\b' | LC_ALL=C sort) > "$WORK/$1.files"
    for root in HKLM HKCU; do
        zs_reg export "$root\\Software" "$(winepath -w "$WORK/$1.$root.reg")" /y >/dev/null 2>&1 ||
            wz_fail "cannot export $root\\Software"
    done
    iconv -f UTF-16LE -t UTF-8 "$WORK/$1.HKLM.reg" "$WORK/$1.HKCU.reg" | tr -d '\r' | grep -v '^$' > "$WORK/$1.reg"
}
snapshot before

wz_start
wz_next
wz_expect_page 1 "Next on the welcome page"
wz_agree
wz_expect_page 2 "Agree"
wz_type "$FOLDER"
wz_next
wz_expect_page 3 "Next on the folder page"
wz_next
wz_expect_page 5 "Next on the ready page"
# Everything is written: the setup is ended on the finished page, so that neither the tutorial,
# the program (which would hold its file) nor Explorer adds anything of its own.
wz_stop
[ -f "$UNIX_FOLDER/uninstall.exe" ] || wz_fail "the built uninstaller was not installed"
cmp -s "$UNIX_FOLDER/uninstall.exe" "$UNINSTALLER" || wz_fail "the installed uninstaller is not the built one"
echo 'mine' > "$UNIX_FOLDER/my notes.txt"

# The uninstall entry's command line, as the list of installed programs runs it.
command=$(wz_tool regget 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\ZENTA-KOV' UninstallString |
    cut -f3 | sed 's/\\\\/\\/g')
[ "$command" = "\"$FOLDER\\uninstall.exe\"" ] || wz_fail "UninstallString [$command]"
# Through a batch file, which hands the command processor the line exactly as stored.
printf '@%s\r\n' "$command" > "$WORK/uninstall.bat"
WINEDEBUG=-all wine cmd /c "$(winepath -w "$WORK/uninstall.bat")" >/dev/null 2>&1 &
WZ_PID=$!

box_shot() {  # name title-regex
    local id
    id=$(wz_wait_window "$2" 20) || wz_fail "no box titled '$2'"
    sleep 0.5
    import -window "$id" "$WZ_SHOTS/$1.png" 2>/dev/null || wz_fail "screenshot $1"
}
box_shot uninstall-confirm '^ ZENTA$'
wz_expect_box ' ZENTA' '确实要从您的计算机中完全删除 ZENTA-KOV 及其所有组件吗？' y
box_shot uninstall-finished '^ ZENTA$'
wz_expect_box ' ZENTA' 'ZENTA-KOV 已从您的计算机中删除。\r\n\r\n下列内容不是由安装程序创建的，已保留：\r\nC:\\Program Files\\ZK\\my notes.txt' Return
for _ in $(seq 50); do
    wz_tool procs | grep -qi 'uninstall\.exe' || break
    sleep 0.2
done
wz_tool procs | grep -qi 'uninstall\.exe' && wz_fail "the uninstaller is still running"

# Only the user's file is left, in its folder.
[ "$(ls -A "$UNIX_FOLDER")" = 'my notes.txt' ] || wz_fail "left in the folder: $(ls -A "$UNIX_FOLDER" | tr '\n' ' ')"
snapshot after
diff "$WORK/before.reg" "$WORK/after.reg" > "$WORK/reg.diff" || wz_fail "registry differs: $(head -20 "$WORK/reg.diff")"
diff "$WORK/before.files" "$WORK/after.files" > "$WORK/files.diff"
expected=$(printf '> ./Program Files/ZK\n> ./Program Files/ZK/my notes.txt')
[ "$(grep '^[<>]' "$WORK/files.diff")" = "$expected" ] || wz_fail "files differ: $(head -20 "$WORK/files.diff")"
wz_stop
rm -rf "$UNIX_FOLDER"
echo "uninstall builtin: ok"
