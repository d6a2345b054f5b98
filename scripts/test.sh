#!/bin/sh
# Installs what is missing, builds, and runs every test twice: in the normal
# build tree and in a tree built with AddressSanitizer and
# UndefinedBehaviorSanitizer.
set -eu
cd "$(dirname "$0")/.."
scripts/setup-deps.sh
scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
ctest --test-dir build --output-on-failure -j"$(nproc)"
scripts/build.sh build-asan -DCMAKE_BUILD_TYPE=Debug -DHV_SANITIZE=ON \
  -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j"$(nproc)"
echo "All tests passed (normal and sanitizer builds)."
