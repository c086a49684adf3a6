#!/usr/bin/env bash
# Packages the example product into $O/example-setup.exe (32-bit stub and programs, the shipped
# build) and $O/win64/example-setup.exe (64-bit stub and programs, which the tests run where
# 32-bit Wine cannot: scripts/wine-env.sh).
# Needs `make host win` first: $O/pack-setup, the stubs and the programs of both builds.
set -euo pipefail
cd "$(dirname "$0")/.."
: "${O:=out}"
O=$(mkdir -p "$O" && cd "$O" && pwd)
manifest=examples/zenta-kov/manifest.toml

pack() {  # stub programs-folder output
  local stub=$1 build=$2 out=$3 f
  for f in "$stub" "$build/ZENTA-KOV.exe" "$build/Uninstall.exe"; do
    [ -f "$f" ] || { echo "build-example: $f is missing (run make host win first)" >&2; exit 1; }
  done
  mkdir -p "$(dirname "$out")"
  "$O/pack-setup" build "$manifest" --define BUILD="$build" --stub "$stub" -o "$out"
}

pack "$O/setup-stub.exe" "$O/build-win" "$O/example-setup.exe"
pack "$O/win64/setup-stub.exe" "$O/build-win64" "$O/win64/example-setup.exe"
