# bench_lib.bash: what the benchmark scripts (scripts/bench-*.sh) share: the generated
# payloads, the Windows-side wizard probe, timing helpers, a peak-memory watch, one
# wizard-driven installation under Wine with real X input, and the floor under its writing.
#
# Times are wall-clock seconds from one clock: bash's $EPOCHREALTIME on the Linux side and
# GetSystemTimePreciseAsFileTime in the probe (Wine reads the same CLOCK_REALTIME).
set -uo pipefail

BL_TOP="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
: "${O:=out}"
O=$(cd "$BL_TOP" && mkdir -p "$O" && cd "$O" && pwd)
export O
BL_DIR="$O/bench"
# Client coordinates of the bottom-panel buttons' centres (Next and Agree share a place).
BL_NEXT=(486 466) BL_CANCEL=(590 466)
BL_CLIENT_W=642 BL_CLIENT_H=490
BL_REPEAT=${BENCH_REPEAT:-5}

bl_die() { echo "bench: $*" >&2; exit 1; }

# Sleeps without starting a process: the polling loops below run every few milliseconds
# beside the installer being measured, and a fork per round would take CPU from it on a
# small machine. The read waits on a pipe that nobody writes to, until its timeout.
exec {BL_NAP_FD}<> <(:)
bl_nap() { read -r -t "$1" -u "$BL_NAP_FD" _ || :; }

# Re-runs the calling script under a display (the caller's when it works, else Xvfb) and at
# a lower priority: the machine is shared, and every process measured (packagers, Wine,
# wineserver, cp) inherits the same priority, so the comparisons stay even.
bl_with_display() {
    if [ -z "${BL_IN_DISPLAY:-}" ]; then
        source "$BL_TOP/scripts/wine-env.sh"
        BL_IN_DISPLAY=1 zs_with_display nice -n 10 bash "$0" "$@"
        exit $?
    fi
}

bl_init() {
    cd "$BL_TOP" || exit 1
    source scripts/wine-env.sh
    mkdir -p "$BL_DIR"
    local f
    for f in "$O/pack-setup" "$ZS_WIN_OUT/setup-stub.exe"; do
        [ -f "$f" ] || bl_die "missing $f (make all)"
    done
    if [ ! -x "$O/build-host/bench_payload" ] || [ bench/bench_payload.cpp -nt "$O/build-host/bench_payload" ]; then
        cmake --build "$O/build-host" --target bench_payload -j2 >/dev/null || bl_die "cannot build bench_payload"
    fi
    # The probe and the floor program for the prefix's architecture, as the setups measured.
    local cxx=x86_64-w64-mingw32-g++-posix
    [ "$ZS_WINE_BITS" = 32 ] && cxx=i686-w64-mingw32-g++-win32
    mkdir -p "$BL_DIR/$WINEARCH"
    BL_PROBE="$BL_DIR/$WINEARCH/wizard_probe.exe"
    if [ ! -f "$BL_PROBE" ] || [ bench/win/wizard_probe.cpp -nt "$BL_PROBE" ]; then
        "$cxx" -std=c++20 -O2 -municode -static -o "$BL_PROBE" \
            bench/win/wizard_probe.cpp -lwinmm || bl_die "cannot build the wizard probe"
    fi
    BL_FLOOR_EXE="$BL_DIR/$WINEARCH/wine_floor.exe"
    if [ ! -f "$BL_FLOOR_EXE" ] || [ bench/win/wine_floor.cpp -nt "$BL_FLOOR_EXE" ]; then
        "$cxx" -std=c++20 -O2 -municode -mwindows -static -o "$BL_FLOOR_EXE" \
            bench/win/wine_floor.cpp || bl_die "cannot build the Wine floor program"
    fi
    # Large-address-aware: the 32-bit build holds the whole 1.2 GB payload before writing it
    # (an x86-64 program has the room anyway, and its linker refuses the option).
    local laa=()
    [ "$ZS_WINE_BITS" = 32 ] && laa=(-Wl,--large-address-aware)
    BL_WRITE_FLOOR_EXE="$BL_DIR/$WINEARCH/write_floor.exe"
    if [ ! -f "$BL_WRITE_FLOOR_EXE" ] || [ bench/win/write_floor.cpp -nt "$BL_WRITE_FLOOR_EXE" ]; then
        "$cxx" -std=c++20 -O2 -municode -static "${laa[@]}" -o "$BL_WRITE_FLOOR_EXE" \
            bench/win/write_floor.cpp || bl_die "cannot build the write floor program"
    fi
}

