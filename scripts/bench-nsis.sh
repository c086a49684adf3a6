#!/usr/bin/env bash
# This project against NSIS (Debian's nsis package: makensis, zlib compressor, not solid) on
# the same machine in the same run, for the generated payloads: the example's shape (five
# files, 1.6 MB), the big one (120 files, 200 MB, a third each executable-like, text and
# random) and, with BENCH_HUGE=1, a huge one (six files, 1.2 GB, half random, half text).
# Each figure is the median of BENCH_REPEAT runs (default 5), ours and NSIS's runs taking
# turns so that both see the same load. BENCH_SHAPES picks shapes ("example big huge").
#
# Both installers are built for the architecture that runs under Wine here (scripts/wine-env.sh):
# where 32-bit Wine runs, ours with the shipped i686 stub and NSIS with its x86-unicode stub in a
# 32-bit prefix; elsewhere ours with the x86-64 stub and NSIS with its amd64-unicode stub under
# 64-bit Wine. Packaging: pack-setup at its default zlib level 9, which is also the level
# NSIS's zlib compressor uses, so the codec and level are the same; NSIS compresses each file
# apart (not solid), ours the payload in 1 MB blocks. The huge payload is packaged once per
# side, ours at BENCH_HUGE_LEVEL (default 9; a lower level packs faster on a small machine and
# is named in its row).
#
# Rows:
#   packaging time        pack-setup build / makensis, wall time
#   setup.exe size        the installers that the install rows run
#   stub size             the program without any package: our setup-stub.exe against NSIS's
#                         zlib exehead, for i686 (shipped) and x86-64
#   first page            launch to the first wizard page shown (window visible, as the window
#                         manager reports it): our welcome page, NSIS's licence page (a run
#                         of its own, without /S)
#   first page + install  ours: launch to the welcome page plus the install step (the press of
#                         Next on the summary page to the finish page shown), the two parts
#                         a user waits through; NSIS: its silent install (/S /D=folder),
#                         launch to process end, which waits through both
#   install wall time     NSIS: the same silent install. Ours: the wizard driven with real
#                         input, launch to the finish page shown, less the time the driver
#                         spent noticing pages and moving the pointer (printed apart below)
#   install CPU time      user + system time of the setup's process over the same span (the
#                         machine is shared: this part does not grow with others' load);
#                         read at the finish page (ours) or polled every 20 ms (NSIS)
#   peak memory           VmHWM of the setup's Wine process (/proc/PID/status), read at the
#                         finish page (ours) or polled every 20 ms until it ends (NSIS)
#
# And against the floor, for each shape: our install step against bench/win/write_floor.exe,
# which holds the same files in memory and only writes them into a fresh folder under the same
# Wine (the least the step can cost there), and against `cp -r` of the files on Linux, with
# and without a sync after it (neither side asks for its data on disk).
set -uo pipefail
source "$(dirname "$0")/../bench/bench_lib.bash"
bl_with_display "$@"
bl_init
command -v makensis >/dev/null || bl_die "makensis is missing (scripts/bootstrap.sh installs nsis)"
nsis_stubs=/usr/share/nsis/Stubs
if [ "$ZS_WINE_BITS" = 32 ]; then nsis_target=x86-unicode arch_label=i686; else nsis_target=amd64-unicode arch_label=x86-64; fi
[ -f "$nsis_stubs/zlib-$nsis_target" ] || bl_die "no $nsis_target zlib stub in $nsis_stubs: NSIS installers could not run here"

declare -A R  # R[shape,row,side,run]
read -r -a shapes <<<"${BENCH_SHAPES:-example big}"
[ "${BENCH_HUGE:-}" = 1 ] && [[ " ${shapes[*]} " != *" huge "* ]] && shapes+=(huge)
declare -A PRODUCT=([example]=BenchEx [big]=Bench200 [huge]=BenchHuge)
HUGE_LEVEL=${BENCH_HUGE_LEVEL:-9}

pack_ours() {  # shape run
    local dir out=$BL_DIR/ours-$1.exe t0 t1 level=9
    [ "$1" = huge ] && level=$HUGE_LEVEL
    dir=$(bl_payload "$1")
    t0=$(bl_now)
    # The payloads ship no uninstaller: pack-setup's warning about it is not news here.
    "$O/pack-setup" build "$dir/manifest.toml" --stub "$ZS_WIN_OUT/setup-stub.exe" --level "$level" -o "$out" \
        >/dev/null 2>"$BL_DIR/pack.err" || { cat "$BL_DIR/pack.err" >&2; bl_die "pack-setup failed"; }
    t1=$(bl_now)
    R[$1,pack,ours,$2]=$(bl_sub "$t1" "$t0")
    R[$1,size,ours,$2]=$(bl_size "$out")
}

