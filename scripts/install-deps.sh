#!/usr/bin/env bash
# Installs every Debian 12 package that the build, the tests and the benchmarks need;
# with --fuzz, also the compiler of the fuzz targets (scripts/fuzz.sh).
set -euo pipefail
PACKAGES=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-serialport-dev libqt6serialport6 qt6-image-formats-plugins
  qt6-translations-l10n
  libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth fonts-dejavu-core
  poppler-utils fonts-liberation
  dpkg-dev file librsvg2-bin lintian desktop-file-utils appstream
  # qt6-speech-dev's CMake package needs qt6-declarative-dev (QmlIntegration).
  qt6-speech-dev qt6-declarative-dev qt6-speech-speechd-plugin speech-dispatcher-espeak-ng
  espeak-ng sox
  # Fault injection of the heat-storage tests (a write that fails, a rename refused).
  strace
  # The live-results server, the QR code of its address, and the browser of its page test.
  qt6-httpserver-dev qt6-websockets-dev libqrencode-dev chromium
  # The board firmware, its simavr harness (scripts/firmware.sh) and flashing a board.
  gcc-avr binutils-avr avr-libc simavr libsimavr-dev libsimavrparts1 libelf-dev avrdude
)
# clang 14 cannot compile the <expected> of g++ 12's library; clang 19 can and has libFuzzer
# (llvm-19: the symbolizer of its reports).
FUZZ_PACKAGES=(clang-19 libclang-rt-19-dev llvm-19)
if [ "${1:-}" = --fuzz ]; then PACKAGES+=("${FUZZ_PACKAGES[@]}"); fi
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
