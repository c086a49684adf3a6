#!/usr/bin/env bash
# Runs the Windows tests under Wine in the project's prefix, with a display: the shipped 32-bit
# build where 32-bit Wine runs, else the 64-bit one (scripts/wine-env.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
: "${O:=out}"
source scripts/wine-env.sh
zs_wine_init
exe="$ZS_WIN_BUILD/wine_tests.exe"
# Dialogs are answered by the tests themselves; should one still wait for ever, the run fails
# here instead of hanging (exit 124).
zs_with_display timeout -k 10 "${ZS_WINE_TEST_TIMEOUT:-900}" wine "$exe" --gtest_brief=1 "$@"
