#!/bin/sh
# Builds the Debian package halvor-viewer_VERSION_ARCH.deb with CPack in the
# Release tree build-package (installed under /usr; dependencies computed
# from the binaries by dpkg-shlibdeps). Prints the package's path.
set -eu
cd "$(dirname "$0")/.."
scripts/build.sh build-package -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DHV_BUILD_TESTS=OFF >/dev/null
(cd build-package && cpack -G DEB >/dev/null)
ls "$(pwd)"/build-package/halvor-viewer_*.deb
