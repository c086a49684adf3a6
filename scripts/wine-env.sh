# Source this file: it picks the Windows build that runs under Wine and points Wine at the
# project's own prefix for it under $O, and makes sure the prefix is initialised (once; later
# runs reuse it) with the font replacements the wizard needs.
: "${O:=out}"
mkdir -p "$O"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
export LANG=C.UTF-8 LC_ALL=C.UTF-8
zs_top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# The shipped program is 32-bit. Where 32-bit Wine runs (wine32 installed, by
# scripts/bootstrap.sh, on a kernel that runs 32-bit x86 programs) the tests run that build in
# a 32-bit prefix; elsewhere they run the x86-64 build of the same sources under 64-bit Wine.
# ZS_WINE_BITS=64 asks for the 64-bit path anyway, so that both can be run on one machine.
# The choice is made once and exported: the scripts a run starts inherit it.
#   ZS_WINE_BITS   32 | 64
#   ZS_WIN_BUILD   the folder of its programs (wine_tests.exe, wintool.exe, ZENTA-KOV.exe ...)
#   ZS_WIN_OUT     the folder of its setup-stub.exe and example-setup.exe
zs_wine32_runs() { [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1; }
case "${ZS_WINE_BITS:-}" in
  "") if zs_wine32_runs; then ZS_WINE_BITS=32; else ZS_WINE_BITS=64 zs_why="32-bit Wine does not run on this machine"; fi ;;
  64) zs_why="ZS_WINE_BITS=64" ;;
  32) zs_wine32_runs || { echo "wine: ZS_WINE_BITS=32, but 32-bit Wine does not run here" >&2; return 1; } ;;
  *) echo "wine: ZS_WINE_BITS is 32 or 64, not '$ZS_WINE_BITS'" >&2; return 1 ;;
esac
export ZS_WINE_BITS
if [ "$ZS_WINE_BITS" = 64 ] && [ -z "${ZS_WINE_TOLD:-}" ]; then
  echo "wine: running the x86-64 build under 64-bit Wine, not the shipped 32-bit one ($zs_why)" >&2
  export ZS_WINE_TOLD=1
fi
if [ "$ZS_WINE_BITS" = 32 ]; then
  export WINEARCH=win32
  ZS_WIN_BUILD="$O/build-win" ZS_WIN_OUT="$O"
  # One registry view in a 32-bit prefix.
  ZS_REG_VIEW=()
else
  export WINEARCH=win64
  ZS_WIN_BUILD="$O/build-win64" ZS_WIN_OUT="$O/win64"
  # With 32-bit Wine installed, `wine reg` in a 64-bit prefix is the 32-bit reg.exe, which
  # sees HKLM\Software through Wow6432Node; the programs under test are 64-bit and do not.
  ZS_REG_VIEW=(/reg:64)
fi
# One prefix per architecture: neither can be turned into the other.
export WINEPREFIX="$(cd "$O" && pwd)/wineprefix-$WINEARCH"

# `wine reg` in the registry view of the programs under test.
zs_reg() { wine reg "$@" "${ZS_REG_VIEW[@]}"; }

# What a prefix is made with. A prefix made by another Wine, or before wine32 was installed or
# removed, is made anew: a 64-bit prefix from before wine32 lacks the 32-bit half that Wine
# then starts programs through ("could not load kernel32.dll").
zs_wine_recipe() {
  echo "arch=$WINEARCH wine=$(wine --version 2>/dev/null)" \
    "wine32=$([ -x /usr/lib/wine/wine ] && echo yes || echo no)"
}

zs_wine_init() {
  local recipe made
  recipe=$(zs_wine_recipe)
  made=$(cat "$WINEPREFIX/.zs-ready" 2>/dev/null || true)
  if [ "$made" = "$recipe" ]; then zs_wine_fonts; zs_wine_own_folders; return 0; fi
  if [ -n "$made" ] || [ -d "$WINEPREFIX" ]; then
    echo "wine: making prefix $WINEPREFIX anew (it was made with: ${made:-unknown}; now: $recipe)" >&2
    wineserver -k 2>/dev/null
    wineserver -w 2>/dev/null
  else
    echo "wine: creating prefix $WINEPREFIX" >&2
  fi
  rm -rf "$WINEPREFIX"
  zs_with_display wineboot -i >/dev/null 2>&1 || true
  wineserver -w
  # The wizard asks for 微软雅黑 and 宋体 by name; map them to the installed CJK font so that
  # screenshots show real glyphs. No crash dialogs: a crash must fail the test, not wait.
  local reg="$WINEPREFIX/zs-setup.reg"
  printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' \
    '[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]' \
    '"微软雅黑"="WenQuanYi Micro Hei"' '"宋体"="WenQuanYi Micro Hei"' \
    '"Microsoft YaHei"="WenQuanYi Micro Hei"' '"SimSun"="WenQuanYi Micro Hei"' \
    '"Arial"="WenQuanYi Micro Hei"' '' \
    '[HKEY_CURRENT_USER\Software\Wine\WineDbg]' '"ShowCrashDialog"=dword:00000000' '' \
    '[HKEY_CURRENT_USER\Software\Wine\X11 Driver]' '"Managed"="N"' '' \
    | iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } > "$reg"
  wine regedit /S "$(winepath -w "$reg" 2>/dev/null)" >/dev/null 2>&1
  wineserver -w
  zs_wine_fonts
  zs_wine_own_folders
  echo "$recipe" > "$WINEPREFIX/.zs-ready"
}

# Wine links the prefix's Desktop, Documents, Downloads ... to the host user's own folders
# (often the home folder itself): whatever a test installs there (a desktop shortcut) would
# land in the host's home. Each becomes a real folder inside the prefix, every time, since
# Wine may make the links again when it updates a prefix.
zs_wine_own_folders() {
  local link
  for link in "$WINEPREFIX"/drive_c/users/*/*; do
    [ -L "$link" ] || continue
    rm -f "$link" && mkdir -p "$link"
  done
}

# Wine draws the caption buttons (close box) with the Marlett font, which this Wine build only
# finds in the prefix's Fonts folder; without it the close box shows the letter "r".
zs_wine_fonts() {
  local fonts="$WINEPREFIX/drive_c/windows/Fonts"
  [ -d "$fonts" ] && [ -f /usr/share/wine/fonts/marlett.ttf ] && [ ! -f "$fonts/marlett.ttf" ] &&
    cp /usr/share/wine/fonts/marlett.ttf "$fonts/"
  return 0
}

# Runs a command with an X display: the caller's when it works, otherwise a private Xvfb.
zs_with_display() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then "$@"; return; fi
  xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$@"
}

# Points Wine at another prefix under $O (one per architecture, as the default), run in
# another locale: the locale tests install the same package in a Chinese and a non-Chinese
# prefix. Wine takes its code pages from the locale, at the prefix's creation and at every
# start. Call zs_wine_init afterwards, as for the default.
#   zs_wine_use wineprefix-zh zh_CN.UTF-8     # $O/wineprefix-zh-win32 (or -win64)
zs_wine_use() {  # folder-under-$O locale
  export WINEPREFIX="$(cd "$O" && pwd)/$1-$WINEARCH"
  export LANG="$2" LC_ALL="$2"
}
