#!/usr/bin/env bash
# This project against NSIS (Debian's nsis package: makensis, zlib compressor, not solid) on
# the same machine in the same run, for the two generated payloads: the example's shape (five
# files, 1.6 MB) and the big one (120 files, 200 MB, a third each executable-like, text and
# random). Each figure is the median of BENCH_REPEAT runs (default 3), ours and NSIS's runs
# taking turns so that both see the same load.
#
# Both installers are built for the architecture that runs under Wine here (scripts/wine-env.sh):
# where 32-bit Wine runs, ours with the shipped i686 stub and NSIS with its x86-unicode stub in a
# 32-bit prefix; elsewhere ours with the x86-64 stub and NSIS with its amd64-unicode stub under
# 64-bit Wine. Packaging: pack-setup at its default zlib level 9, which is also the level
# NSIS's zlib compressor uses, so the codec and level are the same; NSIS compresses each file
# apart (not solid), ours the payload as one stream.
#
# Rows:
#   packaging time        pack-setup build / makensis, wall time
#   setup.exe size        the installers that the install rows run
#   stub size             the program without any package: our setup-stub.exe against NSIS's
#                         zlib exehead, for i686 (shipped) and x86-64
#   install wall time     NSIS: silent (/S /D=folder), launch to process end. Ours: the wizard
#                         driven with real input, launch to the finish page shown, less the
#                         time the driver spent noticing pages and moving the pointer (that
#                         part is printed apart below the table)
#   install CPU time      user + system time of the setup's process over the same span (the
#                         machine is shared: this part does not grow with others' load);
#                         read at the finish page (ours) or polled every 20 ms (NSIS)
#   peak memory           VmHWM of the setup's Wine process (/proc/PID/status), read at the
#                         finish page (ours) or polled every 20 ms until it ends (NSIS)
#   first page            launch to the first wizard page shown (window visible, as the window
#                         manager reports it): our welcome page, NSIS's licence page
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
declare -A PRODUCT=([example]=BenchEx [big]=Bench200)

pack_ours() {  # shape run
    local dir out=$BL_DIR/ours-$1.exe t0 t1
    dir=$(bl_payload "$1")
    t0=$(bl_now)
    "$O/pack-setup" build "$dir/manifest.toml" --stub "$ZS_WIN_OUT/setup-stub.exe" -o "$out" >/dev/null ||
        bl_die "pack-setup failed"
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
        OURS_FAILED=$(tail -1 "$BL_DIR/wizard.err")
        return 1
    fi
    bl_verify "$(bl_payload "$1")" "$WINEPREFIX/drive_c/$product" || bl_die "our setup installed different files"
    R[$1,install,ours,$2]=$BL_PROGRAM
    R[$1,input,ours,$2]=$BL_INPUT
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
    read -r kb ticks hz <"$hwm" || bl_die "no memory figures for the NSIS installer"
    R[$1,hwm,nsis,$2]=$(awk -v k="$kb" 'BEGIN { printf "%.1f", k / 1024 }')
    R[$1,cpu,nsis,$2]=$(awk -v t="$ticks" -v hz="$hz" 'BEGIN { printf "%.2f", t / hz }')
    bl_clean "$product" "$product" "$product"
    # NSIS's first page: the same installer run without /S, stopped once its page is up.
    R[$1,first,nsis,$2]=$(bl_first_page "$product Setup*" "$BL_DIR/nsis-$1.exe")
}

bl_wine_start
OURS_FAILED=
FLOOR=()
for i in $(seq "$BL_REPEAT"); do FLOOR+=("$(bl_wine_floor)") || bl_die "cannot measure Wine's floor"; done
FLOOR_MB=$(bl_median "${FLOOR[@]}")
for shape in "${shapes[@]}"; do
    for i in $(seq "$BL_REPEAT"); do
        pack_ours "$shape" "$i"
        pack_nsis "$shape" "$i"
    done
    for i in $(seq "$BL_REPEAT"); do
        [ -z "$OURS_FAILED" ] && install_ours "$shape" "$i"
        install_nsis "$shape" "$i"
    done
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

with_unit() { if [ "$1" = "-" ]; then echo "-"; else echo "$1 $2"; fi; }
row() {  # payload label unit ours nsis
    local ratio="-"
    [ "$4" != "-" ] && [ "$5" != "-" ] && ratio=$(bl_ratio "$4" "$5")
    printf '| %-16s | %-34s | %12s | %12s | %9s |\n' "$1" "$2" "$(with_unit "$4" "$3")" "$(with_unit "$5" "$3")" "$ratio"
}

