#!/bin/sh
# Installs the build tree into a scratch DESTDIR and checks the desktop
# integration there: the installed files and links, the desktop entry, the
# MIME package and what it names drawings made by the installed hvtool, and
# the thumbnailer command for every drawing type.
# usage: install_test.sh BUILD_DIR SOURCE_DIR
set -eu
build=$(cd "$1" && pwd)
src=$(cd "$2" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

dest=$work/dest
prefix=/opt/halvor-test
DESTDIR=$dest cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 || {
  cat "$work/install.log"; exit 1; }
root=$dest$prefix
share=$root/share

# Files: the programs that exist in this tree, the libraries, the shipped data.
hvtool=$root/bin/hvtool
[ -x "$hvtool" ] || fail "bin/hvtool is missing"
ls "$root"/lib*/libhalvorcore.so >/dev/null 2>&1 || fail "libhalvorcore.so is missing"
for f in "$src"/share/*; do
  cmp -s "$f" "$share/halvor/$(basename "$f")" || fail "share/halvor/$(basename "$f") is missing or differs"
done
if [ -x "$root/bin/tessap" ]; then
  [ "$(readlink "$root/bin/tessap32")" = tessap ] || fail "bin/tessap32 does not lead to tessap"
fi
for f in applications/halvor-viewer.desktop icons/hicolor/scalable/apps/halvor-viewer.svg \
         mime/packages/halvor-viewer.xml thumbnailers/halvor-viewer.thumbnailer; do
  [ -f "$share/$f" ] || fail "share/$f is missing"
done
# The installed programs run from the installed tree alone: libraries by
# their run path, data files from ../share/halvor/.
if ldd "$hvtool" | grep -q "not found"; then fail "hvtool misses libraries: $(ldd "$hvtool" | grep 'not found')"; fi
ldd "$hvtool" | grep -q "$root" || fail "hvtool does not take libhalvorcore from the installed tree"

# The installed viewer answers --help and --version without a display.
if [ -x "$root/bin/viewer" ]; then
  env -u DISPLAY -u WAYLAND_DISPLAY "$root/bin/viewer" --help >"$work/help.txt" 2>&1 &&
    grep -q "^Usage: viewer" "$work/help.txt" || fail "viewer --help: $(cat "$work/help.txt")"
  env -u DISPLAY -u WAYLAND_DISPLAY "$root/bin/viewer" --version 2>&1 | grep -q "^viewer " ||
    fail "viewer --version prints no version"
fi

desktop-file-validate "$share/applications/halvor-viewer.desktop" || fail "desktop-file-validate refuses the entry"

# The MIME package.
if ! update-mime-database "$share/mime" >"$work/umd.log" 2>&1 || grep -qiE "error|warning|unknown" "$work/umd.log"; then
  cat "$work/umd.log"; fail "update-mime-database refuses the package"
fi

# Drawings without their usual extensions, made by the installed hvtool from
# the sample drawing; EDMICS V (which nothing writes) is put together from
# the Group 4 body of the CALS Type 1 file behind a 512-byte header.
cd "$work"
sample=$src/samples/sample-drawing.tif
"$hvtool" convert "$sample" cals1 --to CAL1GP4 >/dev/null
"$hvtool" convert "$sample" cals2 --to CAL2GP4 >/dev/null
"$hvtool" convert "$sample" edmics6 --to EDM6GP4 >/dev/null
"$hvtool" convert "$sample" audre --to "AUD RAWM" >/dev/null
python3 - cals1 edmics5 <<'PY'
import struct, sys
body = open(sys.argv[1], "rb").read()[2048:]
header = bytearray(512)
struct.pack_into(">H", header, 26, 6800)
struct.pack_into(">H", header, 30, 4400)
header[100:105] = b"00001"
open(sys.argv[2], "wb").write(bytes(header) + body)
PY
"$hvtool" identify edmics5 | grep -q "filter 4" || fail "the EDMICS V test file is not EDMICS V to hvtool"
cp cals1 notes.g4

mkdir -p "$work/home"
query() {  # query FILE: the type the desktop names
  XDG_DATA_HOME=$work/home XDG_DATA_DIRS=$share:/usr/share XDG_CURRENT_DESKTOP=$mode \
    xdg-mime query filetype "$1" 2>/dev/null | sed 's/;.*//'
}
if command -v gio >/dev/null 2>&1; then mode=GNOME      # gio reads the MIME cache
elif command -v mimetype >/dev/null 2>&1; then mode=X-Generic  # File::MimeInfo
else mode=""; fail "neither gio nor mimetype is installed for xdg-mime query filetype"; fi
if [ -n "$mode" ]; then
  for pair in cals1=image/x-cals-type1 cals2=image/x-cals-type2 edmics6=image/x-edmics-c4 \
              edmics5=image/x-edmics-v audre=image/x-audre notes.g4=image/x-cals-type1; do
    got=$(query "${pair%%=*}")
    [ "$got" = "${pair#*=}" ] || fail "${pair%%=*} is named '$got', expected ${pair#*=}"
  done
  # Ordinary text is left alone by the content rules.
  printf '%0600d\n' 0 > numbers
  got=$(query numbers)
  [ "$got" = text/plain ] || fail "a text file of digits is named '$got'"
fi

# The thumbnailer command, as a file manager runs it: %i the drawing, %o an
# output name without an extension, %s the size.
exec_line=$(sed -n 's/^Exec=//p' "$share/thumbnailers/halvor-viewer.thumbnailer")
for f in cals1 cals2 edmics6 edmics5 audre; do
  for size in 128 256; do
    out=$work/thumb-$f-$size
    cmd=$(printf '%s\n' "$exec_line" | sed "s|%i|$work/$f|; s|%o|$out|; s|%s|$size|g")
    # Word splitting of the command as the thumbnailer services do; no path
    # here holds a blank.
    # shellcheck disable=SC2086
    PATH=$root/bin:$PATH $cmd || { fail "thumbnailer failed on $f at $size"; continue; }
    dims=$(python3 -c 'import struct,sys; d=open(sys.argv[1],"rb").read(24); print("%dx%d" % struct.unpack(">II", d[16:24]) if d[:8]==b"\x89PNG\r\n\x1a\n" else "not-png")' "$out")
    [ "$dims" = "${size}x$size" ] || fail "thumbnail of $f at $size is $dims"
  done
done

[ "$failures" -eq 0 ] && echo "install test passed" || exit 1
