#!/bin/sh
# fuzz-run.sh TARGET SECONDS [BUILD-DIR]
# Runs one libFuzzer target for SECONDS, starting from where its earlier runs
# ended (fuzz/corpus/TARGET) and from its seeds, then merges everything it
# found into fuzz/corpus/TARGET with -merge=1 (only inputs that add coverage
# stay, so the corpus keeps small) and adds the run's executions and time to
# the table in docs/fuzzing.md. BUILD-DIR (default build-fuzz) is a clang
# tree configured with -DHV_BUILD_FUZZ=ON (see README, "Fuzzing").
# A crash stops the run: the input is kept as fuzz/regressions/TARGET/crash-*
# and the script exits 1.
set -eu
target=$1
seconds=$2
build=${3:-build-fuzz}
cd "$(dirname "$0")/.."
fuzzer=$build/fuzz/${target}_fuzzer
[ -x "$fuzzer" ] || { echo "fuzz-run.sh: no $fuzzer; build the fuzz tree first" >&2; exit 2; }
corpus=fuzz/corpus/$target
mkdir -p "$corpus"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/run" "$work/merged" "$work/crash"
cp "$corpus"/. "$work/run"/ -R 2>/dev/null || true

status=0
nice -n 10 "$fuzzer" "$work/run" "fuzz/seeds/$target" -max_total_time="$seconds" -print_final_stats=1 \
  -rss_limit_mb=2048 -artifact_prefix="$work/crash/" >"$work/log" 2>&1 || status=$?
executions=$(awk '/stat::number_of_executed_units/ {print $2}' "$work/log" | tail -1)
executions=${executions:-0}
if [ "$status" -ne 0 ]; then
  mkdir -p "fuzz/regressions/$target"
  cp "$work"/crash/* "fuzz/regressions/$target"/ 2>/dev/null || true
  tail -40 "$work/log" >&2
  echo "fuzz-run.sh: $target failed after $executions executions; input kept in fuzz/regressions/$target/" >&2
  exit 1
fi

nice -n 10 "$fuzzer" -merge=1 "$work/merged" "$work/run" >"$work/merge.log" 2>&1
rm -f "$corpus"/*
cp "$work"/merged/* "$corpus"/ 2>/dev/null || true
files=$(find "$corpus" -type f | wc -l)
bytes=$(du -sb "$corpus" | cut -f1)

# The table: | target | executions | seconds | corpus inputs | corpus bytes |
table=docs/fuzzing.md
awk -v t="$target" -v e="$executions" -v s="$seconds" -v f="$files" -v b="$bytes" '
  BEGIN { FS = "|"; done = 0 }
  /^\| `[a-z0-9_]+` \|/ {
    name = $2; gsub(/[ `]/, "", name)
    if (name == t) {
      ex = $3 + 0; se = $4 + 0
      printf "| `%s` | %d | %d | %d | %d |\n", t, ex + e, se + s, f, b
      done = 1; next
    }
  }
  /^<!-- end of table -->/ && !done { printf "| `%s` | %d | %d | %d | %d |\n", t, e, s, f, b; done = 1 }
  { print }
' "$table" >"$work/table" && cat "$work/table" >"$table"
echo "$target: $executions executions in ${seconds} s; corpus $files inputs, $bytes bytes"
