#!/bin/sh
# bench-interleaved.sh OLD_HVBENCH NEW_HVBENCH [ROUNDS] [FILTER]
#
# Measures two builds of hvbench (for example the commit before a change and
# the one after, each built with scripts/bench.sh or the same options) in one
# run: ROUNDS rounds (default 5), each running OLD then NEW with three
# repetitions, so that both see the same machine load. Prints, per benchmark,
# the median real and CPU time of each build over all repetitions and
# NEW/OLD. On a shared machine the CPU time is the steadier figure.
# FILTER defaults to the engine's decode, load, encode and render benchmarks.
set -eu
[ $# -ge 2 ] || { echo "usage: $0 OLD_HVBENCH NEW_HVBENCH [ROUNDS] [FILTER]" >&2; exit 2; }
old=$1 new=$2 rounds=${3:-5}
filter=${4:-'BM_(Engine|Render)_'}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
i=1
while [ "$i" -le "$rounds" ]; do
  for side in old new; do
    eval "bin=\$$side"
    "$bin" --benchmark_filter="$filter" --benchmark_repetitions=3 --benchmark_format=json \
      2>/dev/null >"$out/$side-$i.json"
  done
  i=$((i + 1))
done
python3 - "$out" "$rounds" <<'PY'
import glob, json, statistics, sys, os
def load(side):
    runs = {}
    for path in sorted(glob.glob(os.path.join(sys.argv[1], side + "-*.json"))):
        for b in json.load(open(path))["benchmarks"]:
            if b.get("run_type") != "iteration": continue
            runs.setdefault(b["run_name"], []).append((b["real_time"], b["cpu_time"], b["time_unit"]))
    return runs
old, new = load("old"), load("new")
print("medians over %s rounds x 3 repetitions; real (wall) and CPU time" % sys.argv[2])
print("%-44s %11s %11s %6s %11s %11s %6s" % ("benchmark", "old real", "new real", "ratio", "old cpu", "new cpu", "ratio"))
for name in old:
    if name not in new: continue
    med = lambda runs, k: statistics.median(r[k] for r in runs)
    o, n = med(old[name], 0), med(new[name], 0)
    oc, nc = med(old[name], 1), med(new[name], 1)
    u = old[name][0][2]
    print("%-44s %8.2f %-2s %8.2f %-2s %6.3f %8.2f %-2s %8.2f %-2s %6.3f" % (name, o, u, n, u, n / o, oc, u, nc, u, nc / oc))
PY
