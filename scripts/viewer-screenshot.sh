#!/bin/sh
# viewer-screenshot.sh BUILD_DIR OUT.png [FILE]: starts the viewer on a drawing
# (the bundled sample by default) on a private X server (Xvfb, 1600 x 1000)
# and a private session bus, waits until it has painted, takes a screenshot
# of the screen and ends the viewer.
set -eu
build=$1
out=$2
file=${3:-samples/sample-drawing.tif}
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
display=:$((90 + $$ % 100))
Xvfb "$display" -screen 0 1600x1000x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -rf "$home"' EXIT
sleep 1
HOME=$home XDG_CONFIG_HOME=$home/.config DISPLAY=$display QT_QPA_PLATFORM=xcb \
  dbus-run-session -- sh -c '
    "$1" "$2" & viewer=$!
    sleep 4
    import -display "$3" -window root "$4"
    kill $viewer' sh "$build/viewer/viewer" "$file" "$display" "$out"
echo "Screenshot of the viewer on $file: $out"