pack_nsis() {  # shape run
    local dir out=$BL_DIR/nsis-$1.exe nsi=$BL_DIR/nsis-$1.nsi t0 t1
    dir=$(bl_payload "$1")
    bench/nsis/make-script.sh "$dir" "Nsis${PRODUCT[$1]}" "$nsi" "$out" "$nsis_target"
    t0=$(bl_now)
    makensis -V1 "$nsi" >/dev/null || bl_die "makensis failed"
    t1=$(bl_now)
    R[$1,pack,nsis,$2]=$(bl_sub "$t1" "$t0")
    R[$1,size,nsis,$2]=$(bl_size "$out")
}

install_ours() {  # shape run
    local product=${PRODUCT[$1]}
    bl_clean ZSBench "$product" "$product"
    BL_INSTALL=
    bl_wizard_run "$BL_DIR/ours-$1.exe" "$product" 2>"$BL_DIR/wizard.err"
    if [ -z "${BL_INSTALL:-}" ]; then
        bl_setup_stop
        bl_probe_stop
        OURS_FAILED="$1: $(tail -1 "$BL_DIR/wizard.err")"
        return 1
    fi
    bl_verify "$(bl_payload "$1")" "$WINEPREFIX/drive_c/$product" || bl_die "our setup installed different files"
    R[$1,install,ours,$2]=$BL_PROGRAM
    R[$1,input,ours,$2]=$BL_INPUT
    R[$1,step,ours,$2]=$BL_INSTALL
    R[$1,firststep,ours,$2]=$(awk -v a="$BL_FIRST" -v b="$BL_INSTALL" 'BEGIN { printf "%.3f", a + b }')
    R[$1,hwm,ours,$2]=$(awk -v k="$BL_HWM_KB" 'BEGIN { printf "%.1f", k / 1024 }')
    R[$1,first,ours,$2]=$BL_FIRST
    R[$1,cpu,ours,$2]=$BL_CPU
    bl_clean ZSBench "$product" "$product"
}

install_nsis() {  # shape run
    local product=Nsis${PRODUCT[$1]} hwm=$BL_DIR/hwm t0 t1 pid kb ticks hz
    bl_clean "$product" "$product" "$product"
    rm -f "$hwm"
    t0=$(bl_now)
    wine "$BL_DIR/nsis-$1.exe" /S "/D=C:\\$product" >/dev/null 2>&1 &
    pid=$!
    bl_hwm_watch "$pid" "$hwm" &
    local watch=$!
    wait "$pid"
    t1=$(bl_now)
    wait "$watch" 2>/dev/null
    bl_verify "$(bl_payload "$1")" "$WINEPREFIX/drive_c/$product" || bl_die "the NSIS installer installed different files"
    R[$1,install,nsis,$2]=$(bl_sub "$t1" "$t0")
    R[$1,firststep,nsis,$2]=${R[$1,install,nsis,$2]}
    read -r kb ticks hz <"$hwm" || bl_die "no memory figures for the NSIS installer"
    R[$1,hwm,nsis,$2]=$(awk -v k="$kb" 'BEGIN { printf "%.1f", k / 1024 }')
    R[$1,cpu,nsis,$2]=$(awk -v t="$ticks" -v hz="$hz" 'BEGIN { printf "%.2f", t / hz }')
    bl_clean "$product" "$product" "$product"
    # NSIS's first page: the same installer run without /S, stopped once its page is up.
    R[$1,first,nsis,$2]=$(bl_first_page "$product Setup*" "$BL_DIR/nsis-$1.exe")
}

