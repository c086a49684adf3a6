#!/usr/bin/env bash
# Runs the end-to-end tests (tests/e2e/*.sh) against the packaged example under Wine, each
# as one test; screenshots land in $O/screenshots/. Prints "N passed, N failed".
# Usage: scripts/e2e.sh [name-filter]
set -uo pipefail
cd "$(dirname "$0")/.."
: "${O:=out}"
export O
# Which Windows build runs under Wine (scripts/wine-env.sh) is decided once for every step,
# and said once when it is not the shipped 32-bit one.
ZS_WINE_BITS=$(source scripts/wine-env.sh && echo "$ZS_WINE_BITS") || exit 1
export ZS_WINE_BITS ZS_WINE_TOLD=1
filter=${1:-}
passed=0 failed=0 failures=()
for t in tests/e2e/*.sh; do
    [ -e "$t" ] || continue
    name=$(basename "$t" .sh)
    [ -n "$filter" ] && [[ $name != *"$filter"* ]] && continue
    echo "=== e2e: $name"
    t0=$SECONDS
    if bash "$t"; then
        passed=$((passed + 1)); echo "--- ok: $name ($((SECONDS - t0)) s)"
    else
        failed=$((failed + 1)); failures+=("$name"); echo "--- FAILED: $name ($((SECONDS - t0)) s)"
    fi
done
echo
[ ${#failures[@]} -gt 0 ] && printf 'failed: %s\n' "${failures[@]}"
echo "$passed passed, $failed failed; screenshots in $O/screenshots/"
[ "$failed" -eq 0 ]
