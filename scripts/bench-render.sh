#!/bin/sh
# Whole-process figures of fitting the E-size 400 dpi Group 4 drawing into a
# 1600 x 1200 window: `hvtool render --fit` against vipsthumbnail making an
# image of the same size from the same file. Prints the best wall time of
# RUNS runs and the peak resident memory of each program.
# Uses the Release tree build-bench (scripts/bench.sh builds it and caches
# the drawing); vipsthumbnail comes from libvips-tools (scripts/setup-deps.sh).
set -eu
cd "$(dirname "$0")/.."
RUNS=${RUNS:-7}
scripts/build.sh build-bench -DCMAKE_BUILD_TYPE=Release -DHV_BUILD_BENCH=ON -DHV_BUILD_TESTS=OFF >/dev/null
tif=build-bench/bench/data/e-size-400-g4.tif
[ -f "$tif" ] || build-bench/bench/hvbench --benchmark_filter=NONE >/dev/null
hvtool=build-bench/tools/hvtool/hvtool
command -v vipsthumbnail >/dev/null || { echo "vipsthumbnail is missing (libvips-tools)" >&2; exit 1; }
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

# The window size; vipsthumbnail fits the sheet into the same box.
"$hvtool" render "$tif" "$out/fit.pbm" --fit 1600x1200
size=$(awk 'NR==1{next} {print; exit}' "$out/fit.pbm")

best() {  # best() LABEL COMMAND...: best wall time and peak RSS over RUNS runs
  label=$1; shift
  bt=999999; bm=0
  i=0
  while [ $i -lt "$RUNS" ]; do
    /usr/bin/time -f "%e %M" -o "$out/t" "$@" >/dev/null 2>&1
    read -r t m < "$out/t"
    bt=$(awk -v a="$t" -v b="$bt" 'BEGIN{print (a<b)?a:b}')
    bm=$(awk -v a="$m" -v b="$bm" 'BEGIN{print (a>b)?a:b}')
    i=$((i + 1))
  done
  printf '%-40s best %6.3f s   peak RSS %7d KB\n' "$label" "$bt" "$bm"
  eval "${label%% *}_t=$bt; ${label%% *}_m=$bm"
}

echo "E-size 400 dpi G4 ($tif), window $size"
best "hvtool render --fit 1600x1200" "$hvtool" render "$tif" "$out/a.pbm" --fit 1600x1200
best "vipsthumbnail --size ${size% *}x${size#* }" vipsthumbnail "$tif" --size "${size% *}x${size#* }" -o "$out/b.png"
awk -v a="$hvtool_t" -v b="$vipsthumbnail_t" -v c="$hvtool_m" -v d="$vipsthumbnail_m" \
  'BEGIN{printf "speed-up %.1fx, memory %.1f%% of vipsthumbnail\n", b/a, 100*c/d}'
