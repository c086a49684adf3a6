#!/usr/bin/env bash
# Builds the libFuzzer targets (tests/fuzz/*.cpp) with clang into $O/build-fuzz and runs each
# for SECONDS (default 60), starting from the seed corpus in tests/fuzz/corpus/<target>/.
# Before fuzzing, every input under tests/fuzz/regressions/<target>/ (inputs that once crashed)
# is replayed once, so a fault that was fixed stays fixed.
# New inputs go to a scratch corpus under the build folder, never into the source tree.
# Exits non-zero when a target crashes, leaks or fails a check (the input is kept in
# $O/build-fuzz/artifacts/). The fuzzers run at the lowest priority, one at a time.
set -euo pipefail
cd "$(dirname "$0")/.."
: "${O:=out}"
seconds=${1:-60}
dir="$O/build-fuzz"
jobs=${JOBS:-2}

CC=clang CXX=clang++ cmake -S . -B "$dir" -DZS_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
nice -n 19 cmake --build "$dir" -j"$jobs" >/dev/null

# A package may declare up to 4 GB unpacked: the loader reserves that much address space up
# front but touches only what the stream delivers, so the malloc limit is raised past 4 GB;
# the RSS limit still catches real growth.
options=(-timeout=20 -rss_limit_mb=2048 -malloc_limit_mb=4200 -max_len=4096)

mkdir -p "$dir/artifacts"
status=0
for src in tests/fuzz/*.cpp; do
  name=$(basename "$src" .cpp)
  exe="$dir/$name"
  [ -x "$exe" ] || { echo "fuzz: $exe missing"; status=1; continue; }
  regressions=(tests/fuzz/regressions/"$name"/*)
  if [ -e "${regressions[0]}" ]; then
    if ! nice -n 19 "$exe" "${options[@]}" "${regressions[@]}" >"$dir/$name.replay.log" 2>&1; then
      echo "fuzz: $name FAILED on a regression input (log: $dir/$name.replay.log)"
      grep -E '^Running:|ERROR|check failed|runtime error' "$dir/$name.replay.log" | tail -n 20
      status=1
      continue
    fi
    echo "fuzz: $name replayed ${#regressions[@]} regression input(s)"
  fi
  work="$dir/corpus/$name"
  mkdir -p "$work"
  seeds=()
  [ -d "tests/fuzz/corpus/$name" ] && seeds=("tests/fuzz/corpus/$name")
  echo "fuzz: $name for ${seconds}s"
  if ! nice -n 19 "$exe" "$work" "${seeds[@]}" "${options[@]}" -max_total_time="$seconds" \
      -print_final_stats=1 -artifact_prefix="$dir/artifacts/$name-" >"$dir/$name.log" 2>&1; then
    echo "fuzz: $name FAILED (log: $dir/$name.log)"
    tail -n 30 "$dir/$name.log"
    status=1
  else
    grep -E '^stat::number_of_executed_units' "$dir/$name.log" | sed "s/^/fuzz: $name /" || true
  fi
done
exit $status
