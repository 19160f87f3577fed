#!/usr/bin/env bash
# The same capture replayed and classified by the native and the Windows command line
# (under Wine) must give byte-identical data files and the same printed results.
# Usage: windows-agreement.sh NATIVE_CLI WINDOWS_CLI_EXE   (WINEPREFIX etc. from the caller)
set -euo pipefail
NATIVE=$1
WINDOWS=$2
WINE=${WINE:-/usr/lib/wine/wine64}
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

# A folder name outside ASCII: Windows hands programs their words in its own code page.
FOLDER="Curses/Sabadell Cròniques"
native() { "$NATIVE" --data "$WORK/native/$FOLDER" "$@"; }
# Wine sees the Unix file system as drive Z:.
windows() {
  local args=()
  for a in "$@"; do
    case $a in
      /*) args+=("Z:$a") ;;
      *) args+=("$a") ;;
    esac
  done
  "$WINE" "$WINDOWS" --data "Z:$WORK/windows/$FOLDER" "${args[@]}"
}

for side in native windows; do
  mkdir -p "$WORK/$side/$FOLDER"
  # Both write the capture; they must agree on it too.
  $side simulate --model DS030 --lanes 4 --cars 4 --heats 4 --heat-length 90 --seed 11 \
    --capture "$WORK/$side Cròniques.cap" >/dev/null
  $side track set lanes=4 circuits=1 >/dev/null
  $side settings set model=1 >/dev/null
  $side event create "Prova d'acord" 07-12-2026 >/dev/null
  $side participants set 1 CRS 1 "Anna Puig" "Bernat Roca" "Clara Vidal" "Dídac Serra" \
    "Elna Mas" >/dev/null
  $side replay 1 CRS 1 "$WORK/native Cròniques.cap" >"$WORK/$side.replay" 2>&1
  $side classify 1 CRS all >"$WORK/$side.classify" 2>&1
  $side classify 1 CRS 1 --criterion 2 >>"$WORK/$side.classify" 2>&1
done

cmp "$WORK/native Cròniques.cap" "$WORK/windows Cròniques.cap"
diff -r "$WORK/native" "$WORK/windows"
diff "$WORK/native.replay" "$WORK/windows.replay"
diff "$WORK/native.classify" "$WORK/windows.classify"
files=$(find "$WORK/native" -type f | wc -l)
lines=$(wc -l <"$WORK/native.classify")
echo "windows: both builds agree on $files data file(s) and $lines line(s) of results"
