# wizard_lib.bash: drives the wizard of a packaged setup under Wine with real X input.
# Sourced by the wizard_*.sh end-to-end tests and by scripts/demo.sh.
#
#   wz_init               Wine prefix, display, screenshot folder, the setup to run ($WZ_EXE)
#   wz_clean              removes what earlier runs left (product keys, target folders)
#   wz_start              starts the setup and waits for the wizard window ($WZ_WIN)
#   wz_attach MSG         waits for the wizard window after a start-up question
#   wz_click X Y          a left click at client coordinates of the wizard window
#   wz_next / wz_back / wz_cancel / wz_agree / wz_browse   the buttons
#   wz_type TEXT          replaces the folder box's text by typing
#   wz_shot NAME          screenshot of the wizard window into $WZ_SHOTS/NAME.png
#   wz_wait_window REGEX  waits for a top-level window whose title matches; prints its id
#   wz_answer REGEX KEY   waits for a box with that title and answers it with a key
#   wz_wait_exit          waits until the setup process has ended
#   wz_pixel FILE X Y     colour of a pixel in a screenshot (client coordinates)
#   wz_tool ARGS...       the Windows-side driver (wintool): dumps, registry values, waits
#   wz_reg ARGS...        `wine reg` in the view the setup writes to
#   wz_page               the active page (0-5), read from the window's controls
#   wz_button CAPTION     "visible enabled" of a bottom-panel button
#   wz_folder_text        the folder box's text
#   wz_box_text REGEX     the text of an open box (escaped: \r \n)
#   wz_expect_box REGEX TEXT KEY   checks a box's text, then answers it with a key
#   wz_fail MSG           reports and exits 1
set -uo pipefail

WZ_TOP="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
: "${O:=out}"
export O
# The product of the example package.
WZ_TITLE='^ZENTA-KOV安装向导$'
WZ_KEY='HKLM\Software\ZENTA'
WZ_CLIENT_W=642
WZ_CLIENT_H=490

wz_fail() { echo "FAIL: $*" >&2; wz_stop; exit 1; }
wz_log() { echo "  $*"; }

wz_init() {
    cd "$WZ_TOP" || exit 1
    source scripts/wine-env.sh
    zs_wine_init
    WZ_EXE="${WZ_EXE:-$ZS_WIN_OUT/example-setup.exe}"
    # The stub and the programs the example package is made of, for tests that make packages.
    WZ_STUB="$ZS_WIN_OUT/setup-stub.exe"
    WZ_PROGRAMS="$ZS_WIN_BUILD"
    # Tests skip without a package (the example is built by `make example`); the demo
    # (WZ_REQUIRE=1) fails instead.
    if [ ! -f "$WZ_EXE" ]; then
        echo "$([ -n "${WZ_REQUIRE:-}" ] && echo ERROR || echo SKIP): no packaged setup at $WZ_EXE (make example)" >&2
        exit "${WZ_REQUIRE:-0}"
    fi
    WZ_SHOTS="${WZ_SHOTS:-$O/screenshots}"
    mkdir -p "$WZ_SHOTS"
    WZ_DRIVE_C="$WINEPREFIX/drive_c"
    WZ_TOOL="$ZS_WIN_BUILD/wintool.exe"
    [ -f "$WZ_TOOL" ] || { echo "SKIP: no $WZ_TOOL (make win)" >&2; exit "${WZ_REQUIRE:-0}"; }
}

wz_reg() { zs_reg "$@" >/dev/null 2>&1; }

wz_tool() { wine "$WZ_TOOL" "$@" 2>/dev/null | tr -d '\r'; }

# Children of the wizard window as wintool dumps them: child, class, id, visible, enabled,
# left top right bottom, text (tab-separated).
wz_dump() { wz_tool dump 'ZENTA-KOV安装向导'; }

# The page control's six pages are the containers at the page rectangle, in page order.
wz_page() {
    wz_dump | awk -F'\t' '$1=="child" && $2=="ZsContainer" && $6=="5 68 637 437" {
        if ($4=="1") { print n+0; found=1; exit } n++ } END { if (!found) print "none" }'
}

wz_button() {  # caption -> "visible enabled"
    wz_dump | awk -F'\t' -v c="$1" '$1=="child" && $2=="THSButton" && $7==c { print $4, $5; exit }'
}

# wintool escapes "\" as "\\": undone here.
wz_folder_text() { wz_dump | awk -F'\t' '$1=="child" && $2=="Edit" { gsub(/\\\\/, "\\", $7); print $7; exit }'; }

wz_box_text() { wz_tool dump "$1" | awk -F'\t' '$1=="message" { print $2; exit }'; }

# The page is read again for a few seconds before the check fails: a page change (or the
# window coming back after a message box) may still be on its way when the input was sent.
wz_expect_page() {  # page what
    local p i
    for i in $(seq 25); do
        p=$(wz_page)
        [ "$p" = "$1" ] && return 0
        sleep 0.2
    done
    wz_fail "$2: on page $p, expected $1"
}

wz_expect_box() {  # title text key
    local box text
    box=$(wz_wait_window "^$1\$" 20) || wz_fail "no box titled '$1'"
    text=$(wz_tool dump "$1" | awk -F'\t' '$1=="message" { print $2; exit }')
    [ "$text" = "$2" ] || wz_fail "box '$1' says [$text], expected [$2]"
    wz_answer "^$1\$" "$3"
}

# Re-runs the calling script under a display (the caller's when it works, else Xvfb).
wz_with_display() {
    if [ -z "${WZ_IN_DISPLAY:-}" ]; then
        WZ_IN_DISPLAY=1 zs_with_display bash ${WZ_TRACE:+-x} "$0" "$@"
        exit $?
    fi
}

