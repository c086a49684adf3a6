#!/usr/bin/env bash
# Every test: native unit tests, a short fuzz run, the Windows tests under Wine and the
# end-to-end scripts in tests/e2e/. Prints one closing line "N passed, N failed".
set -uo pipefail
cd "$(dirname "$0")/.."
: "${O:=out}"
export O
# Which Windows build runs under Wine (scripts/wine-env.sh) is decided once for every step,
# and said once when it is not the shipped 32-bit one.
ZS_WINE_BITS=$(source scripts/wine-env.sh && echo "$ZS_WINE_BITS") || exit 1
export ZS_WINE_BITS ZS_WINE_TOLD=1
passed=0 failed=0 failures=()

step() {  # name command...
  local name=$1; shift
  echo "=== $name"
  local t0=$SECONDS
  if "$@"; then
    passed=$((passed + 1)); echo "--- ok: $name ($((SECONDS - t0)) s)"
  else
    failed=$((failed + 1)); failures+=("$name"); echo "--- FAILED: $name ($((SECONDS - t0)) s)"
  fi
}

# The tests keep to their own folders and Wine prefixes: what appears in the host user's home
# folder (or on its desktop) while they run is a failure.
home_entries() { for d in "$HOME" "$HOME/Desktop"; do [ -d "$d" ] && ls -A "$d" | sed "s|^|$d/|" | grep -v "^$HOME/\."; done | sort; }
home_before=$(home_entries)

step "native unit tests" "$O/build-host/unit_tests" --gtest_brief=1
step "native unit tests under ASan and UBSan" make --no-print-directory unit-asan
[ -x scripts/fuzz.sh ] && step "fuzz smoke run" scripts/fuzz.sh 10
step "Windows tests under Wine" scripts/wine-test.sh
for t in tests/e2e/*.sh; do
  [ -e "$t" ] || continue
  step "e2e: $(basename "$t" .sh)" bash "$t"
done

home_untouched() {
    local added
    added=$(comm -13 <(echo "$home_before") <(home_entries))
    [ -z "$added" ] || { echo "written into the host's home folder:"; echo "$added"; return 1; }
}
step "nothing written into the host's home folder" home_untouched

echo
[ ${#failures[@]} -gt 0 ] && printf 'failed: %s\n' "${failures[@]}"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
