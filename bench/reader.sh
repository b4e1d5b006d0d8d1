#!/usr/bin/env bash
# Reading a whole tile: our tile pass against GDAL's gdal_translate to GeoTIFF.
#
# Writes one realistic tile with the generator (ASCII grid, about 70 MB, and the same tile as
# .hdr/.flt) into a temporary directory, checks once that the tile pass sees exactly the
# generator's high cells, then times each reader RUNS times (default 3, at least 2) with the
# shell's wall clock and keeps the best. Both sides are whole processes, start-up included.
# Target for the ASCII grid: ours at most a quarter of GDAL's time. The .flt figures are for
# information.
#
# Needs a normal build (make build) and gdal-bin (scripts/setup.sh installs it).
# Environment: BUILD_DIR (default build), RUNS, SEED (default 1), TMPDIR.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${BUILD_DIR:-$root/build}
runs=${RUNS:-3}
seed=${SEED:-1}
map=1091
tile=11

nhmgen=$build/nhmgen
reader=$build/bench/bench_reader_bench
for program in "$nhmgen" "$reader"; do
  if [ ! -x "$program" ]; then
    echo "reader.sh: $program is missing: build first (make build)" >&2
    exit 1
  fi
done
if ! command -v gdal_translate >/dev/null; then
  echo "reader.sh: gdal_translate is missing: install gdal-bin (scripts/setup.sh)" >&2
  exit 1
fi
if [ "$runs" -lt 2 ]; then runs=2; fi

tmp=$(mktemp -d "${TMPDIR:-/tmp}/qv-reader-bench.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
log=$tmp/last.log

# Runs a command with its output in $log and prints its wall time in seconds; on failure shows
# the output and fails.
wall_time() {
  local TIMEFORMAT=%R
  if ! { time "$@" >"$log" 2>&1; } 2>&1; then
    echo "reader.sh: failed: $*" >&2
    cat "$log" >&2
    return 1
  fi
}

minimum() { awk -v a="$1" -v b="$2" 'BEGIN { print (b == "" || a + 0 < b + 0) ? a : b }'; }

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.3f", a / b; else print "n/a" }'; }

size_mb() { awk -v s="$(stat -c %s "$1")" 'BEGIN { printf "%.1f MB", s / 1e6 }'; }

# Times ours and GDAL's on one format, alternating so that both see the same load of the
# machine, and prints the best of each and their ratio.
compare() {
  local format=$1 dir=$2 gdal_input=$3
  local ours="" pass="" gdal="" t i
  local bench=("$reader" --dir "$dir" --map "$map" --tile "$tile" --format "$format")
  "${bench[@]}" --seed "$seed" --verify | sed 's/^/  /'
  for ((i = 0; i < runs; i++)); do
    t=$(wall_time "${bench[@]}")
    ours=$(minimum "$t" "$ours")
    pass=$(minimum "$(awk '/^tile pass:/ { print $3 }' "$log")" "$pass")
    t=$(wall_time gdal_translate -q -of GTiff "$gdal_input" "$tmp/out.tif")
    rm -f "$tmp/out.tif"
    gdal=$(minimum "$t" "$gdal")
  done
  echo "  ours:  ${ours} s (whole process; the tile pass alone ${pass} s)"
  echo "  GDAL:  ${gdal} s (gdal_translate -q -of GTiff)"
  echo "  ratio ours / GDAL: $(ratio "$ours" "$gdal")  (best of $runs runs each)"
}

echo "== reader: one tile through the tile pass against gdal_translate -of GTiff"
echo "tile $map-$tile, seed $seed, in $tmp"
"$nhmgen" --seed "$seed" --map "$map" --tile "$tile" --out "$tmp/ascii" --stats | sed 's/^/  /'
"$nhmgen" --seed "$seed" --map "$map" --tile "$tile" --format flt --out "$tmp/flt" >/dev/null
ascii_file=$tmp/ascii/${map}${tile}_dhm_grid1.txt
flt_file=$tmp/flt/${map}${tile}_dhm_grid1.flt

echo "ASCII grid ($(size_mb "$ascii_file")), target: ratio at most 0.25"
compare ascii "$tmp/ascii" "$ascii_file"
echo "binary float grid ($(size_mb "$flt_file")), for information"
compare flt "$tmp/flt" "$flt_file"