# Starts this prefix's wineserver for the whole run (so that no launch pays for starting
# it) and ends it when the script exits.
bl_wine_start() {
    zs_wine_init
    wineserver -p
    trap 'bl_wine_stop' EXIT
    # One launch to load Wine's own programs into the page cache before anything is timed.
    timeout 60 wine "$BL_PROBE" 'no such window' 0 >/dev/null 2>&1
}

bl_wine_stop() {
    [ -n "${BL_SETUP_PID:-}" ] && kill "$BL_SETUP_PID" 2>/dev/null
    [ -n "${BL_PROBE_PID:-}" ] && kill "$BL_PROBE_PID" 2>/dev/null
    wineserver -k 2>/dev/null
}

# The payload of one shape (example | big | huge), generated once: prints its folder.
bl_payload() {
    local dir="$BL_DIR/payload-$1"
    if [ ! -f "$dir/.done" ] || [ "$O/build-host/bench_payload" -nt "$dir/.done" ]; then
        rm -rf "$dir"
        "$O/build-host/bench_payload" "$dir" "$1" || bl_die "cannot generate the $1 payload"
        touch "$dir/.done"
    fi
    echo "$dir"
}

bl_payload_bytes() { awk -F'\t' '{ s += $3 } END { print s }' "$1/files.tsv"; }

bl_now() { echo "$EPOCHREALTIME"; }
bl_sub() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", a - b }'; }
bl_median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else printf "%.3f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
bl_ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }'; }
bl_size() { stat -c %s "$1"; }

# CPU time (user + system, seconds) a process has used so far, from /proc/PID/stat.
bl_cpu_of() {  # pid
    local line f
    { read -r line <"/proc/$1/stat"; } 2>/dev/null || return 1
    read -r -a f <<<"${line##*) }"  # fields from the state on: utime and stime are 12th and 13th
    awk -v u="${f[11]}" -v s="${f[12]}" -v hz="$(getconf CLK_TCK)" 'BEGIN { printf "%.2f", (u + s) / hz }'
}

# Peak resident memory (VmHWM, kB) and CPU time of a process, polled every 20 ms until it
# ends; the last values read are written to FILE as "kB seconds". Started in the background.
bl_hwm_watch() {  # pid file
    local pid=$1 file=$2 key value unit peak=0 line f ticks hz
    hz=$(getconf CLK_TCK)
    while [ -r "/proc/$pid/status" ]; do
        while read -r key value unit; do
            if [ "$key" = "VmHWM:" ]; then
                [ "$value" -gt "$peak" ] && peak=$value
                break
            fi
        done 2>/dev/null <"/proc/$pid/status"
        # (The process may end between two reads: the redirection's error is not news.)
        if { read -r line <"/proc/$pid/stat"; } 2>/dev/null; then
            read -r -a f <<<"${line##*) }"
            ticks=$((f[11] + f[12]))
            [ "$peak" -gt 0 ] && echo "$peak $ticks $hz" >"$file"
        fi
        bl_nap 0.02
    done
}

# Waits until the probe reports STATE (or a box, which fails the run; so does the end of the
# setup process BL_SETUP_PID); prints the probe's time stamp of that change.
bl_wait_state() {  # log state seconds
    local log=$1 want=$2 deadline lines last
    deadline=$(awk -v t="$EPOCHREALTIME" -v s="$3" 'BEGIN { printf "%d", t + s }')
    while :; do
        mapfile -t lines <"$log"
        if [ "${#lines[@]}" -gt 0 ]; then
            last=${lines[-1]%$'\r'}
            case "${last#*$'\t'}" in
                "$want") echo "${last%%$'\t'*}"; return 0 ;;
                box*) echo "bench: the setup showed a message box (${last#*$'\t'}) waiting for $want" >&2; return 1 ;;
            esac
        fi
        [ "${EPOCHREALTIME%.*}" -ge "$deadline" ] && { echo "bench: timed out waiting for $want (last: ${last:-nothing})" >&2; return 1; }
        if [ -n "${BL_SETUP_PID:-}" ] && ! kill -0 "$BL_SETUP_PID" 2>/dev/null; then
            echo "bench: the setup ended while waiting for $want (last: ${last:-nothing})" >&2
            return 1
        fi
        bl_nap 0.01
    done
}

