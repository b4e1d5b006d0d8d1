#!/usr/bin/env bash
# The row pass against GDAL's polygonizer on the same whole generated tile.
#
#   bench/rowpass.sh [BUILD_DIR] [SEED]
#
# Builds bench_rowpass_bench in BUILD_DIR (default build-bench, Release), which writes tile
# 1091-11 of the synthetic pasture, runs our tile pass over it and prints its figures, and
# leaves the tile classified to bytes (classes.bil, EHdr). Then gdal_polygonize.py turns the
# same classes into polygons, 4-connected (no -8), into an in-memory layer so that neither side
# pays for writing files. Both sides take the best of three runs. Prints both times and their
# ratio (target: ours at most a tenth).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$here/build-bench}"
seed="${2:-1}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$build" -j2 --target bench_rowpass_bench >/dev/null

bench="$(find "$build" -name bench_rowpass_bench -type f -perm -u+x | head -n 1)"
out="$("$bench" --dir "$work" --seed "$seed")"
echo "$out"
ours="$(echo "$out" | sed -n 's/^row pass (classes, tree tops, polygons): *\([0-9.]*\) s$/\1/p')"

# Best of three, like ours.
gdal=""
for _ in 1 2 3; do
  start=$(date +%s.%N)
  /usr/bin/python3 /usr/bin/gdal_polygonize.py -q "$work/classes.bil" -f Memory "$work/unused" \
    classes class
  end=$(date +%s.%N)
  t="$(echo "$end - $start" | bc -l)"
  if [ -z "$gdal" ] || [ "$(echo "$t < $gdal" | bc -l)" = 1 ]; then gdal="$t"; fi
done
printf 'gdal_polygonize.py (4-connected, Memory, best of 3): %.3f s\n' "$gdal"
printf 'ours / GDAL: %.3f\n' "$(echo "$ours / $gdal" | bc -l)"
