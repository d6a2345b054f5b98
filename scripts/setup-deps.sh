#!/bin/sh
# Installs the Debian 12 packages the build, the tests and the benchmarks need.
set -eu
PACKAGES="build-essential cmake ninja-build g++ clang libclang-rt-14-dev pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev libtiff-dev
  libtiff-tools imagemagick netpbm ghostscript poppler-utils libvips-tools
  qt6-base-dev qt6-image-formats-plugins libqt6svg6 dbus xvfb xauth x11-apps xdotool libdeflate-dev zlib1g-dev pngcheck python3
  xdg-utils desktop-file-utils shared-mime-info libglib2.0-bin file
  libcups2-dev cups-daemon cups-client cups-filters printer-driver-cups-pdf"
missing=""
for p in $PACKAGES; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
$SUDO apt-get update
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends $missing
