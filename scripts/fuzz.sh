#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang into build-fuzz/ and runs each for
# SECONDS (default 30), two at a time on two cores. Usage: scripts/fuzz.sh [SECONDS] [NAME...]
# Each target starts from its seeds in fuzz/corpus/NAME and grows build-fuzz/corpus/NAME;
# an input that breaks a target is kept as build-fuzz/findings/NAME-crash-*.
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_EACH=${1:-30}
shift || true
scripts/install-deps.sh --fuzz
export BUILD_DIR=${FUZZ_BUILD_DIR:-build-fuzz}
scripts/build.sh -DCMAKE_CXX_COMPILER=clang++-19 -DCRONOVOLTA_FUZZ=ON \
  -DCRONOVOLTA_WITH_QT=OFF -DCRONOVOLTA_BUILD_TESTS=OFF -DCRONOVOLTA_BUILD_BENCH=OFF

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for f in fuzz/*.cpp; do targets+=("$(basename "$f" .cpp)"); done
fi
mkdir -p "$BUILD_DIR/findings" "$BUILD_DIR/logs"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export ASAN_SYMBOLIZER_PATH=/usr/lib/llvm-19/bin/llvm-symbolizer

run_one() {
  local name=$1 corpus=$BUILD_DIR/corpus/$1
  mkdir -p "$corpus" "fuzz/corpus/$name"
  # New inputs go to the first folder: the committed seeds stay as they are.
  "$BUILD_DIR/fuzz/fuzz_$name" -max_total_time="$SECONDS_EACH" -timeout=10 -rss_limit_mb=2048 \
    -max_len=4096 -print_final_stats=1 -artifact_prefix="$BUILD_DIR/findings/$name-" \
    "$corpus" "fuzz/corpus/$name" >"$BUILD_DIR/logs/$name.log" 2>&1
}
export -f run_one
export BUILD_DIR SECONDS_EACH

failed=0
printf '%s\n' "${targets[@]}" | xargs -P "${JOBS:-$(nproc)}" -I{} bash -c 'run_one {}' || failed=1

printf '%-20s %12s %8s  %s\n' target executions corpus result
for name in "${targets[@]}"; do
  log=$BUILD_DIR/logs/$name.log
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  size=$(find "$BUILD_DIR/corpus/$name" -type f | wc -l)
  result=ok
  if [ -z "$runs" ] || grep -q -e '^==[0-9]*== *ERROR' -e 'check failed' -e 'runtime error' "$log"; then
    result="FAILED, see $log"
    failed=1
  fi
  printf '%-20s %12s %8s  %s\n' "$name" "${runs:-?}" "$size" "$result"
done
exit $failed
