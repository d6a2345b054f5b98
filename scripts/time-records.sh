#!/bin/sh
# time-records.sh [HVTOOL]: makes a 60 MiB INDEX.HOL (629,145 records) in a
# scratch folder and times "hvtool records" on it, text and JSON, with
# /usr/bin/time -v (wall clock and peak memory).
set -eu
tool=${1:-build/tools/hvtool/hvtool}
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
python3 - "$dir/INDEX.HOL" <<'PY'
import sys
with open(sys.argv[1], "wb") as f:
    chunk = []
    for i in range(629145):
        rec = ("srcdocid: DW%015d12345 A         WS0100010001RCAFU%04dE A1001 BNK 1%04XB" % (i, i % 10000, i % 65536)).ljust(100)
        chunk.append(rec.encode())
        if len(chunk) == 10000:
            f.write(b"".join(chunk)); chunk = []
    f.write(b"".join(chunk) + b"\r\n")
PY
ls -l "$dir/INDEX.HOL"
for form in "" --json; do
  echo "== $tool records DIR $form > DIR/out"
  /usr/bin/time -v "$tool" records "$dir" $form >"$dir/out" 2>"$dir/time" || true
  grep -E 'Elapsed|Maximum resident|Exit status' "$dir/time"
done