wz_clean() {
    zs_reg delete "$WZ_KEY" /f >/dev/null 2>&1
    zs_reg delete 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\ZENTA-KOV' /f >/dev/null 2>&1
    rm -rf "$WZ_DRIVE_C/ZENTA-KOV" "$WZ_DRIVE_C/Apps" "$WZ_DRIVE_C/Program Files/ZENTA-KOV"
}

wz_wait_window() {  # regex [seconds]
    local regex=$1 limit=${2:-30} id
    for _ in $(seq $((limit * 5))); do
        id=$(xdotool search --onlyvisible --name "$regex" 2>/dev/null | head -1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.2
    done
    return 1
}

wz_window_gone() {  # id [seconds]
    for _ in $(seq $((${2:-10} * 5))); do
        xdotool getwindowname "$1" >/dev/null 2>&1 || return 0
        xwininfo -id "$1" 2>/dev/null | grep -q "IsViewable" || return 0
        sleep 0.2
    done
    return 1
}

# Starts a setup without waiting for anything (it may open a box before, or instead of, its
# window); wz_stop ends it.
wz_launch() {  # exe
    WINEDEBUG=${WZ_WINEDEBUG:--all} wine "$1" >/dev/null 2>${WZ_STDERR:-/dev/null} &
    WZ_PID=$!
}

wz_start() {
    wz_launch "$WZ_EXE"
    wz_attach "the wizard window did not open"
}

# Waits for the wizard window of the launched setup (after its start-up questions, if any)
# and measures it.
wz_attach() {  # failure-message
    WZ_WIN=$(wz_wait_window "$WZ_TITLE" 60) || wz_fail "$1"
    wz_measure
    sleep 0.5
}

# The X window holds the frame Wine draws itself: the client area sits inside it.
wz_measure() {
    local geo w h
    geo=$(xwininfo -id "$WZ_WIN")
    w=$(awk '/Width:/{print $2}' <<<"$geo")
    h=$(awk '/Height:/{print $2}' <<<"$geo")
    WZ_DX=$(((w - WZ_CLIENT_W) / 2))
    WZ_DY=$((h - WZ_CLIENT_H - WZ_DX))
    WZ_OUTER_W=$w WZ_OUTER_H=$h
}

wz_click() {
    xdotool mousemove --window "$WZ_WIN" $(($1 + WZ_DX)) $(($2 + WZ_DY))
    sleep 0.1
    xdotool click 1
    sleep "${3:-0.6}"
}

# Buttons of the bottom panel (client coordinates of their centres).
wz_back() { wz_click 382 466; }
wz_next() { wz_click 486 466; }
wz_agree() { wz_click 486 466; }
wz_cancel() { wz_click 590 466; }
wz_browse() { wz_click 586 285; }
WZ_FOLDER_X=281 WZ_FOLDER_Y=283

# The close box of the frame Wine draws: right end of the caption bar.
wz_close_box() {
    xdotool mousemove --window "$WZ_WIN" $((WZ_OUTER_W - 14)) $(((WZ_DY + 2) / 2))
    sleep 0.1
    xdotool click 1
    sleep 0.6
}

# The question of Cancel and of the close box, as wintool shows it (escaped).
WZ_QUIT_TEXT='安装程序还没有完成,如果您现在关闭安装程序，程序将退出安装，\r您也可以稍后运行安装程序来完成安装。\r\n要继续安装，请单击“No”按钮；要退出安装，请单击“Yes”按钮。'

wz_type() {
    wz_click $WZ_FOLDER_X $WZ_FOLDER_Y 0.3
    xdotool key --clearmodifiers ctrl+a BackSpace
    xdotool type --delay 30 "$1"
    sleep 0.3
}

# The screen at the wizard window's place, so boxes over it are in the picture too.
wz_shot() {
    sleep 0.3
    local geo x y
    geo=$(xwininfo -id "$WZ_WIN" 2>/dev/null)
    x=$(awk '/Absolute upper-left X:/{print $4}' <<<"$geo")
    y=$(awk '/Absolute upper-left Y:/{print $4}' <<<"$geo")
    import -window root -crop "${WZ_OUTER_W}x${WZ_OUTER_H}+${x:-0}+${y:-0}" +repage "$WZ_SHOTS/$1.png" 2>/dev/null ||
        wz_fail "screenshot $1"
}

wz_answer() {  # title-regex key
    local box
    box=$(wz_wait_window "$1" 20) || wz_fail "no box titled '$1'"
    # Real key events (XTEST) to the focused box: keys sent to a window with XSendEvent lose
    # their release when the box closes on the press, and Wine then repeats the key forever.
    xdotool windowfocus --sync "$box" 2>/dev/null
    sleep 0.3
    xdotool key "$2"
    wz_window_gone "$box" 10 || wz_fail "box '$1' did not close on $2"
    sleep 1.5
}

wz_wait_exit() {
    for _ in $(seq $((${1:-20} * 5))); do
        kill -0 "$WZ_PID" 2>/dev/null || return 0
        sleep 0.2
    done
    return 1
}

wz_stop() {
    [ -n "${WZ_PID:-}" ] && kill "$WZ_PID" 2>/dev/null
    wineserver -k 2>/dev/null
    WZ_PID=
}

wz_pixel() {  # file x y -> "srgb(r,g,b)"
    convert "$1" -format "%[pixel:p{$(($2 + WZ_DX)),$(($3 + WZ_DY))}]" info: 2>/dev/null
}
