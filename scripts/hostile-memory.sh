#!/usr/bin/env bash
# Peak memory of every command-line command that reads a data file, on a data folder whose
# files are hostile: 250 MB each, 8 MB of plausible records and then a sparse tail, heat
# counters of 32767, heat blocks that claim every lane and every participant. Prints one
# line per command: its exit status and its maximum resident set size.
#   scripts/hostile-memory.sh [BUILD_DIR]   (default build/)
# KEEP=DIR keeps the folder in DIR (made anew) for a closer look.
set -euo pipefail
cd "$(dirname "$0")/.."
CLI=$(realpath "${1:-build}")/cronovolta-cli
if [ -n "${KEEP:-}" ]; then
  rm -rf "$KEEP" && mkdir -p "$KEEP" && WORK=$(realpath "$KEEP")
else
  WORK=$(mktemp -d)
  trap 'rm -rf "$WORK"' EXIT
fi
DATA=$WORK/data
mkdir -p "$DATA"
cli() { "$CLI" --data "$DATA" "$@"; }

cli track set lanes=64 >/dev/null
cli event create Hostil 01-01-2027 >/dev/null
for type in OFC CRS; do cli series add 1 "$type" >/dev/null; done
cli participants set 1 CRS 1 Anna Bernat >/dev/null
cli entrants set 1 Anna Bernat >/dev/null

python3 - "$DATA" <<'EOF'
import os, struct, sys
data = sys.argv[1]
event = os.path.join(data, "PROVA001")
HOSTILE = 250 * 1024 * 1024
FILLED = 8 * 1024 * 1024

def string16(text):
    raw = text.encode("cp1252")
    return struct.pack("<h", len(raw)) + raw

def hostile(path, head, unit=b""):
    body = bytearray(head)
    if unit:
        body += unit * ((FILLED - len(body)) // len(unit))
    with open(path, "wb") as f:
        f.write(body)
        f.truncate(HOSTILE)

def result(participant, lane, heat_laps, fastest):
    # participant, series laps, crossing, fastest, fastest lane, rank, lane, heat laps,
    # adjustments, last lap, heat fastest, heat rank, two sort keys, 4 unused bytes
    return struct.pack("<hfffhhhfhfffff4x", participant, heat_laps, 10.0, fastest, lane, 1,
                       lane, heat_laps, 0, fastest, fastest, 1.0, 0.0, 0.0)

heats = bytearray()
h = 0
while len(heats) < FILLED and h < 32767:
    h += 1
    heats += struct.pack("<hfffhhhfhfffff4x", 0, 0, 0, 0, 0, 0, h, 0, 99, 0, 0, 0, 0, 0)
    for p in range(1, 100):
        heats += result(p, (p - 1) % 64 + 1, 12.0, 3.25)
laps = bytearray()
h = 0
while len(laps) < FILLED and h < 32767:
    h += 1
    laps += struct.pack("<hhffhhff", 0, 0, 36000.0, float(h), 0, 1001, 0, 0)
    for k in range(1, 1001):
        laps += struct.pack("<hhffhhff", k % 64 + 1, k % 99 + 1, 36000.0 + k, 3.5, 0, k, 0, 0)
    laps += struct.pack("<hhffhhff", 0, 0, 36000.0, 1.0, 0, 1001, 0, 0)
names = b"".join(string16("Pilot %d" % i) for i in range(1, 100))
for prefix in ("OFC", "CRS"):
    hostile(os.path.join(event, prefix + "001.PAR"), struct.pack("<h", 32767) + names, string16("Pilot"))
    hostile(os.path.join(event, prefix + "001.DAD"), heats)
    hostile(os.path.join(event, prefix + "001.VAV"), laps)
hostile(os.path.join(event, "CRS001.PEN"), b"", struct.pack("<hf", 1, 1.0) + string16("motiu"))
hostile(os.path.join(event, "PROVA.PAR"), struct.pack("<h", 0) + names, string16("Pilot"))
hostile(os.path.join(data, "PROVA.PAR"), struct.pack("<h", 0) + names, string16("Pilot"))
hostile(os.path.join(data, "PROVES.LLS"), b"", string16("Prova") + string16("01-01-2027"))
hostile(os.path.join(data, "VLTAVLT.TMP"), laps)
EOF

measure() {
    local status=0
    # A command that loops on a hostile count is stopped after a minute (exit 124).
    /usr/bin/time -v -o "$WORK/time" timeout 60 "$CLI" --data "$DATA" "$@" >"$WORK/out" \
        2>"$WORK/err" || status=$?
    local kb
    kb=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$WORK/time")
    printf '%-44s exit %d  %6d MB\n' "$*" "$status" $((kb / 1024))
}

measure events
measure entrants show 1
measure participants show --general
measure participants show 1 CRS 1
measure participants show 1 OFC 1
measure classify 1 CRS 1
measure classify 1 CRS all
measure classify 1 OFC 1 --criterion 2
measure penalty show 1 1
measure laps 1 CRS 1 1
measure laps 1 CRS 1 --dump
measure laps 1 LLR 1 1
measure export 1 "$WORK/export.txt"
measure result-tables 1
measure print results 1 CRS 1 --pdf "$WORK/results.pdf"
measure print classification 1 CRS 1 --pdf "$WORK/classification.pdf"
measure correct 1 CRS 1 1 --lane 1 --laps 3
measure comes 1 CRS 1 1 --lane 1 --comes 0
measure archive 1 "$WORK/event.prb"
# A legal archive beyond the whole-file read limit: three members of 16 MB.
cli event create Gran 01-01-2027 >/dev/null
for f in A B C; do head -c 16777216 /dev/urandom >"$DATA/PROVA002/$f.BIN"; done
measure archive 2 "$WORK/large.prb"
measure unarchive "$WORK/large.prb"
