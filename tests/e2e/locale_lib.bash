# locale_lib.bash: installs a packaged setup in Wine prefixes of different locales, so the
# locale tests can show that the program's GBK texts reach Windows as the same Unicode text
# whatever the machine's ANSI code page. Sourced by the locale_*.sh end-to-end tests, after
# wizard_lib.bash (whose wizard driving functions it reuses).
#
#   lc_locale NAME        makes sure a Linux locale (zh_CN.UTF-8) exists, generating it if needed
#   lc_init               like wz_init, without touching the project's default prefix
#   lc_package            builds $LC_EXE: the example with Chinese registry values and links
#   lc_use FOLDER LOCALE  Wine prefix $O/FOLDER run in LOCALE (created on first use)
#   lc_codepages          "ACP OEMCP LCID" of the running prefix, as Wine set them at start-up
#   lc_clean              removes what an earlier install left in the current prefix
#   lc_regget KEY VALUE   wintool regget, "type<TAB>size<TAB>data"
#   lc_win_path PATH      the Windows path of a file of the prefix
source "$(dirname "${BASH_SOURCE[0]}")/wizard_lib.bash"

# Wine takes the code pages from the Linux locale, so a locale missing from the machine would
# silently fall back to C and the "Chinese" prefix would not be one.
lc_locale() {  # name, e.g. zh_CN.UTF-8
    local want=$1 norm
    norm=$(tr 'A-Z' 'a-z' <<<"$want" | sed 's/utf-8$/utf8/')
    locale -a 2>/dev/null | tr 'A-Z' 'a-z' | grep -qx "$norm" && return 0
    [ -d /usr/share/i18n/locales ] && command -v localedef >/dev/null || return 1
    echo "  generating the $want locale" >&2
    if [ "$(id -u)" = 0 ]; then
        localedef -i "${want%%.*}" -f UTF-8 "$want" >/dev/null 2>&1
    else
        sudo -n localedef -i "${want%%.*}" -f UTF-8 "$want" >/dev/null 2>&1
    fi
    locale -a 2>/dev/null | tr 'A-Z' 'a-z' | grep -qx "$norm"
}

lc_init() {
    cd "$WZ_TOP" || exit 1
    source scripts/wine-env.sh
    WZ_SHOTS="$O/screenshots"
    WZ_TOOL="$ZS_WIN_BUILD/wintool.exe"
    LC_DIR="$O/locale"
    mkdir -p "$WZ_SHOTS" "$LC_DIR"
    local f
    for f in "$O/pack-setup" "$ZS_WIN_OUT/setup-stub.exe" "$ZS_WIN_BUILD/ZENTA-KOV.exe" \
        "$ZS_WIN_BUILD/Uninstall.exe" "$WZ_TOOL"; do
        [ -f "$f" ] || { echo "SKIP: $f is missing (make all)" >&2; exit 0; }
    done
}

# The example product with what it lacks for this test: registry values whose key, name and
# data are Chinese, and group links with Chinese names, one to the Chinese-named file.
LC_REG_NAME='产品名称'
LC_REG_TEXT='青岚护卫：轻巧的系统守护工具'
LC_CU_KEY='HKCU\Software\ZENTA\青岚护卫'
LC_CU_NAME='说明'
LC_CU_TEXT='监视系统中运行的程序（第29版）'
LC_URL_NAME='青岚护卫更新.url'

lc_package() {
    local pkg="$LC_DIR/package"
    rm -rf "$pkg" && cp -r examples/zenta-kov "$pkg" || wz_fail "copying the example"
    cat >>"$pkg/manifest.toml" <<EOF

[[shortcut]]
link = "青岚护卫更新"
file = '\\$LC_URL_NAME'
place = "group"

[[shortcut]]
link = "使用说明"
file = '\\readme.txt'
place = "group"

[[registry]]
root = "HKLM"
key = 'Software\\ZENTA\\ZENTA-KOV'
name = "$LC_REG_NAME"
value = "$LC_REG_TEXT"

[[registry]]
root = "HKCU"
key = '${LC_CU_KEY#HKCU\\}'
name = "$LC_CU_NAME"
value = "$LC_CU_TEXT"
EOF
    LC_EXE="$LC_DIR/locale-setup.exe"
    "$O/pack-setup" build "$pkg/manifest.toml" --define BUILD="$(cd "$ZS_WIN_BUILD" && pwd)" \
        --stub "$ZS_WIN_OUT/setup-stub.exe" -o "$LC_EXE" >"$LC_DIR/pack.log" 2>&1 ||
        wz_fail "pack-setup: $(cat "$LC_DIR/pack.log")"
    WZ_EXE=$LC_EXE
}

lc_use() {  # prefix-folder locale
    wineserver -k 2>/dev/null
    zs_wine_use "$1" "$2"
    zs_wine_init
    WZ_DRIVE_C="$WINEPREFIX/drive_c"
}

lc_regget() { wz_tool regget "$1" "$2"; }

lc_codepages() {
    local nls='HKLM\System\CurrentControlSet\Control\Nls\CodePage'
    echo "$(lc_regget "$nls" ACP | cut -f3) $(lc_regget "$nls" OEMCP | cut -f3)" \
        "$(lc_regget 'HKCU\Control Panel\International' Locale | cut -f3)"
}

lc_win_path() { winepath -w "$1" 2>/dev/null; }

# Start-menu group and desktop links live in the profile folders Wine gives the user.
lc_links() { find "$WZ_DRIVE_C" -path '*Start Menu/Programs/ZENTA-KOV' -type d 2>/dev/null; }

lc_clean() {
    zs_reg delete 'HKLM\Software\ZENTA' /f >/dev/null 2>&1
    zs_reg delete 'HKCU\Software\ZENTA' /f >/dev/null 2>&1
    zs_reg delete 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\ZENTA-KOV' /f >/dev/null 2>&1
    rm -rf "$WZ_DRIVE_C/ZENTA-KOV" "$WZ_DRIVE_C/Apps"
    local d
    while read -r d; do [ -n "$d" ] && rm -rf "$d"; done < <(lc_links)
    find "$WZ_DRIVE_C" -path '*Desktop/ZENTA-KOV.lnk' -delete 2>/dev/null
    return 0
}
