#!/usr/bin/env bash
# Benchmarks: print figures (no pass/fail). Run after `make all`.
set -euo pipefail
cd "$(dirname "$0")/.."
: "${O:=out}"
export O
# Which Windows build runs under Wine (scripts/wine-env.sh) is decided once for both parts.
ZS_WINE_BITS=$(source scripts/wine-env.sh && echo "$ZS_WINE_BITS") || exit 1
export ZS_WINE_BITS ZS_WINE_TOLD=1

echo "== payload: inflate, byte sum, peak memory while loading"
"$O/build-host/package_bench"
echo
echo "== packaging tool"
"$O/build-host/packager_bench" "$O/setup-stub.exe"
echo
echo "== program size"
for f in "$O/setup-stub.exe" "$O/win64/setup-stub.exe" "$O/example-setup.exe"; do
  [ -f "$f" ] && printf '%-34s %8.1f KB\n' "$f" "$(awk -v b="$(stat -c %s "$f")" 'BEGIN{print b/1024}')"
done
for b in scripts/bench-*.sh; do
  [ -e "$b" ] || continue
  echo; echo "== $(basename "$b" .sh)"; bash "$b"
done
