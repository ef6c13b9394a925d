#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (build/fuzz), runs every seed and every input that
# once failed through them (ctest), then fuzzes each target for SECONDS (default 20). New
# inputs go to build/fuzz/scratch, never to the committed corpus; an input that fails is
# kept as build/fuzz/crashes/TARGET-... and the script fails.
# Usage: scripts/run-fuzz.sh [SECONDS [TARGET...]]   (targets: load_swf, edit_split, ...)
# With ZU_FUZZ_RUNS=N each target instead runs exactly N inputs from a fixed seed, so that a
# run (test.sh's) is the same on every machine.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
shift || true
build=build/fuzz
CC=clang-14 CXX=clang++-14 cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DZU_FUZZ=ON -DZU_BUILD_TESTS=OFF -DZU_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)"
(cd "$build" && ctest --output-on-failure -j"$(nproc)")

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan-suppressions.txt
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
mkdir -p "$build/crashes"
# Each line of fuzz_targets.txt: a target, its seed folder, its regression folder.
while read -r target seeds regressions; do
  if (($# > 0)) && [[ " $* " != *" $target "* ]]; then continue; fi
  mkdir -p "$build/scratch/$target"
  if [[ -n ${ZU_FUZZ_RUNS:-} ]]; then
    runs=$ZU_FUZZ_RUNS
    # Each input of the chain target is a run of several edits of recorded movies: a quarter
    # of the inputs takes about as long as the other edit targets' whole budget.
    [[ $target == edit_chain ]] && runs=$((runs / 4))
    budget=(-runs="$runs" -seed=1)
    echo "== fuzzing $target: $runs inputs"
  else
    echo "== fuzzing $target for ${seconds}s"
    budget=(-max_total_time="$seconds")
  fi
  if ! "$build/fuzz/fuzz_$target" "${budget[@]}" -timeout=20 -print_final_stats=1 \
    -artifact_prefix="$build/crashes/$target-" "$build/scratch/$target" "$seeds" \
    "$regressions" >"$build/$target.log" 2>&1; then
    tail -n 60 "$build/$target.log"
    echo "fuzz_$target failed; the input is in $build/crashes/" >&2
    exit 1
  fi
  grep -E 'stat::number_of_executed_units' "$build/$target.log" || true
done <"$build/fuzz_targets.txt"
