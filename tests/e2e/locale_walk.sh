#!/usr/bin/env bash
# End to end, in two locales: installs the example (with Chinese registry values and links
# added) through the wizard with real clicks, once in a Wine prefix whose ANSI code page is
# not 936 (en_US.UTF-8, else C.UTF-8) and once in a zh_CN.UTF-8 prefix (code page 936).
# The program keeps its texts in GBK and converts them with code page 936 itself, so both runs
# must give the same Unicode names on disk and in the registry and the same pixels on screen.
source "$(dirname "$0")/locale_lib.bash"

# Locales first (they may need generating), before the display re-run.
lc_locale zh_CN.UTF-8 || { echo "SKIP: the zh_CN.UTF-8 locale is missing and cannot be generated" >&2; exit 0; }
LC_OTHER=en_US.UTF-8
lc_locale "$LC_OTHER" || LC_OTHER=C.UTF-8
LC_TAG=$([ "$LC_OTHER" = C.UTF-8 ] && echo c || echo en)  # names the screenshots: locale-en-welcome.png
lc_init
wz_with_display "$@"
lc_package

# Whatever happens, the prefixes' Wine processes end with the test.
trap 'wineserver -k 2>/dev/null' EXIT

# One install: the wizard from the welcome page to the finished page, then the checks.
lc_walk() {  # tag
    local tag=$1 cps
    lc_clean
    cps=$(lc_codepages)
    read -r LC_ACP LC_OEMCP LC_LCID <<<"$cps"
    echo "[$tag] LANG=$LANG prefix $(basename "$WINEPREFIX"): ANSI code page $LC_ACP, OEM code page $LC_OEMCP, locale $LC_LCID"
    printf -v "LC_CP_$tag" '%s' "$LC_ACP/$LC_OEMCP"

    wz_start
    title=$(xdotool getwindowname "$WZ_WIN")
    [ "$title" = 'ZENTA-KOV安装向导' ] || wz_fail "[$tag] window title [$title]"
    wz_expect_page 0 "[$tag] start"
    wz_shot "locale-$tag-welcome"
    wz_dump | grep -v '^\(window\|pid\|frame\)' >"$LC_DIR/$tag-page0.txt"
    wz_next
    wz_expect_page 1 "[$tag] Next on the welcome page"
    wz_dump | grep -v '^\(window\|pid\|frame\)' >"$LC_DIR/$tag-page1.txt"
    wz_agree
    wz_expect_page 2 "[$tag] Agree"
    wz_type 'C:\Apps\ZK'
    wz_next
    wz_expect_page 3 "[$tag] Next on the folder page"
    wz_next
    local page
    for _ in $(seq 60); do
        page=$(wz_page)
        [ "$page" = 5 ] && break
        sleep 0.5
    done
    [ "$page" = 5 ] || wz_fail "[$tag] the install did not reach the finished page (page $page)"
    wz_shot "locale-$tag-finished"
    wz_dump | grep -v '^\(window\|pid\|frame\)' >"$LC_DIR/$tag-page5.txt"
    # Neither the program nor the folder opened at the end: clear both boxes, then 完成.
    wz_click 216 256
    wz_click 216 284
    wz_cancel
    wz_wait_exit 20 || wz_fail "[$tag] 完成 did not end the program"

    lc_check_install "$tag"
    wz_stop
}

lc_check_install() {  # tag
    local tag=$1 target="$WZ_DRIVE_C/Apps/ZK" names got
    # The GBK-named file under its Unicode name, byte for byte; no other (mangled) name.
    names=$(cd "$target" 2>/dev/null && ls -1 | LC_ALL=C sort | tr '\n' ' ')
    echo "[$tag] target folder: $names"
    [ -f "$target/$LC_URL_NAME" ] || wz_fail "[$tag] no $LC_URL_NAME in the target folder: $names"
    cmp -s "$target/$LC_URL_NAME" "examples/zenta-kov/files/$LC_URL_NAME" ||
        wz_fail "[$tag] $LC_URL_NAME differs from the packed file"
    [ "$names" = "$(printf '%s\n' Uninstall.exe ZENTA-KOV.exe Z_ta.cx license.txt readme.txt "$LC_URL_NAME" |
        LC_ALL=C sort | tr '\n' ' ')" ] || wz_fail "[$tag] unexpected names in the target folder: $names"

    # Registry strings read back through the W functions as the right text and length
    # (REG_SZ sizes count UTF-16 units and the terminator).
    lc_expect_reg "$tag" 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\ZENTA-KOV' DisplayName 'ZENTA-KOV'
    lc_expect_reg "$tag" 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\ZENTA-KOV' UninstallString \
        '"C:\\Apps\\ZK\\uninstall.exe"'
    lc_expect_reg "$tag" 'HKLM\Software\ZENTA\ZENTA-KOV' "$LC_REG_NAME" "$LC_REG_TEXT"
    lc_expect_reg "$tag" "$LC_CU_KEY" "$LC_CU_NAME" "$LC_CU_TEXT"
    lc_expect_reg "$tag" 'HKLM\Software\ZENTA\ZENTA-KOV' Folder 'C:\\Apps\\ZK'
    lc_regget 'HKLM\Software\ZENTA\ZENTA-KOV' "$LC_REG_NAME" >"$LC_DIR/$tag-reg.txt"
    lc_regget "$LC_CU_KEY" "$LC_CU_NAME" >>"$LC_DIR/$tag-reg.txt"

    # The group's links under their Chinese names, pointing at the Unicode paths.
    local group
    group=$(lc_links | head -1)
    [ -n "$group" ] || wz_fail "[$tag] no ZENTA-KOV start-menu group"
    echo "[$tag] start-menu group: $(cd "$group" && ls -1 | LC_ALL=C sort | tr '\n' ' ')"
    lc_expect_link "$tag" "$group/卸载ZENTA-KOV.lnk" 'C:\\Apps\\ZK\\uninstall.exe'
    lc_expect_link "$tag" "$group/青岚护卫更新.lnk" "C:\\\\Apps\\\\ZK\\\\$LC_URL_NAME"
    lc_expect_link "$tag" "$group/使用说明.lnk" 'C:\\Apps\\ZK\\readme.txt'
}

