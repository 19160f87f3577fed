#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program on a data folder of its own.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh >/dev/null
scripts/build.sh >/dev/null
DATA=${CRONOVOLTA_DATA:-$HOME/cronovolta-data}
mkdir -p "$DATA"
if [ -x build/cronovolta ]; then
  exec build/cronovolta --data "$DATA" "$@"
fi
exec build/cronovolta-cli --data "$DATA" "${@:-events}"
