#!/bin/sh
# build.sh DIR [cmake options...]: configures (once) and builds a tree with Ninja.
set -eu
dir=$1; shift
cd "$(dirname "$0")/.."
[ -f "$dir/build.ninja" ] || cmake -S . -B "$dir" -G Ninja "$@"
cmake --build "$dir" -j"$(nproc)"