stub32=$O/setup-stub.exe stub64=$O/win64/setup-stub.exe
echo "Date $(date +%F), $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg); NSIS $(makensis -VERSION); medians of $BL_REPEAT runs"
echo
printf '| %-16s | %-34s | %12s | %12s | %9s |\n' payload measure ours NSIS ours/NSIS
printf '|%s|%s|%s|%s|%s|\n' ------------------ ------------------------------------ -------------- -------------- -----------
if [ -f "$stub32" ]; then
    row "-" "stub size, i686 (shipped)" KB "$(kb "$(bl_size "$stub32")")" "$(kb "$(bl_size "$nsis_stubs/zlib-x86-unicode")")"
fi
row "-" "stub size, x86-64" KB "$(kb "$(bl_size "$stub64")")" "$(kb "$(bl_size "$nsis_stubs/zlib-amd64-unicode")")"
for shape in "${shapes[@]}"; do
    dir=$(bl_payload "$shape")
    label="$shape $(wc -l <"$dir/files.tsv")f $(mb "$(bl_payload_bytes "$dir")")MB"
    row "$label" "packaging time" s "$(med "$shape" pack ours)" "$(med "$shape" pack nsis)"
    row "$label" "setup.exe size ($arch_label)" KB "$(kb "$(med "$shape" size ours)")" "$(kb "$(med "$shape" size nsis)")"
    row "$label" "install wall time under Wine" s "$(med "$shape" install ours)" "$(med "$shape" install nsis)"
    row "$label" "install CPU time (setup process)" s "$(med "$shape" cpu ours)" "$(med "$shape" cpu nsis)"
    row "$label" "peak memory (VmHWM)" MB "$(med "$shape" hwm ours)" "$(med "$shape" hwm nsis)"
    row "$label" "launch to first page shown" s "$(med "$shape" first ours)" "$(med "$shape" first nsis)"
done
echo
for shape in "${shapes[@]}"; do
    [ "$(med "$shape" input ours)" != "-" ] &&
        echo "ours, $shape: input time apart from the install row (driver noticing pages, moving the pointer): $(med "$shape" input ours) s"
done
echo "Wine's own floor (peak memory of a program that only opens one window): $FLOOR_MB MB"
[ -n "$OURS_FAILED" ] && echo "ours: install, peak memory and first page NOT MEASURED: the wizard did not reach the finish page ($OURS_FAILED)"

# Goals.
echo
goal() {  # text value limit (met when value <= limit)
    local verdict="missed"
    if [ "$2" = "-" ] || [ "$3" = "-" ]; then verdict="not measured"
    elif awk -v v="$2" -v l="$3" 'BEGIN { exit !(v <= l) }'; then verdict="met"; fi
    printf '%-58s %s\n' "goal: $1" "$verdict"
}
big_ours=$(med big install ours) big_nsis=$(med big install nsis)
goal "big install <= 0.8 x NSIS (ours/NSIS $(bl_ratio "$big_ours" "$big_nsis"))" \
    "$big_ours" "$(awk -v n="$big_nsis" 'BEGIN { print n * 0.8 }')"
for shape in "${shapes[@]}"; do
    goal "packaging ($shape) at least as fast as makensis" "$(med "$shape" pack ours)" "$(med "$shape" pack nsis)"
    dir=$(bl_payload "$shape")
    payload_mb=$(mb "$(bl_payload_bytes "$dir")")
    goal "peak memory ($shape) <= payload + 16 MB ($(awk -v p="$payload_mb" 'BEGIN { printf "%.1f", p + 16 }') MB)" \
        "$(med "$shape" hwm ours)" "$(awk -v p="$payload_mb" 'BEGIN { print p + 16 }')"
    hwm_ours=$(med "$shape" hwm ours)
    [ "$hwm_ours" != "-" ] && printf '%-58s %s\n' "" \
        "ours = payload + $(awk -v h="$hwm_ours" -v p="$payload_mb" 'BEGIN { printf "%.1f", h - p }') MB; NSIS's whole process (Wine's own floor included): $(med "$shape" hwm nsis) MB"
    # Every process under Wine starts from Wine's floor, which is itself above 16 MB: the
    # same goal, counted from that floor.
    goal "peak memory ($shape) <= payload + 16 MB above Wine's floor" \
        "$(awk -v h="$hwm_ours" -v f="$FLOOR_MB" 'BEGIN { if (h == "-") print "-"; else print h - f }')" \
        "$(awk -v p="$payload_mb" 'BEGIN { print p + 16 }')"
    [ "$hwm_ours" != "-" ] && printf '%-58s %s\n' "" \
        "ours = floor + payload + $(awk -v h="$hwm_ours" -v p="$payload_mb" -v f="$FLOOR_MB" 'BEGIN { printf "%.1f", h - p - f }') MB; NSIS = floor + $(awk -v n="$(med "$shape" hwm nsis)" -v f="$FLOOR_MB" 'BEGIN { printf "%.1f", n - f }') MB"
done
[ -f "$stub32" ] && goal "stub (i686, shipped) <= 300 KB" "$(kb "$(bl_size "$stub32")")" 300
goal "stub (x86-64) <= 300 KB" "$(kb "$(bl_size "$stub64")")" 300
