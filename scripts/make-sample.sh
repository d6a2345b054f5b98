#!/bin/sh
# Regenerates samples/sample-drawing.tif: a D-size sheet (34 x 22 in) at
# 200 dpi from the drawing generator, stored as one strip of CCITT Group 4
# (MSB-first fill order, min-is-white, 200 dpi resolution tags).
# Needs netpbm and libtiff-tools (scripts/setup-deps.sh installs them).
set -eu
cd "$(dirname "$0")/.."
top=$(pwd)
build=${1:-build}
[ -x "$build/tools/drawgen/hvgen" ] || scripts/build.sh "$build"
hvgen=$top/$build/tools/drawgen/hvgen
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
"$hvgen" --sheet D --dpi 200 --seed 1 sample-drawing.pbm
pnmtotiff -g4 -rowsperstrip 4400 -xresolution 200 -yresolution 200 -resolutionunit inch \
  sample-drawing.pbm > g4.tif
tiffcp -c g4 -f msb2lsb -r 4400 g4.tif sample-drawing.tif
cp sample-drawing.tif "$top/samples/sample-drawing.tif"
echo "wrote samples/sample-drawing.tif"
