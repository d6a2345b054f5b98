#!/bin/sh
# viewer-zoomed-screenshot.sh BUILD_DIR OUT.png [FILE]: starts the viewer on a
# drawing (the bundled sample by default) on a private X server (Xvfb,
# 1600 x 1000) and a private session bus, and works it with xdotool as a user
# would: a rubber band and the right button zoom into a part of the drawing,
# the View menu turns the overview on, and a second rubber band is dragged so
# that its size in inches shows in the status bar. Then it takes a
# screenshot of the screen and ends the viewer.
set -eu
build=$1
out=$2
file=${3:-samples/sample-drawing.tif}
for tool in Xvfb xdotool import dbus-run-session; do
  command -v "$tool" >/dev/null 2>&1 || { echo "$tool is missing (scripts/setup-deps.sh installs it)" >&2; exit 1; }
done
home=$(mktemp -d)
display=:$((90 + $$ % 100))
Xvfb "$display" -screen 0 1600x1000x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -rf "$home"' EXIT
sleep 1
HOME=$home XDG_CONFIG_HOME=$home/.config XDG_CACHE_HOME=$home/.cache DISPLAY=$display QT_QPA_PLATFORM=xcb \
  dbus-run-session -- sh -c '
    set -eu
    "$1" "$2" & viewer=$!
    trap "kill $viewer 2>/dev/null" EXIT
    xdotool search --sync --onlyvisible --name "Halvor Image Viewer" >/dev/null
    sleep 3
    # Zoom into the details at the top left: a band, then the right button.
    xdotool mousemove 250 150 mousedown 1 mousemove 420 260 mousemove 560 360 mouseup 1
    sleep 0.5
    xdotool click 3
    sleep 2
    # The overview, from the View menu: opened from the keyboard its first
    # entry is active, and "Overview" is the twelfth.
    xdotool key alt+v
    sleep 0.5
    xdotool key Down Down Down Down Down Down Down Down Down Down Down Return
    sleep 2
    # A selection whose size the status bar shows; the button stays down
    # for the picture, as while dragging.
    xdotool mousemove 300 300 mousedown 1 mousemove 500 450 mousemove 700 600
    sleep 1
    import -display "$3" -window root "$4"
    xdotool mouseup 1' sh "$build/viewer/viewer" "$file" "$display" "$out"
echo "Screenshot of the zoomed viewer on $file: $out"
