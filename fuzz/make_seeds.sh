#!/usr/bin/env bash
# Rewrites the seed corpus fuzz/corpus/ from the files of a short event run with the
# command-line companion of a normal build ($BUILD_DIR, default build/), the way the
# end-to-end tests run one. Run it after a file layout changes.
set -euo pipefail
cd "$(dirname "$0")/.."
CLI=$PWD/${BUILD_DIR:-build}/cronovolta-cli
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
data=$work/data
mkdir -p "$data"
cli() { "$CLI" --data "$data" "$@" >/dev/null; }

cli settings set language=ca model=DS030 comes=-1 colours=12,10,15,14,11
cli track set lanes=8 circuits=2 first-lanes=1,5 min-lap=2,5 largest-partial=100
cli event create "Open de Sabadell" 07-12-2026
cli event create "Resistència Vallès" 08-12-2026
cli entrants set 1 "Pere Roca" "Anna Soler" "Joan Puig" "Marta Vidal" "Lluís Ferrer"
cli series add 1 OFC
cli series add 1 CRS
cli participants set 1 OFC 1 "Pere Roca" "Anna Soler" "Joan Puig" "Marta Vidal"
cli participants set 1 CRS 1 "Pere Roca" "Anna Soler" "Joan Puig" "Marta Vidal" "Lluís Ferrer"
for model in DS003 DS030 DS300 DS4port DS200; do
  cli simulate --model "$model" --lanes 8 --cars 4 --heats 2 --heat-length 40 --pause 5 \
    --lap-time 4 --seed 7 --capture "$work/$model.txt"
done
cli replay 1 CRS 1 "$work/DS030.txt"
cli settings set model=DS300
cli track set split=on partial-lane=7 speed-lane=8 speed-distance=40
cli replay 1 OFC 1 "$work/DS300.txt"
cli archive 1 "$work/PROVA001.prb"

