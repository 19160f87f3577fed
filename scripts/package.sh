#!/usr/bin/env bash
# Builds the Debian package into $PACKAGE_DIR (default build/package) and checks it with
# lintian; prints the package's path last. SKIP_BUILD=1 packs what is already built.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
PACKAGE_DIR=${PACKAGE_DIR:-$BUILD_DIR/package}
if [ -z "${SKIP_BUILD:-}" ]; then
  scripts/build.sh >&2
fi
rm -f "$PACKAGE_DIR"/cronovolta_*.deb
cpack --config "$BUILD_DIR/CPackConfig.cmake" -G DEB -B "$PACKAGE_DIR" >&2
deb=$(ls "$PACKAGE_DIR"/cronovolta_*.deb)
# Warnings are advice; an error is a fault of the package.
lintian --fail-on error "$deb" >&2
echo "$deb"
