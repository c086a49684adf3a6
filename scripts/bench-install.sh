#!/usr/bin/env bash
# Installation speed under Wine: a generated 200 MB, 120-file payload (a third each
# executable-like, text and random bytes) packaged with the stub of the build that runs under
# Wine here (the shipped 32-bit one where 32-bit Wine runs, else x86-64: scripts/wine-env.sh)
# and installed through the wizard with real X input, against copying the same files with cp
# on Linux.
#
# Figures (median of BENCH_REPEAT runs, default 3; MB = 2^20 bytes):
#   install   from the press of Next on the summary page to the finish page shown, and the
#             payload's MB divided by it
#             (and the setup process's CPU time in that span: the machine is shared)
#   wall      from launching the setup to the finish page shown, all of it; and apart, the part
#             the driver spent noticing each page and moving the pointer (input)
#   cp        `cp -r` of the payload's files into a fresh folder on the same file system
#             (coreutils 9 copies with copy_file_range: on ext4 the kernel copies the bytes,
#             nothing is shared). Neither side asks for its data on disk: the setup writes with
#             WriteFile and never flushes, cp writes into the page cache; so the ratio is
#             against cp alone, and cp followed by sync is shown beside it for the cost of
#             reaching the disk.
set -uo pipefail
source "$(dirname "$0")/../bench/bench_lib.bash"
bl_with_display "$@"
bl_init

payload=$(bl_payload big)
bytes=$(bl_payload_bytes "$payload")
mb=$(awk -v b="$bytes" 'BEGIN { printf "%.1f", b / 1048576 }')
files=$(wc -l <"$payload/files.tsv")
setup="$BL_DIR/bench200-setup.exe"
"$O/pack-setup" build "$payload/manifest.toml" --stub "$ZS_WIN_OUT/setup-stub.exe" -o "$setup" >/dev/null ||
    bl_die "pack-setup failed"

bl_wine_start
installs=() walls=() inputs=() cpus=() cps=() cpsyncs=() failed=
for i in $(seq "$BL_REPEAT"); do
    if [ -z "$failed" ]; then
        bl_clean ZSBench Bench200 Bench200
        BL_INSTALL=
        bl_wizard_run "$setup" Bench200 2>"$BL_DIR/wizard.err"
        if [ -n "${BL_INSTALL:-}" ]; then
            bl_verify "$payload" "$WINEPREFIX/drive_c/Bench200" || bl_die "the installed files differ from the payload"
            installs+=("$BL_INSTALL") walls+=("$BL_TOTAL") inputs+=("$BL_INPUT") cpus+=("$BL_INSTALL_CPU")
        else
            bl_setup_stop
            bl_probe_stop
            failed=$(tail -1 "$BL_DIR/wizard.err")
        fi
        bl_clean ZSBench Bench200 Bench200
    fi

    rm -rf "$BL_DIR/cp-floor"
    sync
    t0=$(bl_now)
    cp -r "$payload/files" "$BL_DIR/cp-floor"
    t1=$(bl_now)
    sync
    t2=$(bl_now)
    cps+=("$(bl_sub "$t1" "$t0")") cpsyncs+=("$(bl_sub "$t2" "$t0")")
    rm -rf "$BL_DIR/cp-floor"
done

echo "payload: $files files, $mb MB; medians of $BL_REPEAT runs"
cp=$(bl_median "${cps[@]}") cpsync=$(bl_median "${cpsyncs[@]}")
speed() { awk -v m="$mb" -v t="$1" 'BEGIN { printf "%.1f", m / t }'; }
if [ "${#installs[@]}" -gt 0 ]; then
    install=$(bl_median "${installs[@]}") wall=$(bl_median "${walls[@]}") input=$(bl_median "${inputs[@]}")
    printf '%-44s %8s s  %7s MB/s\n' "install (Next on summary -> finish page)" "$install" "$(speed "$install")"
    printf '%-44s %8s s  (CPU time of the setup process in that span)\n' "install CPU time" "$(bl_median "${cpus[@]}")"
    printf '%-44s %8s s  (of which input and page polling: %s s)\n' "wall (launch -> finish page)" "$wall" "$input"
fi
printf '%-44s %8s s  %7s MB/s\n' "cp -r on Linux (floor, page cache)" "$cp" "$(speed "$cp")"
printf '%-44s %8s s  %7s MB/s\n' "cp -r then sync" "$cpsync" "$(speed "$cpsync")"
if [ "${#installs[@]}" -gt 0 ]; then
    printf '%-44s %8s x\n' "install / cp" "$(bl_ratio "$install" "$cp")"
    printf '%-44s %8s x\n' "wall / cp" "$(bl_ratio "$wall" "$cp")"
else
    echo "install through the wizard: NOT MEASURED: the setup's wizard did not reach the finish page ($failed)"
fi
