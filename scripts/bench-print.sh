#!/bin/sh
# Printing figures, taken against the private CUPS server of
# tests/support/cups-harness.sh (its PDF queue is the default destination):
#  1. tessap hands 50 generated D-size 200 dpi drawings (Group 4 TIFF) to the
#     print system: wall time and peak resident memory (/usr/bin/time -v).
#  2. The whole E-size 400 dpi sheet printed through the printing module:
#     time until the job is handed to the print system and the growth of
#     the process while printing (hv_print_handover).
# Uses the Release tree build-print (built here).
set -eu
cd "$(dirname "$0")/.."
. /etc/profile.d/zz-ccache.sh 2>/dev/null || true
scripts/build.sh build-print -DCMAKE_BUILD_TYPE=Release -DHV_BUILD_TESTS=OFF >/dev/null
b=build-print
data=${HV_PRINT_BENCH_DATA:-$b/print-bench-data}
mkdir -p "$data"
# The drawings are made once and kept.
i=1
while [ $i -le 50 ]; do
  f="$data/d-$i.tif"
  if [ ! -f "$f" ]; then
    "$b/tools/drawgen/hvgen" --sheet D --dpi 200 --seed $i "$data/tmp.pbm"
    pnmtotiff -g4 "$data/tmp.pbm" >"$data/tmp.tif" 2>/dev/null
    mv "$data/tmp.tif" "$f"
  fi
  i=$((i + 1))
done
if [ ! -f "$data/e-400.tif" ]; then
  "$b/tools/drawgen/hvgen" --sheet E --dpi 400 --seed 1 "$data/tmp.pbm"
  pnmtotiff -g4 "$data/tmp.pbm" >"$data/tmp.tif" 2>/dev/null
  mv "$data/tmp.tif" "$data/e-400.tif"
fi
rm -f "$data/tmp.pbm"

tessap=$(pwd)/$b/batchprint/program/tessap
handover=$(pwd)/$b/desktop/hv_print_handover
datadir=$(cd "$data" && pwd)
tests/support/cups-harness.sh sh -c '
  set -eu
  list=$(mktemp)
  i=1
  while [ $i -le 50 ]; do echo "'"$datadir"'/d-$i.tif" >>"$list"; i=$((i + 1)); done
  /usr/bin/time -v "'"$tessap"'" -b "$list" 2>"$list.time"
  wall=$(sed -n "s/.*Elapsed (wall clock) time (h:mm:ss or m:ss): //p" "$list.time")
  rss=$(sed -n "s/.*Maximum resident set size (kbytes): //p" "$list.time")
  echo "tessap, 50 D-size 200 dpi drawings: wall $wall, peak RSS $rss kB (target: under 15 s, under 100 MB)"
  rm -f "$list.time"
  "'"$handover"'" "'"$datadir"'/e-400.tif" | sed "s/^/E-size 400 dpi sheet: /"
  echo "(target: under 1.5 s, growth under 64 MB)"
'