lc_expect_reg() {  # tag key value text(as wintool escapes it)
    local got want
    got=$(lc_regget "$2" "$3")
    local plain=${4//\\\\/\\}
    want="REG_SZ	$(((${#plain} + 1) * 2))	$4"
    [ "$got" = "$want" ] || wz_fail "[$1] $2 $3 reads [$got], expected [$want]"
    echo "[$1] $2 $3 = $4"
}

lc_expect_link() {  # tag linux-path target(escaped)
    [ -f "$2" ] || wz_fail "[$1] no link $(basename "$2")"
    local path
    path=$(wz_tool lnk "$(lc_win_path "$2")" | awk -F'\t' '$1=="path" { print $2; exit }')
    # Wine answers with the long or the short form of the folder; both end in the file name.
    case "$path" in
        "$3" | *"${3##*\\\\}") ;;
        *) wz_fail "[$1] $(basename "$2") points at [$path], expected [$3]" ;;
    esac
    echo "[$1] link $(basename "$2") -> $path"
}

# Pixel difference of the wizard's client area between two screenshots (the frame is Wine's
# own and drawn with the locale's system font, so it is left out).
lc_client_diff() {  # a.png b.png
    local crop="${WZ_CLIENT_W}x${WZ_CLIENT_H}+${WZ_DX}+${WZ_DY}" name
    name=$(basename "$1" .png)
    convert "$1" -crop "$crop" +repage "$LC_DIR/client-a.png" &&
        convert "$2" -crop "$crop" +repage "$LC_DIR/client-b.png" || return 1
    # compare reports the count on stderr (exit 1 when the pictures differ at all).
    compare -metric AE "$LC_DIR/client-a.png" "$LC_DIR/client-b.png" "$LC_DIR/diff-$name.png" 2>&1 >/dev/null |
        awk '{ print int($1) }'
}

lc_use wineprefix-en "$LC_OTHER"
lc_walk "$LC_TAG"
[ "${LC_ACP:-}" != 936 ] || wz_fail "the $LC_OTHER prefix runs with code page 936"

lc_use wineprefix-zh zh_CN.UTF-8
lc_walk zh
[ "${LC_ACP:-}" = 936 ] || wz_fail "the zh_CN prefix runs with code page ${LC_ACP:-?}, not 936"

# Same control texts on every page looked at, same registry data.
for f in page0 page1 page5 reg; do
    diff -u "$LC_DIR/zh-$f.txt" "$LC_DIR/$LC_TAG-$f.txt" >&2 ||
        wz_fail "$f differs between the zh_CN and the $LC_OTHER prefix"
done
grep -q $'\t下一步$' "$LC_DIR/zh-page0.txt" ||
    wz_fail "no Chinese text in the wizard's controls"

# Same pixels: a replacement glyph ("?" or a box) anywhere in the page shows up here.
limit=200
cp_other=LC_CP_$LC_TAG
for shot in welcome finished; do
    ae=$(lc_client_diff "$WZ_SHOTS/locale-zh-$shot.png" "$WZ_SHOTS/locale-$LC_TAG-$shot.png")
    echo "$shot page: $ae pixels differ in the client area between zh_CN ($LC_CP_zh) and $LC_OTHER (${!cp_other})"
    [ -n "$ae" ] && [ "$ae" -le $limit ] || wz_fail "$shot page: ${ae:-?} pixels differ (limit $limit)"
done
echo "locale walk: ok"
