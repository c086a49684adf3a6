#!/usr/bin/env bash
# End to end: the licence page's link with the real pointer. Gray at rest, orange under the
# pointer, gray again when it leaves; a click hands the licence address to the shell, seen
# through a stand-in browser registered for http and https in the Wine prefix.
source "$(dirname "$0")/wizard_lib.bash"
wz_init
wz_with_display "$@"
wz_clean

HANDLER="$ZS_WIN_BUILD/skin_url_handler.exe"
[ -f "$HANDLER" ] || { echo "SKIP: no $HANDLER (make win)" >&2; exit 0; }
LOG="$O/wizard_links_url.log"
SAVED="$O/wizard_links_saved"
rm -f "$LOG"
export SKIN_URL_LOG
SKIN_URL_LOG=$(winepath -w "$LOG")

# The stand-in browser for both protocols; whatever was registered comes back at the end.
mkdir -p "$SAVED"
saved=()
for proto in http https; do
    rm -f "$SAVED/$proto.reg"
    zs_reg export "HKCR\\$proto" "$(winepath -w "$SAVED/$proto.reg")" /y >/dev/null 2>&1 && saved+=("$proto")
done
restore() {
    for proto in http https; do
        zs_reg delete "HKCR\\$proto" /f >/dev/null 2>&1
    done
    for proto in "${saved[@]}"; do
        zs_reg import "$(winepath -w "$SAVED/$proto.reg")" >/dev/null 2>&1
    done
}
trap restore EXIT
command="\"$(winepath -w "$HANDLER")\" \"%1\""
for proto in http https; do
    zs_reg add "HKCR\\$proto\\shell\\open\\command" /ve /d "$command" /f >/dev/null 2>&1 ||
        wz_fail "could not register the stand-in browser for $proto"
done

# The link's area on the licence page (client coordinates), a little wider than the label.
LINK_X=269 LINK_Y=396 LINK_W=120 LINK_H=22
count() {  # shot colour -> pixels of exactly that colour in the link's area
    convert "$WZ_SHOTS/$1.png" -crop "${LINK_W}x${LINK_H}+$((LINK_X + WZ_DX))+$((LINK_Y + WZ_DY))" +repage txt:- |
        grep -ci "$2" || true
}
wz_move() { xdotool mousemove --window "$WZ_WIN" $(($1 + WZ_DX)) $(($2 + WZ_DY)); sleep 0.6; }
ORANGE='#FF9900' GRAY='#808080'

wz_start
wz_move 100 200
wz_next
wz_expect_page 1 "Next"
wz_move 100 200
wz_shot links-rest
[ "$(count links-rest $ORANGE)" -eq 0 ] || wz_fail "link orange before the pointer came"
[ "$(count links-rest $GRAY)" -gt 20 ] || wz_fail "link not gray at rest ($(count links-rest $GRAY) gray pixels)"
wz_move 300 406
wz_shot links-hover
[ "$(count links-hover $ORANGE)" -gt 20 ] || wz_fail "link not orange under the pointer"
wz_move 100 200
wz_shot links-left
[ "$(count links-left $ORANGE)" -eq 0 ] || wz_fail "link still orange after the pointer left"
[ "$(count links-left $GRAY)" -gt 20 ] || wz_fail "link not gray after the pointer left"

wz_click 300 406 0.3
for _ in $(seq 50); do [ -s "$LOG" ] && break; sleep 0.2; done
[ -s "$LOG" ] || wz_fail "the click started no browser"
grep -q 'https://www.zenta.example/license.html' "$LOG" || wz_fail "the browser got [$(cat "$LOG")]"
wz_expect_page 1 "after the link's click"
wz_stop
restore
trap - EXIT
rm -f "$LOG"
echo "wizard links: ok"
