#!/usr/bin/env bash
# Runs the Windows tests (64-bit build) under Wine in the project's prefix, with a display.
set -euo pipefail
cd "$(dirname "$0")/.."
: "${O:=out}"
source scripts/wine-env.sh
zs_wine_init
exe="$O/build-win64/wine_tests.exe"
zs_with_display wine "$exe" --gtest_brief=1 "$@"
