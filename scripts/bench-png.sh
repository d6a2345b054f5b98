#!/bin/sh
# Whole-process figures of `hvtool render --fit 1600x1200` of the E-size 400 dpi
# Group 4 sheet written as PBM and as PNG: best and median wall time and best
# processor time (user + system, less disturbed by other load) of RUNS runs,
# and the output size. HVTOOL picks the hvtool binary (default: the
# Release tree build-bench, built here); OTHER_HVTOOL, when set, is timed
# the same way beside it (an earlier build, say).
set -eu
cd "$(dirname "$0")/.."
RUNS=${RUNS:-15}
if [ -z "${HVTOOL:-}" ]; then
  scripts/build.sh build-bench -DCMAKE_BUILD_TYPE=Release -DHV_BUILD_BENCH=ON -DHV_BUILD_TESTS=OFF >/dev/null
  HVTOOL=build-bench/tools/hvtool/hvtool
fi
tif=${TIF:-build-bench/bench/data/e-size-400-g4.tif}
[ -f "$tif" ] || build-bench/bench/hvbench --benchmark_filter=NONE >/dev/null
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

time_runs() {  # time_runs LABEL HVTOOL OUT: best and median of RUNS runs
  python3 - "$RUNS" "$@" <<'PY'
import os, resource, subprocess, sys, time
runs, label, tool, out, tif = int(sys.argv[1]), sys.argv[2], sys.argv[3], sys.argv[4], os.environ["TIF"]
times, cpu = [], []
for _ in range(runs):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    start = time.perf_counter()
    subprocess.run([tool, "render", tif, out, "--fit", "1600x1200"], check=True)
    times.append(time.perf_counter() - start)
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    cpu.append(after.ru_utime + after.ru_stime - before.ru_utime - before.ru_stime)
times.sort()
print("%-12s wall best %6.1f ms median %6.1f ms, cpu best %6.1f ms, %8d bytes"
      % (label, times[0] * 1000, times[len(times) // 2] * 1000, min(cpu) * 1000, os.path.getsize(out)))
PY
}

export TIF="$tif"
echo "hvtool render $tif --fit 1600x1200, $RUNS runs"
for tool in "$HVTOOL" ${OTHER_HVTOOL:+"$OTHER_HVTOOL"}; do
  name=$( [ "$tool" = "$HVTOOL" ] && echo this || echo other )
  time_runs "$name: PBM" "$tool" "$out/a.pbm"
  time_runs "$name: PNG" "$tool" "$out/a.png"
done
