#!/bin/sh
# print_cycle_through_cups.sh VIEWER DRAWING
#
# Runs inside tests/support/cups-harness.sh: starts `VIEWER -print "DRAWING"`
# with a private home on a private session bus and checks that the print
# cycle hands exactly one job to the default queue, which writes one PDF of
# one page, and that the viewer closes the document afterwards.
set -u
viewer=$1
drawing=$2
[ -n "${HV_CUPS_PDF_DIR:-}" ] || { echo "run me inside cups-harness.sh" >&2; exit 2; }
home=$(mktemp -d "${TMPDIR:-/tmp}/hvprintcycle.XXXXXX") || exit 1
vpid=""
data=""
finish() {
  [ -n "$vpid" ] && kill "$vpid" 2>/dev/null
  wait
  rm -rf "$home" "$data"
}
trap finish EXIT
# The drawing lies outside the temporary folder (files from there are first
# copied into the image queue), in the test's working folder.
data=$(mktemp -d "$PWD/printcycle.XXXXXX") || exit 1
mkdir -p "$home/config" "$home/cache"
cp "$drawing" "$data/drawing.tif"
export HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_CACHE_HOME="$home/cache"
export QT_QPA_PLATFORM=offscreen
unset DISPLAY WAYLAND_DISPLAY
# The viewer's own process id is kept so that it, not only the bus session
# around it, is ended at the end.
dbus-run-session -- sh -c 'echo $$ >"$1"; exec "$2" -print "$3"' sh "$home/viewer.pid" "$viewer" \
  "$data/drawing.tif" >"$home/viewer.log" 2>&1 &
i=0
while [ ! -s "$home/viewer.pid" ] && [ $i -lt 100 ]; do sleep 0.1; i=$((i + 1)); done
vpid=$(cat "$home/viewer.pid" 2>/dev/null)

count_pdfs() { find "$HV_CUPS_PDF_DIR" -name '*.pdf' 2>/dev/null | wc -l; }
i=0
while [ "$(count_pdfs)" -lt 1 ] && [ $i -lt 600 ]; do sleep 0.1; i=$((i + 1)); done
if [ "$(count_pdfs)" -lt 1 ]; then
  echo "no PDF after 60 s" >&2
  cat "$home/viewer.log" >&2
  lpstat -W all -o >&2
  exit 1
fi
# The cycle closes the document ten timer ticks after printing; a second job
# would have to arrive meanwhile.
sleep 8
n=$(count_pdfs)
if [ "$n" -ne 1 ]; then
  echo "expected exactly one PDF, found $n" >&2
  ls -l "$HV_CUPS_PDF_DIR" >&2
  exit 1
fi
pdf=$(find "$HV_CUPS_PDF_DIR" -name '*.pdf' | head -n 1)
if command -v pdfinfo >/dev/null 2>&1; then
  pages=$(pdfinfo "$pdf" | awk '/^Pages:/ {print $2}')
  [ "$pages" = "1" ] || { echo "the PDF has $pages pages" >&2; exit 1; }
fi
kill -0 "$vpid" 2>/dev/null || { echo "the viewer ended by itself" >&2; cat "$home/viewer.log" >&2; exit 1; }
echo "one PDF of one page: $pdf"
exit 0
