#!/bin/sh
# Makes the screenshot of the image file dialog that the README shows: an
# Open dialog in a folder with a DOCFILES.IDX, on a virtual X display.
# Needs Xvfb (scripts/setup-deps.sh) and a build tree (default: build).
set -eu
cd "$(dirname "$0")/.."
tree=${1:-build}
cmake --build "$tree" --target tarnwick-demo
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p docs/screenshots
# Fixed times for the listing so that the picture does not change per run.
QT_QPA_PLATFORM=offscreen "$tree/filedialog/tarnwick-demo" "$work/Drawings" --make-sample \
  --drawing samples/sample-drawing.tif --screenshot "$work/unused.png" >/dev/null
find "$work/Drawings" -exec touch -h -d "2024-03-18 09:42" {} +
xvfb-run -a -s "-screen 0 1280x800x24" env -u QT_QPA_PLATFORM \
  "$tree/filedialog/tarnwick-demo" "$work/Drawings" --highlight "$work/Drawings/OPTI0003.TIF" \
  --screenshot docs/screenshots/tarnwick-open.png
echo "docs/screenshots/tarnwick-open.png"
