#!/usr/bin/env bash
# Builds the libFuzzer targets (tests/fuzz/*.cpp) with clang into $O/build-fuzz and runs each
# for SECONDS (default 60), starting from the seed corpus in tests/fuzz/corpus/<target>/.
# New inputs go to a scratch corpus under the build folder, never into the source tree.
# Exits non-zero when a target crashes, leaks or fails a check (the input is kept in
# $O/build-fuzz/artifacts/).
set -euo pipefail
cd "$(dirname "$0")/.."
: "${O:=out}"
seconds=${1:-60}
dir="$O/build-fuzz"
jobs=${JOBS:-2}

CC=clang CXX=clang++ cmake -S . -B "$dir" -DZS_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$dir" -j"$jobs" >/dev/null

mkdir -p "$dir/artifacts"
status=0
for src in tests/fuzz/*.cpp; do
  name=$(basename "$src" .cpp)
  exe="$dir/$name"
  [ -x "$exe" ] || { echo "fuzz: $exe missing"; status=1; continue; }
  work="$dir/corpus/$name"
  mkdir -p "$work"
  seeds=()
  [ -d "tests/fuzz/corpus/$name" ] && seeds=("tests/fuzz/corpus/$name")
  echo "fuzz: $name for ${seconds}s"
  if ! "$exe" "$work" "${seeds[@]}" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 \
      -max_len=4096 -print_final_stats=0 -artifact_prefix="$dir/artifacts/$name-" >"$dir/$name.log" 2>&1; then
    echo "fuzz: $name FAILED (log: $dir/$name.log)"
    tail -n 30 "$dir/$name.log"
    status=1
  else
    grep -E '^#[0-9]+.*DONE' "$dir/$name.log" | tail -n 1 || true
  fi
done
exit $status
