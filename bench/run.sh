#!/usr/bin/env bash
# Runs every benchmark after a normal build (make bench). Each prints its own figures; add new
# benchmarks at the end.
# Environment: BUILD_DIR (default build), passed on to the benchmarks.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export BUILD_DIR=${BUILD_DIR:-$root/build}

"$root/bench/reader.sh"

echo
echo "== geometry: size and speed of the polygon mesh"
"$BUILD_DIR/bench/bench_geometry_bench"

echo
"$root/bench/wholerun.sh"
