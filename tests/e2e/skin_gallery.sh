#!/usr/bin/env bash
# The skinned controls with real input: shows the gallery under Wine, saves screenshots
# ($O/skin_gallery*.png) and checks with the real pointer that the browse button shows its
# mouse-over picture (pixel for pixel) and the site link turns orange under the pointer.
set -euo pipefail
cd "$(dirname "$0")/../.."
: "${O:=out}"
export O
source scripts/wine-env.sh
zs_wine_init
exe="$ZS_WIN_BUILD/skin_gallery.exe"
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

  # shows shot picture: the browse button's top-left 24 x 21 pixels equal the picture's
  shows() {
    read -r _ x y w h < <(grep "^browse " "$info")
    local diff
    convert "$1" -crop "24x21+${x}+${y}" +repage "$out/skin_gallery_crop.png"
    diff=$(compare -metric AE "$out/skin_gallery_crop.png" "$2" null: 2>&1 || true)
    [ "$diff" = 0 ]
  }
  local normal=resources/wizard/browse.bmp hot=resources/wizard/browse-hot.bmp
  local before_site; before_site=$(count_orange site "$out/skin_gallery.png")
  shows "$out/skin_gallery.png" "$normal" || { echo "browse button: normal picture not shown"; return 1; }
  xdotool mousemove $(center browse)
  sleep 1
  import -window root "$out/skin_gallery_hover.png"
  shows "$out/skin_gallery_hover.png" "$hot" || { echo "browse button: mouse-over picture not shown"; return 1; }
  xdotool mousemove $(center site)
  sleep 1
  import -window root "$out/skin_gallery_site.png"
  shows "$out/skin_gallery_site.png" "$normal" || { echo "browse button: normal picture not back"; return 1; }
  local hover_site; hover_site=$(count_orange site "$out/skin_gallery_site.png")
  echo "site link orange pixels: $before_site -> $hover_site"
  [ "$before_site" -eq 0 ] && [ "$hover_site" -gt 10 ]
}
if [ "${1:-}" = --inside ]; then run; else zs_with_display bash "$0" --inside; fi
