#!/bin/sh
# Installs what is missing, builds, and runs the main job on the bundled
# sample drawing: hvtool identifies it, describes it and decodes it.
set -eu
cd "$(dirname "$0")/.."
scripts/setup-deps.sh
scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
sample=samples/sample-drawing.tif
build/tools/hvtool/hvtool identify "$sample"
build/tools/hvtool/hvtool info "$sample"
build/tools/hvtool/hvtool decode "$sample" build/sample-drawing.pbm
echo "Decoded $sample into build/sample-drawing.pbm"