rm -rf fuzz/corpus
seed() { # seed TARGET NAME FILE
  mkdir -p "fuzz/corpus/$1"
  cp "$3" "fuzz/corpus/$1/$2"
}
event=$data/PROVA001
seed catalogue PROVES.LLS "$data/PROVES.LLS"
seed event_header PROVA.DAD "$event/PROVA.DAD"
seed track_settings PISTA.CFG "$data/PISTA.CFG"
seed track_settings PISTA-event.CFG "$event/PISTA.CFG"
seed program_settings ZENTOR.CFG "$data/ZENTOR.CFG"
seed archive PROVA001.prb "$work/PROVA001.prb"
for f in "$event"/*.PAR; do seed participants "$(basename "$f")" "$f"; done
for f in "$event"/*.VAV; do seed lap_records "$(basename "$f")" "$f"; done
for f in "$event"/OFC*.DAD "$event"/CRS*.DAD; do seed heat_results "$(basename "$f")" "$f"; done
# Participant 2 one lap, participant 4 a lap and a half with two reasons.
printf '\002\000\000\000\200\077\006\000sortidar\004\000\000\000\300\077\013\000tall, xoc 3' \
  >"$work/CRS001.PEN"
seed penalties CRS001.PEN "$work/CRS001.PEN"
printf ' 1 \r\n 4 \r\n 1 \r\n 2 \r\n 36125.5 \r\n 36190.25 \r\n' >"$work/ZTR4.TMP"
seed resume_file ZTR4.TMP "$work/ZTR4.TMP"
printf ' 0 \r\n 0 \r\n 1 \r\n 0 \r\n 0 \r\n-1 \r\n' >"$work/ZTR4.INI"
seed window_state ZTR4.INI "$work/ZTR4.INI"
printf '/dev/ttyUSB0\n\n  /tmp/COM3 \r\n' >"$work/PORTS.TXT"
seed port_map PORTS.TXT "$work/PORTS.TXT"
printf '8 8\n12;4\n16, 6\r\n24\t5\n' >"$work/DISTRIBUCIONS08.TXT"
seed distribution_table DISTRIBUCIONS08.TXT "$work/DISTRIBUCIONS08.TXT"
for model in DS003 DS030 DS300; do
  head -c 2000 "$work/$model.txt" | sed '$d' >"$work/$model.cap"
  seed capture "$model.txt" "$work/$model.cap"
done
printf '# keys and manual crossings\n36000.0000 key S\n36001.5000 lane 3\n36002,25 key esc\n' \
  >"$work/keys.txt"
seed capture keys.txt "$work/keys.txt"

# Several files in one seed: a 16-bit length before each but the last.
pack() { # pack TARGET NAME FILE...
  mkdir -p "fuzz/corpus/$1"
  local out=fuzz/corpus/$1/$2 n
  shift 2
  : >"$out"
  while [ $# -gt 1 ]; do
    n=$(stat -c %s "$1")
    printf "\\$(printf %03o $((n % 256)))\\$(printf %03o $((n / 256)))" >>"$out"
    cat "$1" >>"$out"
    shift
  done
  cat "$1" >>"$out"
}
pack classification CRS001 "$event/PISTA.CFG" "$event/CRS001.PAR" "$work/CRS001.PEN" \
  "$event/CRS001.DAD"
pack classification OFC001 "$event/PISTA.CFG" "$event/OFC001.PAR" /dev/null "$event/OFC001.DAD"
# The heat target's first byte is the programme: 0 official practice, 2 race.
heat_seed() { # heat_seed NAME PROGRAMME FILE...
  local name=$1 programme=$2
  shift 2
  pack heat_files "$name" "$@"
  { printf "\\$programme"; cat "fuzz/corpus/heat_files/$name"; } >"$work/seed"
  mv "$work/seed" "fuzz/corpus/heat_files/$name"
}
heat_seed CRS001 2 "$event/PISTA.CFG" "$event/CRS001.PAR" "$event/CRS001.DAD" \
  "$event/CRS001.VAV" /dev/null /dev/null
heat_seed OFC001 0 "$event/PISTA.CFG" "$event/OFC001.PAR" "$event/OFC001.DAD" \
  "$event/OFC001.VAV" /dev/null /dev/null
# The journals left by a stop in the middle of the first heat: nine records, and "+2" on
# lane 3 after the fifth.
head -c 240 "$event/CRS001.VAV" >"$work/VLTAVLT.TMP"
{ printf '\000\000'; tail -c +3 "$event/CRS001.PAR"; } >"$work/first.PAR"
printf '\001\000\003\000\001\000\000\000\000\040\014\107\000\000\240\100' >"$work/adj"
cat "$work/adj" "$work/adj" >"$work/VLTAVLT.AJS"
seed lap_adjustments VLTAVLT.AJS "$work/VLTAVLT.AJS"
heat_seed CRS001-journal 2 "$event/PISTA.CFG" "$work/first.PAR" /dev/null /dev/null \
  "$work/VLTAVLT.TMP" "$work/VLTAVLT.AJS"

# The counters' targets take a track byte (eight lanes on one circuit; for the DS300 family
# the model in its top bits) before the bytes of circuit 1.
stream() { # stream TARGET NAME TRACKBYTE CAPTURE
  mkdir -p "fuzz/corpus/$1"
  {
    printf "\\$(printf %03o "$3")"
    awk '$2 == "1" { for (i = 3; i <= NF; i++) printf "\\x%s", $i }' "$4" |
      head -c 12000 | xargs -0 printf '%b'
  } >"fuzz/corpus/$1/$2"
}
stream counter_ds003 DS003 0 "$work/DS003.txt"
stream counter_ds030 DS030 0 "$work/DS030.txt"
stream counter_ds300 DS300 0 "$work/DS300.txt"
stream counter_ds300 DS4port 64 "$work/DS4port.txt"
stream counter_ds300 DS200 128 "$work/DS200.txt"
du -sh fuzz/corpus