# Starts the probe for a window title and waits until it runs.
bl_probe_start() {  # title log
    : >"$2"
    wine "$BL_PROBE" "$1" 900 >"$2" 2>/dev/null &
    BL_PROBE_PID=$!
    bl_wait_state "$2" none 60 >/dev/null || bl_die "the wizard probe did not start"
}

bl_probe_stop() {
    [ -n "${BL_PROBE_PID:-}" ] || return 0
    for _ in $(seq 100); do kill -0 "$BL_PROBE_PID" 2>/dev/null || break; sleep 0.1; done
    kill "$BL_PROBE_PID" 2>/dev/null
    wait "$BL_PROBE_PID" 2>/dev/null
    BL_PROBE_PID=
}

bl_setup_stop() {
    [ -n "${BL_SETUP_PID:-}" ] || return 0
    kill "$BL_SETUP_PID" 2>/dev/null
    wait "$BL_SETUP_PID" 2>/dev/null
    BL_SETUP_PID=
}

# Moves the pointer onto a client point of the wizard window, lets the button see it, then
# presses; prints the time of the press.
bl_press() {  # xwin x y
    xdotool mousemove --window "$1" $(($2 + BL_DX)) $(($3 + BL_DY))
    sleep 0.1
    local t=$EPOCHREALTIME
    xdotool click 1
    echo "$t"
}

# One installation through the wizard: launch, Next, Agree, Next (default folder), Next on
# the summary page, finish page. Sets BL_FIRST (launch to the welcome page shown), BL_INSTALL
# (Next on the summary page to the finish page shown), BL_TOTAL (launch to the finish page),
# BL_PROGRAM (the part of BL_TOTAL spent by the program: launch to welcome page plus each
# press to the next page shown), BL_INPUT (the rest: the driver noticing pages and moving the
# pointer), BL_HWM_KB (peak resident memory of the setup process) and BL_CPU (its CPU time,
# user and system, from launch to the finish page; BL_INSTALL_CPU: from the press of Next on
# the summary page).
bl_wizard_run() {  # setup.exe product-name
    local exe=$1 product=$2 title="$2安装向导" log="$BL_DIR/probe.log" hwm="$BL_DIR/hwm"
    local t0 t_page0 t_press t_page program xwin geo w h cpu_summary=0
    rm -f "$hwm"
    bl_probe_start "$title" "$log"
    t0=$(bl_now)
    wine "$exe" >/dev/null 2>&1 &
    BL_SETUP_PID=$!
    bl_hwm_watch "$BL_SETUP_PID" "$hwm" &
    t_page0=$(bl_wait_state "$log" "page 0" 300) || return 1
    program=$(bl_sub "$t_page0" "$t0")
    BL_FIRST=$program
    xwin=$(xdotool search --onlyvisible --name "^$title\$" 2>/dev/null | head -1)
    [ -n "$xwin" ] || { echo "bench: no X window for $title" >&2; return 1; }
    geo=$(xwininfo -id "$xwin")
    w=$(awk '/Width:/{ print $2 }' <<<"$geo")
    h=$(awk '/Height:/{ print $2 }' <<<"$geo")
    BL_DX=$(((w - BL_CLIENT_W) / 2))
    BL_DY=$((h - BL_CLIENT_H - BL_DX))
    local step want
    for step in "page 1" "page 2" "page 3" "page 5"; do
        [ "$step" = "page 5" ] && cpu_summary=$(bl_cpu_of "$BL_SETUP_PID")
        t_press=$(bl_press "$xwin" "${BL_NEXT[@]}")
        t_page=$(bl_wait_state "$log" "$step" 900) || { import -window root "$BL_DIR/failed.png" 2>/dev/null; return 1; }
        program=$(awk -v p="$program" -v a="$t_page" -v b="$t_press" 'BEGIN { printf "%.3f", p + a - b }')
        [ "$step" = "page 5" ] && BL_INSTALL=$(bl_sub "$t_page" "$t_press")
    done
    BL_TOTAL=$(bl_sub "$t_page" "$t0")
    BL_PROGRAM=$program
    BL_INPUT=$(bl_sub "$BL_TOTAL" "$BL_PROGRAM")
    [ "${BL_SHOT:-}" ] && import -window "$xwin" "$BL_SHOT" 2>/dev/null
    BL_HWM_KB=$(grep VmHWM "/proc/$BL_SETUP_PID/status" 2>/dev/null | awk '{ print $2 }')
    BL_CPU=$(bl_cpu_of "$BL_SETUP_PID")
    BL_INSTALL_CPU=$(bl_sub "$BL_CPU" "$cpu_summary")
    [ -n "$BL_HWM_KB" ] || BL_HWM_KB=$(cut -d' ' -f1 "$hwm" 2>/dev/null)
    bl_setup_stop
    bl_probe_stop
    return 0
}

