#!/bin/sh
# Installs what is missing, builds, and runs the main job on the bundled
# sample drawing: hvtool identifies and describes it, then the viewer shows
# it. With a display the viewer runs until it is closed; without one it runs
# on a private X server (Xvfb), a screenshot goes to build/viewer-sample.png
# and the viewer ends.
set -eu
cd "$(dirname "$0")/.."
scripts/setup-deps.sh
scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
sample=samples/sample-drawing.tif
build/tools/hvtool/hvtool identify "$sample"
build/tools/hvtool/hvtool info "$sample"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec build/viewer/viewer "$sample"
fi
scripts/viewer-screenshot.sh build build/viewer-sample.png "$sample"
