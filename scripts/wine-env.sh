# Source this file: it points Wine at the project's own prefix under $O and makes sure the
# prefix is initialised (once; later runs reuse it) with the font replacements the wizard needs.
: "${O:=out}"
mkdir -p "$O"
export WINEARCH=win64
# One prefix per architecture: neither can be turned into the other.
export WINEPREFIX="$(cd "$O" && pwd)/wineprefix-$WINEARCH"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
export LANG=C.UTF-8 LC_ALL=C.UTF-8
zs_top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

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
  if [ "$made" = "$recipe" ]; then zs_wine_fonts; return 0; fi
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
  echo "$recipe" > "$WINEPREFIX/.zs-ready"
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
