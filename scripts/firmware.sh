#!/usr/bin/env bash
# Builds the board firmware (firmware/build/cronovolta-board.hex), then runs its host
# protocol test and the simavr harness. Installs nothing: it names the Debian
# packages that are missing (scripts/install-deps.sh installs them).
set -euo pipefail
cd "$(dirname "$0")/../firmware"
missing=()
for p in make g++ pkg-config gcc-avr binutils-avr avr-libc simavr libsimavr-dev libsimavrparts1 libelf-dev; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "firmware.sh: missing Debian packages: ${missing[*]}" >&2
  echo "firmware.sh: run scripts/install-deps.sh (or apt-get install them)" >&2
  exit 2
fi
make -j2 all build/protocol_test build/harness
build/protocol_test
build/harness build/cronovolta-board.elf
echo "firmware.sh: $(pwd)/build/cronovolta-board.hex"
