#!/usr/bin/env bash
# Draws the documentation's screenshots into docs/screenshots/ (or the folder given), from
# a build made by scripts/build.sh. The printed pages need pdftoppm (poppler-utils).
set -euo pipefail
cd "$(dirname "$0")/../.."
BUILD_DIR=${BUILD_DIR:-build}
FOLDER=$(realpath "${1:-docs/screenshots}")
cmake --build "$BUILD_DIR" --target live_screenshots corrections_screenshots settings_screenshots \
    qt_export_window_test
# The file screen's picture is taken by its own test, at the moment it checks.
for program in live_screenshots corrections_screenshots settings_screenshots qt_export_window_test; do
    CRONOVOLTA_SCREENSHOTS=$FOLDER QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} \
        SPEECHD_ADDRESS=unix_socket:/nonexistent/speechd.sock "$BUILD_DIR/$program"
done
