#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
# --sanitize: the same suite in a second tree (build-asan/) built with AddressSanitizer and
# UndefinedBehaviorSanitizer, leak detection on.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen
CONFIGURE=()
if [ "${1:-}" = --sanitize ]; then
  export BUILD_DIR=${SANITIZE_BUILD_DIR:-build-asan}
  # Assertions on; light optimisation and line tables only keep the second build short,
  # and benchmarks are no tests.
  export BUILD_TYPE=Debug
  CONFIGURE=(-DCRONOVOLTA_SANITIZE=ON -DCRONOVOLTA_BUILD_BENCH=OFF "-DCMAKE_CXX_FLAGS_DEBUG=-O1 -g1")
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp:print_suppressions=0
elif [ $# -gt 0 ]; then
  echo "usage: $0 [--sanitize]" >&2
  exit 2
fi
scripts/build.sh "${CONFIGURE[@]}"
ctest --test-dir "${BUILD_DIR:-build}" --output-on-failure -j "${JOBS:-$(nproc)}"