# Launch to the first page shown, for a setup that waits on that page (killed after).
bl_first_page() {  # title exe args...
    local title=$1 log="$BL_DIR/probe.log" t0 t1
    shift
    bl_probe_start "$title" "$log"
    t0=$(bl_now)
    wine "$@" >/dev/null 2>&1 &
    BL_SETUP_PID=$!
    # (NSIS checks its whole file before its first page: minutes for a GB on a slow machine.)
    t1=$(bl_wait_state "$log" "page ?" 600) || { bl_setup_stop; bl_probe_stop; return 1; }
    bl_setup_stop
    bl_probe_stop
    bl_sub "$t1" "$t0"
}

# Removes what an installation left: the product's keys (both registry views of a 64-bit
# prefix; `wine reg` alone is the 32-bit one there when 32-bit Wine is installed) and folder.
bl_clean() {  # company-key product folder-under-drive_c
    local k view views=(/reg:64 /reg:32)
    [ "$WINEARCH" = win32 ] && views=("")
    for k in "HKLM\\Software\\$1" "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$2"; do
        for view in "${views[@]}"; do
            wine reg delete "$k" /f $view >/dev/null 2>&1
        done
    done
    rm -rf "$WINEPREFIX/drive_c/$3"
}

# Peak resident memory (MB) of the smallest windowed program under Wine: the floor under every
# installer's figure.
bl_wine_floor() {
    local hwm="$BL_DIR/hwm-floor" pid kb ticks hz
    rm -f "$hwm"
    wine "$BL_FLOOR_EXE" >/dev/null 2>&1 &
    pid=$!
    bl_hwm_watch "$pid" "$hwm" &
    local watch=$!
    wait "$pid"
    wait "$watch" 2>/dev/null
    read -r kb ticks hz <"$hwm" || return 1
    awk -v k="$kb" 'BEGIN { printf "%.1f", k / 1024 }'
}

# Checks that every file of the payload arrived intact under a folder.
bl_verify() {  # payload-dir installed-dir
    local stored rel size
    while IFS=$'\t' read -r stored rel size; do
        cmp -s "$1/files/$rel" "$2/$rel" || { echo "bench: $2/$rel differs from the payload" >&2; return 1; }
    done <"$1/files.tsv"
}

# The floor under the install step: bench/win/write_floor.exe reads a payload's files into
# memory, then writes them into a fresh folder under the same Wine; prints the seconds the
# writing took. The folder is checked against the payload and removed.
bl_write_floor() {  # payload-dir
    local dest="$WINEPREFIX/drive_c/WriteFloor" t
    rm -rf "$dest"
    t=$(wine "$BL_WRITE_FLOOR_EXE" "Z:${1//\//\\}\\files.tsv" "Z:${1//\//\\}\\files" 'C:\WriteFloor' 2>"$BL_DIR/write_floor.err") ||
        { echo "bench: write_floor failed: $(tail -1 "$BL_DIR/write_floor.err")" >&2; rm -rf "$dest"; return 1; }
    bl_verify "$1" "$dest" || { rm -rf "$dest"; return 1; }
    rm -rf "$dest"
    echo "${t%$'\r'}"
}