# The floors under the install step: writing the files from memory under Wine, and cp -r on
# Linux (into the page cache, then with a sync after it).
floors() {  # shape run
    local dir t0 t1 t2
    dir=$(bl_payload "$1")
    # Starts, like cp below and like our install after the previous round's sync, with no
    # writeback of the installs before it in flight: on this small machine that writeback
    # otherwise lands inside the floor's few tenths of a second.
    sync
    R[$1,wfloor,ours,$2]=$(bl_write_floor "$dir") || bl_die "the write floor failed"
    rm -rf "$BL_DIR/cp-floor"
    sync
    t0=$(bl_now)
    cp -r "$dir/files" "$BL_DIR/cp-floor"
    t1=$(bl_now)
    sync
    t2=$(bl_now)
    R[$1,cp,ours,$2]=$(bl_sub "$t1" "$t0")
    R[$1,cpsync,ours,$2]=$(bl_sub "$t2" "$t0")
    rm -rf "$BL_DIR/cp-floor"
}

bl_wine_start
OURS_FAILED=
FLOOR=()
for i in $(seq "$BL_REPEAT"); do FLOOR+=("$(bl_wine_floor)") || bl_die "cannot measure Wine's floor"; done
FLOOR_MB=$(bl_median "${FLOOR[@]}")
for shape in "${shapes[@]}"; do
    # The huge payload is packaged once a side: several minutes each on a small machine.
    packs=$BL_REPEAT
    [ "$shape" = huge ] && packs=1
    for i in $(seq "$packs"); do
        pack_ours "$shape" "$i"
        pack_nsis "$shape" "$i"
    done
    for i in $(seq "$BL_REPEAT"); do
        [ -z "$OURS_FAILED" ] && install_ours "$shape" "$i"
        install_nsis "$shape" "$i"
        floors "$shape" "$i"
    done
    # The huge installers are not kept: 1.4 GB of disk for nothing.
    [ "$shape" = huge ] && rm -f "$BL_DIR/ours-huge.exe" "$BL_DIR/nsis-huge.exe"
done

# The median of one row and side over the runs that have it; "-" when none has.
med() {  # shape row side
    local v=() i
    for i in $(seq "$BL_REPEAT"); do
        [ -n "${R[$1,$2,$3,$i]:-}" ] && v+=("${R[$1,$2,$3,$i]}")
    done
    if [ "${#v[@]}" -eq 0 ]; then echo "-"; else bl_median "${v[@]}"; fi
}
kb() { if [ "$1" = "-" ]; then echo "-"; else awk -v b="$1" 'BEGIN { printf "%.1f", b / 1024 }'; fi; }
mb() { awk -v b="$1" 'BEGIN { printf "%.1f", b / 1048576 }'; }
ratio() { if [ "$1" = "-" ] || [ "$2" = "-" ]; then echo "-"; else bl_ratio "$1" "$2"; fi; }

with_unit() { if [ "$1" = "-" ]; then echo "-"; else echo "$1 $2"; fi; }
row() {  # payload label unit ours nsis
    printf '| %-18s | %-36s | %12s | %12s | %9s |\n' "$1" "$2" "$(with_unit "$4" "$3")" "$(with_unit "$5" "$3")" "$(ratio "$4" "$5")"
}
label_of() {  # shape
    local dir
    dir=$(bl_payload "$1")
    echo "$1 $(wc -l <"$dir/files.tsv")f $(mb "$(bl_payload_bytes "$dir")")MB"
}

stub32=$O/setup-stub.exe stub64=$O/win64/setup-stub.exe
echo "Date $(date +%F), $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg); NSIS $(makensis -VERSION); medians of $BL_REPEAT runs"
echo "installers: ours with the $arch_label stub, NSIS $nsis_target, in a $WINEARCH prefix"
echo
printf '| %-18s | %-36s | %12s | %12s | %9s |\n' payload measure ours NSIS ours/NSIS
printf '|%s|%s|%s|%s|%s|\n' -------------------- -------------------------------------- -------------- -------------- -----------
if [ -f "$stub32" ]; then
    row "-" "stub size, i686 (shipped)" KB "$(kb "$(bl_size "$stub32")")" "$(kb "$(bl_size "$nsis_stubs/zlib-x86-unicode")")"
