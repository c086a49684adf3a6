#!/usr/bin/env bash
# Runs the Windows tests (64-bit build) under Wine in the project's prefix, with a display.
set -euo pipefail
cd "$(dirname "$0")/.."
: "${O:=out}"
source scripts/wine-env.sh
zs_wine_init
exe="$O/build-win64/wine_tests.exe"
# Dialogs are answered by the tests themselves; should one still wait for ever, the run fails
# here instead of hanging (exit 124).
zs_with_display timeout -k 10 "${ZS_WINE_TEST_TIMEOUT:-900}" wine "$exe" --gtest_brief=1 "$@"
