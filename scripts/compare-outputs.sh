#!/bin/sh
# compare-outputs.sh OLD_HVTOOL NEW_HVTOOL [HVGEN]
#
# Runs two builds of hvtool over the same inputs and checks that every output
# file, every standard output and error text and every exit status is
# byte-identical. Meant for changes that must not alter behaviour: build the
# old commit and the new one side by side and compare them.
#
# Inputs (made once, shared by both runs):
#  - generated drawings (hvgen, from NEW_HVTOOL's build tree unless HVGEN is
#    given) at several sheet sizes, odd pixel sizes and resolutions, stored as
#    TIFF Group 4, Group 3 1-D and 2-D, uncompressed and tiled (netpbm and
#    libtiff-tools), plus samples/sample-drawing.tif;
#  - the images of the open/load fuzz seeds and regressions and a sample of
#    its corpus (sound files of every format and malformed ones that must
#    fail the same way);
#  - folders holding INDEX.HOL, JMX.HOL and DOCFILES.IDX: hand-made ones and
#    one per record-parser fuzz input.
# Per image: identify, info, decode, convert to every target the old tool
# writes (each converted file is then decoded and identified again by both
# tools), render fitted, at 1:1, reduced, rotated 90/180/270, inverted,
# fast, from image memory, a scrolled rectangle and PNG. Per folder: records
# as text and as JSON.
#
# Prints one line per difference and a summary; exits 1 when anything
# differs. KEEP=1 keeps the scratch folder. PNG_PIXELS=1 counts two PNG files
# as equal when their headers and decoded rows are (for comparing across a
# change of the PNG compressor); they are counted in the summary.
set -eu
[ $# -ge 2 ] || { echo "usage: $0 OLD_HVTOOL NEW_HVTOOL [HVGEN]" >&2; exit 2; }
top=$(cd "$(dirname "$0")/.." && pwd)
abs() { (cd "$(dirname "$1")" && echo "$(pwd)/$(basename "$1")"); }
old=$(abs "$1")
new=$(abs "$2")
hvgen=${3:-$(dirname "$new")/../drawgen/hvgen}
hvgen=$(abs "$hvgen")
for p in "$old" "$new" "$hvgen"; do
  [ -x "$p" ] || { echo "$0: $p is not an executable" >&2; exit 2; }
done
for p in pnmtotiff tiffcp python3; do
  command -v $p >/dev/null || { echo "$0: $p is missing (scripts/setup-deps.sh)" >&2; exit 2; }
done

work=$(mktemp -d)
if [ "${KEEP:-0}" = 1 ]; then echo "scratch folder: $work"; else trap 'rm -rf "$work"' EXIT; fi
in=$work/in
mkdir -p "$in/img" "$in/dirs" "$work/old" "$work/new"

# --- Images -----------------------------------------------------------------
gen() {  # gen NAME HVGEN-ARGS...
  name=$1; shift
  "$hvgen" "$@" "$work/$name.pbm" >/dev/null
  pnmtotiff -g4 -rowsperstrip 100000 "$work/$name.pbm" >"$in/img/$name-g4.tif" 2>/dev/null
  tiffcp -c g3 "$in/img/$name-g4.tif" "$in/img/$name-g3.tif"
  tiffcp -c g3:2d "$in/img/$name-g4.tif" "$in/img/$name-g32d.tif"
  tiffcp -c none -r 64 "$in/img/$name-g4.tif" "$in/img/$name-raw-strips.tif"
  tiffcp -c g4 -t -w 512 -l 512 "$in/img/$name-g4.tif" "$in/img/$name-g4-tiled.tif"
  tiffcp -c g4 -f msb2lsb "$in/img/$name-g4.tif" "$in/img/$name-g4-lsb.tif"
  rm -f "$work/$name.pbm"
}
gen sheet-a-200 --sheet A --dpi 200 --seed 1
gen sheet-b-300 --sheet B --dpi 300 --seed 2
gen sheet-c-100 --sheet C --dpi 100 --seed 3
gen odd-1001x777 --size 1001x777 --seed 4
gen narrow-9x1500 --size 9x1500 --seed 5
gen tiny-1x1 --size 1x1 --seed 6
gen wide-4099x33 --size 4099x33 --seed 7
cp "$top/samples/sample-drawing.tif" "$in/img/sample-drawing.tif"
# Every seed and regression, and every CORPUS_STEP-th corpus file (default
# 8: all of them would take long).
step=${CORPUS_STEP:-8}
for d in seeds regressions corpus; do
  [ -d "$top/fuzz/$d/open_load" ] || continue
  n=0
  for f in "$top/fuzz/$d/open_load"/*; do
    n=$((n + 1))
    [ "$d" != corpus ] || [ $((n % step)) -eq 0 ] || continue
    cp "$f" "$in/img/fuzz-$d-$(basename "$f")"
  done
done

# --- Folders of index records -----------------------------------------------
python3 - "$in/dirs" "$top/fuzz" <<'PY'
import os, sys
dirs, fuzz = sys.argv[1], sys.argv[2]
def folder(name, files):
    d = os.path.join(dirs, name)
    os.makedirs(d, exist_ok=True)
    for fname, data in files.items():
        with open(os.path.join(d, fname), "wb") as f:
            f.write(data)
def holl(i, bip=" "):
    rec = ("srcdocid: DW%015d12345 A         WS0100010001RCAFU%04dE A1001 BNK 1%04X%s" % (i, i, i, bip)).ljust(100)
    return rec.encode()
def jmx(i):
    body = bytearray(b" " * 1072)
    body[0:10] = b"jmxrecid: "
    for k in range(10, 1034):
        body[k] = ord("A") + (k * 7 + i) % 26
    body[1034:1038] = b"%04X" % i
    return bytes(body)
def docfile(long, short, access):
    rec = bytearray(80)
    rec[0:len(long)] = long.encode()
    rec[64:64 + len(short)] = short.encode()
    rec[77] = ord(access); rec[78] = ord("R"); rec[79] = ord("W")
    return bytes(rec)
folder("all-three", {
    "INDEX.HOL": b"".join(holl(i) for i in range(5)) + b"\r\n",
    "JMX.HOL": b"".join(jmx(i) for i in range(3)),
    "DOCFILES.IDX": docfile("DW000000000000001 A SHEET 1", "DW000001.TIF", "R")
                    + docfile("x" * 64, "DW000002.TIF", "W") + docfile("FOLDER", "FOLDER", "D"),
})
folder("lower-case-names", {"index.hol": holl(7) + holl(8, "B"), "jmx.hol": jmx(9)})
folder("torn-tails", {"INDEX.HOL": holl(1) + b"srcdocid: short", "JMX.HOL": jmx(1) + b"jmxrecid: ",
                      "DOCFILES.IDX": docfile("a", "A.TIF", "R") + b"\0" * 17})
folder("crlf-between", {"INDEX.HOL": holl(1) + b"\r\n" + holl(2) + b"\r\n" + holl(3)})
folder("empty-files", {"INDEX.HOL": b"", "JMX.HOL": b"", "DOCFILES.IDX": b""})
folder("no-index-files", {"readme.txt": b"nothing here\n"})
names = ["INDEX.HOL", "JMX.HOL", "DOCFILES.IDX"]
for kind in ("seeds", "regressions", "corpus"):
    base = os.path.join(fuzz, kind)
    sub = os.path.join(base, "records_report")
    if os.path.isdir(sub):
        for n in sorted(os.listdir(sub)):
            data = open(os.path.join(sub, n), "rb").read()
            if data:
                folder("fuzz-%s-report-%s" % (kind, n), {names[data[0] % 3]: data[1:]})
    for which, fname in (("index_hol", "INDEX.HOL"), ("jmx_hol", "JMX.HOL"), ("docfiles_idx", "DOCFILES.IDX")):
        sub = os.path.join(base, which)
        if os.path.isdir(sub):
            for n in sorted(os.listdir(sub)):
                folder("fuzz-%s-%s-%s" % (kind, which, n), {fname: open(os.path.join(sub, n), "rb").read()})
PY

# --- Running both tools -----------------------------------------------------
# Each case runs in the tool's own output folder with relative output names,
# so that messages naming an output file read the same for both tools.
case_no=0
run_both() {  # run_both CASE ARGS...: runs both tools, keeps out/err/status
  name=$1; shift
  case_no=$((case_no + 1))
  for side in old new; do
    eval "tool=\$$side"
    mkdir -p "$work/$side/$name"
    set +e
    (cd "$work/$side/$name" && "$tool" "$@" >stdout 2>stderr; echo $? >status)
    set -e
  done
}

targets="TIFFGP4 TIFFGP3 TIFFGP3T TIFFRAWM TIFFGP4W CAL1GP4 CAL2GP4 EDM6GP4 AUD_RAWM DSEDGP4W"
for f in "$in/img"/*; do
  b=$(basename "$f")
  run_both "$b/identify" identify "$f"
  run_both "$b/info" info "$f"
  run_both "$b/decode" decode "$f" out.pbm
  case "$b" in fuzz-corpus-*)  # malformed mostly: reading and one render
    run_both "$b/render-fit" render "$f" out.pbm --fit 300x300
    continue ;;
  esac
  run_both "$b/render-whole" render "$f" out.pbm
  run_both "$b/render-fit" render "$f" out.pbm --fit 800x600
  run_both "$b/render-1to1" render "$f" out.pbm --window 640x480 --scale 1:1
  run_both "$b/render-1to1-rect" render "$f" out.pbm --window 300x200 --scale 1:1 --rect 100,50,400,250
  run_both "$b/render-reduced" render "$f" out.pbm --window 500x400 --scale 1:3,1:2
  run_both "$b/render-enlarged" render "$f" out.pbm --window 200x200 --scale 3:1
  for r in 900 1800 2700; do
    run_both "$b/render-fit-rot$r" render "$f" out.pbm --fit 700x500 --rotate $r
    run_both "$b/render-1to1-rot$r" render "$f" out.pbm --window 400x300 --scale 1:1 --rotate $r
  done
  run_both "$b/render-invert" render "$f" out.pbm --fit 640x640 --invert
  run_both "$b/render-fast" render "$f" out.pbm --fit 640x480 --fast
  run_both "$b/render-memory" render "$f" out.pbm --fit 640x480 --from-memory
  run_both "$b/render-memory-rot900" render "$f" out.pbm --window 300x300 --scale 1:2 --rotate 900 --from-memory
  run_both "$b/render-png" render "$f" out.png --fit 320x240
  for t in $targets; do
    code=$(echo "$t" | tr _ ' ')
    run_both "$b/convert-$t" convert "$f" out.img --to "$code"
  done
  run_both "$b/convert-TIFFGP4-aligned" convert "$f" out.img --to TIFFGP4 --align-width 16 --align-height 8
  run_both "$b/convert-CAL1GP4-1840b" convert "$f" out.img --to CAL1GP4 --1840b
done

# The converted files of the old tool, read back by both tools.
for conv in "$work/old"/*/convert-*/out.img; do
  [ -f "$conv" ] || continue
  rel=${conv#"$work/old/"}
  rel=$(echo "${rel%/out.img}" | tr / _)
  cp "$conv" "$in/img-converted-$rel"
done
for f in "$in"/img-converted-*; do
  [ -f "$f" ] || continue
  b=$(basename "$f")
  run_both "reread/$b/identify" identify "$f"
  run_both "reread/$b/info" info "$f"
  run_both "reread/$b/decode" decode "$f" out.pbm
  run_both "reread/$b/render-fit-rot900" render "$f" out.pbm --fit 500x500 --rotate 900
done

for d in "$in/dirs"/*; do
  b=$(basename "$d")
  run_both "records/$b/text" records "$d"
  run_both "records/$b/json" records --json "$d"
done

# --- Comparing --------------------------------------------------------------
same_png_pixels() {  # same_png_pixels A B: same IHDR and same decoded rows
  python3 - "$1" "$2" <<'PY'
import struct, sys, zlib
def rows(path):
    data, at, header, idat = open(path, "rb").read(), 8, None, b""
    while at + 8 <= len(data):
        (n,) = struct.unpack(">I", data[at:at + 4])
        kind, body = data[at + 4:at + 8], data[at + 8:at + 8 + n]
        if kind == b"IHDR": header = body
        if kind == b"IDAT": idat += body
        at += 12 + n
    return header, zlib.decompress(idat)
sys.exit(0 if rows(sys.argv[1]) == rows(sys.argv[2]) else 1)
PY
}
differ=0
files=0
reencoded=0
cd "$work/old"
for f in $(find . -type f | sort); do
  files=$((files + 1))
  if [ ! -f "$work/new/$f" ]; then
    echo "only in old: $f"; differ=$((differ + 1))
  elif ! cmp -s "$f" "$work/new/$f"; then
    case "$f" in
      *.png)
        if [ "${PNG_PIXELS:-0}" = 1 ] && same_png_pixels "$f" "$work/new/$f"; then
          reencoded=$((reencoded + 1)); continue
        fi ;;
    esac
    echo "differs: $f"; differ=$((differ + 1))
  fi
done
cd "$work/new"
for f in $(find . -type f | sort); do
  [ -f "$work/old/$f" ] || { echo "only in new: $f"; differ=$((differ + 1)); }
done
failed=$(grep -L '^0$' $(find "$work/old" -name status) | wc -l)
[ "$reencoded" -eq 0 ] || echo "$reencoded PNG file(s) with other bytes but the same header and rows"
echo "$case_no cases, $files files compared ($failed cases end with a failure status in both), $differ difference(s)"
[ "$differ" -eq 0 ]
