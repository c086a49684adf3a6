#!/usr/bin/env bash
# End to end: the folder page's checks with typed texts, each message exactly, and the
# browse button's folder browser.
source "$(dirname "$0")/wizard_lib.bash"
wz_init
wz_with_display "$@"
wz_clean

refuse() {  # text message
    wz_type "$1"
    wz_next
    wz_expect_box ' ZENTA' "$2" Return
    wz_expect_page 2 "folder [$1]"
}

wz_start
wz_next
wz_agree
wz_expect_page 2 "Agree"
refuse '' '  提示：请选择目标文件夹！     '
refuse '   ' '  提示：请选择目标文件夹！     '
refuse 'C' '必须指定完全路径!\r\n比如:\r\nC:\\ZENTA-Y'
refuse 'Apps\X' '必须指定完全路径!\r\n比如:\r\nC:\\ZENTA-Y'
refuse 'C:' '  提示：不能安装到驱动器的根目录下!  '
refuse 'C:\' '  提示：不能安装到驱动器的根目录下!  '
long='C:\'$(printf 'a%.0s' $(seq 126))
refuse "$long" '  提示：目标文件夹路径太长，请选择较短的路径！  '
[ -e "$WZ_DRIVE_C/$(printf 'a%.0s' $(seq 126))" ] && wz_fail "the refused long folder was created"
# A drive that does not exist cannot be created.
refuse 'Q:\Apps\X' '  提示：创建子文件夹失败！         '
wz_shot folder-refused

# The browse button opens the folder browser; cancelling it changes nothing.
wz_type 'C:\Apps\Kept'
wz_browse
browser=
for _ in $(seq 60); do
    browser=$(xdotool search --onlyvisible --name '.' 2>/dev/null | while read -r w; do
        [ "$w" != "$WZ_WIN" ] && xwininfo -id "$w" | grep -q 'Width: *[1-9][0-9][0-9]' && echo "$w"; done | head -1)
    [ -n "$browser" ] && break
    sleep 0.25
done
[ -n "$browser" ] || wz_fail "the browse button opened no folder browser"
wz_shot folder-browser
xdotool windowfocus --sync "$browser" 2>/dev/null
xdotool key Escape
sleep 1
[ "$(wz_folder_text)" = 'C:\Apps\Kept' ] || wz_fail "cancelled browser changed the box: [$(wz_folder_text)]"

wz_next
wz_expect_page 3 "a valid folder"
[ -d "$WZ_DRIVE_C/Apps/Kept" ] || wz_fail "the folder was not created"
wz_stop
rm -rf "$WZ_DRIVE_C/Apps"
echo "wizard folder: ok"