fi
row "-" "stub size, x86-64" KB "$(kb "$(bl_size "$stub64")")" "$(kb "$(bl_size "$nsis_stubs/zlib-amd64-unicode")")"
for shape in "${shapes[@]}"; do
    label=$(label_of "$shape")
    pack_label="packaging time"
    [ "$shape" = huge ] && pack_label="packaging time (ours level $HUGE_LEVEL, once)"
    row "$label" "$pack_label" s "$(med "$shape" pack ours)" "$(med "$shape" pack nsis)"
    row "$label" "setup.exe size ($arch_label)" KB "$(kb "$(med "$shape" size ours)")" "$(kb "$(med "$shape" size nsis)")"
    row "$label" "launch to first page shown" s "$(med "$shape" first ours)" "$(med "$shape" first nsis)"
    row "$label" "first page + install (NSIS: silent)" s "$(med "$shape" firststep ours)" "$(med "$shape" firststep nsis)"
    row "$label" "install wall time under Wine" s "$(med "$shape" install ours)" "$(med "$shape" install nsis)"
    row "$label" "install CPU time (setup process)" s "$(med "$shape" cpu ours)" "$(med "$shape" cpu nsis)"
    row "$label" "peak memory (VmHWM)" MB "$(med "$shape" hwm ours)" "$(med "$shape" hwm nsis)"
done
echo
echo "Install step (Next on summary -> finish page) against writing the same files:"
echo
printf '| %-18s | %12s | %14s | %9s | %12s | %12s |\n' payload "install step" "write floor" ours/floor "cp -r" "cp -r + sync"
printf '|%s|%s|%s|%s|%s|%s|\n' -------------------- -------------- ---------------- ----------- -------------- --------------
for shape in "${shapes[@]}"; do
    step=$(med "$shape" step ours) wfloor=$(med "$shape" wfloor ours)
    printf '| %-18s | %12s | %14s | %9s | %12s | %12s |\n' "$(label_of "$shape")" "$(with_unit "$step" s)" \
        "$(with_unit "$wfloor" s)" "$(ratio "$step" "$wfloor")" "$(with_unit "$(med "$shape" cp ours)" s)" \
        "$(with_unit "$(med "$shape" cpsync ours)" s)"
done
echo
for shape in "${shapes[@]}"; do
    [ "$(med "$shape" input ours)" != "-" ] &&
        echo "ours, $shape: input time apart from the install row (driver noticing pages, moving the pointer): $(med "$shape" input ours) s"
done
echo "Wine's own floor (peak memory of a program that only opens one window): $FLOOR_MB MB"
[ -n "$OURS_FAILED" ] && echo "ours: NOT MEASURED from here on: the wizard did not reach the finish page ($OURS_FAILED)"

# Goals.
echo
goal() {  # text value limit (met when value <= limit)
    local verdict="missed"
    if [ "$2" = "-" ] || [ "$3" = "-" ]; then verdict="not measured"
    elif awk -v v="$2" -v l="$3" 'BEGIN { exit !(v <= l) }'; then verdict="met"; fi
    printf '%-66s %s\n' "goal: $1" "$verdict"
}
times() {  # value factor [addend]
    if [ "$1" = "-" ]; then echo "-"; else awk -v v="$1" -v f="$2" -v a="${3:-0}" 'BEGIN { print v * f + a }'; fi
}
for shape in "${shapes[@]}"; do
    first_o=$(med "$shape" first ours) first_n=$(med "$shape" first nsis)
    goal "$shape: first page no later than NSIS's ($first_o s vs $first_n s)" "$first_o" "$first_n"
    fs_o=$(med "$shape" firststep ours) fs_n=$(med "$shape" firststep nsis)
    goal "$shape: first page + install <= 0.8 x NSIS silent (x$(ratio "$fs_o" "$fs_n"))" "$fs_o" "$(times "$fs_n" 0.8)"
    hwm_o=$(med "$shape" hwm ours) hwm_n=$(med "$shape" hwm nsis)
    goal "$shape: peak memory <= NSIS + 16 MB ($hwm_o vs $hwm_n MB)" "$hwm_o" "$(times "$hwm_n" 1 16)"
    step=$(med "$shape" step ours) wfloor=$(med "$shape" wfloor ours)
    # (Not for the example: its 1.6 MB take the floor 10 ms, so the step's fixed part, the
    # shortcut and registry values, is all its ratio would show.)
    [ "$shape" != example ] && goal "$shape: install step <= 1.3 x write floor (x$(ratio "$step" "$wfloor"))" "$step" "$(times "$wfloor" 1.3)"
    [ "$shape" != huge ] && goal "$shape: packaging at least as fast as makensis" "$(med "$shape" pack ours)" "$(med "$shape" pack nsis)"
done
[ -f "$stub32" ] && goal "stub (i686, shipped) <= 300 KB" "$(kb "$(bl_size "$stub32")")" 300
goal "stub (x86-64) <= 300 KB" "$(kb "$(bl_size "$stub64")")" 300
exit 0
