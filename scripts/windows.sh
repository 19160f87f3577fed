#!/usr/bin/env bash
# Cross-builds the core, cronovolta-cli.exe and the core's tests for 64-bit Windows with
# MinGW-w64 into build-windows/, runs the tests under Wine, then checks that the Windows
# and the native command line turn the same capture into the same files and results.
# The native command line comes from build/ (scripts/build.sh), built here when missing.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
OUT=$ROOT/${WINDOWS_BUILD_DIR:-build-windows}
NATIVE_CLI=$ROOT/${BUILD_DIR:-build}/cronovolta-cli
JOBS=${JOBS:-$(nproc)}
START=$SECONDS

PACKAGES=(g++-mingw-w64-x86-64-posix wine64)
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi

# -O2 as the native build: GCC 12 reports false -Wrestrict warnings at -O3.
TOOLCHAIN=(-DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release
  "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG")
if command -v ccache >/dev/null; then TOOLCHAIN+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi

# GoogleTest from Debian's sources, built by the same compiler as the tests.
if [ ! -f "$OUT/gtest/lib/cmake/GTest/GTestConfig.cmake" ]; then
  cmake -S /usr/src/googletest -B "$OUT/googletest" -G Ninja "${TOOLCHAIN[@]}" \
    -DCMAKE_INSTALL_PREFIX="$OUT/gtest"
  cmake --build "$OUT/googletest" -j "$JOBS"
  cmake --install "$OUT/googletest" >/dev/null
fi

cmake -S . -B "$OUT/build" -G Ninja "${TOOLCHAIN[@]}" \
  -DCRONOVOLTA_WITH_QT=OFF -DCRONOVOLTA_BUILD_BENCH=OFF \
  -DGTest_DIR="$OUT/gtest/lib/cmake/GTest"
cmake --build "$OUT/build" -j "$JOBS"

export WINEPREFIX=$OUT/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C.UTF-8
WINE=/usr/lib/wine/wine64
"$WINE" wineboot --init >/dev/null 2>&1 || true

passed=0
skipped=0
for t in "$OUT"/build/tests_*.exe; do
  name=$(basename "$t" .exe)
  log=$OUT/$name.log
  if ! timeout 600 "$WINE" "$t" --gtest_brief=1 >"$log" 2>&1; then
    cat "$log"
    echo "windows: $name failed under Wine" >&2
    exit 1
  fi
  p=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\?\..*/\1/p' "$log")
  s=$(sed -n 's/^\[  SKIPPED \] \([0-9]*\) tests\?.*/\1/p' "$log" | head -1)
  passed=$((passed + p))
  skipped=$((skipped + ${s:-0}))
  echo "windows: $name: ${p} passed, ${s:-0} skipped"
  # Each skip says why: the POSIX-only case it leaves out.
  tr -d '\r' <"$log" | grep -A1 ': Skipped$' | grep -v -e ': Skipped$' -e '^--$' | sed 's/^/  skipped: /' || true
done
echo "windows: $passed test(s) passed under Wine, $skipped skipped"

if [ ! -x "$NATIVE_CLI" ]; then
  echo "windows: $NATIVE_CLI is missing; building it"
  scripts/install-deps.sh
  native=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
  if command -v ccache >/dev/null; then native+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
  cmake -S . -B "${BUILD_DIR:-build}" -G Ninja "${native[@]}" >/dev/null
  cmake --build "${BUILD_DIR:-build}" --target cronovolta-cli -j "$JOBS"
fi
scripts/windows-agreement.sh "$NATIVE_CLI" "$OUT/build/cronovolta-cli.exe"
echo "windows: done in $((SECONDS - START)) s"
