#!/usr/bin/env bash
# Packages the example product into $O/example-setup.exe (32-bit) and $O/win64/example-setup.exe.
set -euo pipefail
cd "$(dirname "$0")/.."
: "${O:=out}"
[ -f examples/zenta-kov/manifest.toml ] || { echo "build-example: no example manifest yet" >&2; exit 0; }
