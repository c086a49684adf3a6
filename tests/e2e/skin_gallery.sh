#!/usr/bin/env bash
# The skinned controls with real input: shows the gallery under Wine, saves screenshots
# ($O/skin_gallery.png, $O/skin_gallery_hover.png) and checks with the real pointer that the
# browse button shows its mouse-over picture and the site link turns orange under the pointer.
set -euo pipefail
cd "$(dirname "$0")/../.."
: "${O:=out}"
export O
source scripts/wine-env.sh
zs_wine_init
exe="$O/build-win64/skin_gallery.exe"
[ -f "$exe" ] || { echo "missing $exe (make win)"; exit 1; }
out="$(cd "$O" && pwd)"

run() {
  set -euo pipefail
  local info="$out/skin_gallery.info"
  rm -f "$info"
  SKIN_GALLERY_INFO="$(winepath -w "$info")" wine "$exe" &
  gallery_pid=$!
  trap 'kill "$gallery_pid" 2>/dev/null || true; wineserver -k 2>/dev/null || true' EXIT
  for _ in $(seq 60); do [ -s "$info" ] && break; sleep 0.5; done
  [ -s "$info" ] || { echo "the gallery did not come up"; return 1; }
  sleep 1.5
  import -window root "$out/skin_gallery.png"

  # count_orange name: pixels of orange (255,153,0) inside that control on the last screenshot
  count_orange() {
    read -r _ x y w h < <(grep "^$1 " "$info")
    convert "$2" -crop "${w}x${h}+${x}+${y}" txt:- | grep -ci '#FF9900' || true
  }
  center() { read -r _ x y w h < <(grep "^$1 " "$info"); echo "$((x + w / 2)) $((y + h / 2))"; }

  local before_browse before_site
  before_browse=$(count_orange browse "$out/skin_gallery.png")
  before_site=$(count_orange site "$out/skin_gallery.png")
  xdotool mousemove $(center browse)
  sleep 1
  import -window root "$out/skin_gallery_hover.png"
  local hover_browse; hover_browse=$(count_orange browse "$out/skin_gallery_hover.png")
  xdotool mousemove $(center site)
  sleep 1
  import -window root "$out/skin_gallery_site.png"
  local hover_site after_browse
  hover_site=$(count_orange site "$out/skin_gallery_site.png")
  after_browse=$(count_orange browse "$out/skin_gallery_site.png")
  echo "orange pixels: browse $before_browse -> $hover_browse -> $after_browse; site $before_site -> $hover_site"
  [ "$before_browse" -eq 0 ] && [ "$hover_browse" -gt 20 ] && [ "$after_browse" -eq 0 ] &&
    [ "$before_site" -eq 0 ] && [ "$hover_site" -gt 10 ]
}
if [ "${1:-}" = --inside ]; then run; else zs_with_display bash "$0" --inside; fi
