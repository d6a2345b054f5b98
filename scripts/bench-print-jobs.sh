#!/bin/sh
# Whole-process figures of `hvtool print-jobs` writing one print server job
# of 100 drawings (copies of the bundled sample), against copying the same
# 100 files with cp: the difference is what the job costs beyond moving the
# drawings' bytes. Prints the median wall time of RUNS runs of each.
# HVTOOL (default build/tools/hvtool/hvtool) names the program to time.
set -eu
cd "$(dirname "$0")/.."
RUNS=${RUNS:-9}
COUNT=${COUNT:-100}
HVTOOL=${HVTOOL:-build/tools/hvtool/hvtool}
[ -x "$HVTOOL" ] || { echo "$HVTOOL is missing: build it first" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/drawings"
i=1
while [ $i -le "$COUNT" ]; do
  cp samples/sample-drawing.tif "$work/drawings/$(printf 'A%04d-SH1.tif' $i)"
  i=$((i + 1))
done

now() { date +%s%N; }
median() { sort -n | awk '{a[NR]=$1} END{m=a[int((NR+1)/2)]; printf "%.3f", m/1e9}'; }

run_jobs() {
  rm -rf "$work/spool"; mkdir "$work/spool"
  t0=$(now)
  "$HVTOOL" print-jobs "$work"/drawings/*.tif --server 10.1.2.3 --dir "$work/spool" >/dev/null
  t1=$(now)
  echo $((t1 - t0))
}
run_copy() {
  rm -rf "$work/copy"; mkdir "$work/copy"
  t0=$(now)
  cp "$work"/drawings/*.tif "$work/copy/"
  t1=$(now)
  echo $((t1 - t0))
}

run_jobs >/dev/null; run_copy >/dev/null  # warm the page cache
: > "$work/jobs.t"; : > "$work/copy.t"
i=0
while [ $i -lt "$RUNS" ]; do
  run_jobs >> "$work/jobs.t"
  run_copy >> "$work/copy.t"
  i=$((i + 1))
done
bytes=$(du -sb "$work/drawings" | cut -f1)
echo "drawings: $COUNT, $bytes bytes; job files written: $(ls "$work/spool" | wc -l)"
echo "hvtool print-jobs: median $(median < "$work/jobs.t") s"
echo "cp of the drawings: median $(median < "$work/copy.t") s"
