#!/bin/sh
# Builds the Release benchmark tree build-bench and runs hvbench; arguments go
# to hvbench (for example --benchmark_filter=G4 --benchmark_repetitions=5).
# Installs nothing: scripts/setup-deps.sh provides Google Benchmark and libtiff.
set -eu
cd "$(dirname "$0")/.."
scripts/build.sh build-bench -DCMAKE_BUILD_TYPE=Release -DHV_BUILD_BENCH=ON -DHV_BUILD_TESTS=OFF
exec build-bench/bench/hvbench "$@"
