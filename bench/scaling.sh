#!/usr/bin/env bash
# Memory and time of whole runs as the extent grows, on generated dense forest.
#
# Writes tiles of nhmgen's generated wooded pasture (its only setting, some 44 % of the cells high
# and about 100 000 crowns a tile) as .hdr/.flt float grids: the 3 x 3 block from 1091-11 and the
# tiles that extend its first row and first column to four (1091-22, 1091-33). Then runs
# bench_wholerun_bench, one whole run through ComputeWoodedAreas, over the blocks C x R (C tiles
# side by side, R one under the other) 1 x 1, 2 x 2, 3 x 3, 4 x 1 and 1 x 4, each as a process of
# its own under /usr/bin/time -v: wall time (best of RUNS) and peak resident memory. 4 x 1
# against 1 x 4 shows what the open frontier of a long row of tiles costs.
#
# With REFERENCE (the build directory of another version, e.g. main's) every block is run with
# that version's bench_wholerun_bench too, in the same script, and the layers of both must be
# the same byte for byte (the dBase date aside); the script fails when they are not.
#
# Targets: the 3 x 3 block at most 450 MB peak; each tile added at most 40 MB more peak
# ((3 x 3 - 1 x 1) / 8). A missed target is reported and makes the exit status 1.
# Environment: BUILD_DIR (default build), REFERENCE, RUNS (default 1), SEED (default 1), TMPDIR,
# SHAPES (default "1x1 2x2 3x3 4x1 1x4").
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${BUILD_DIR:-$root/build}
reference=${REFERENCE:-}
runs=${RUNS:-1}
seed=${SEED:-1}
shapes=${SHAPES:-"1x1 2x2 3x3 4x1 1x4"}

nhmgen=$build/nhmgen
for program in "$nhmgen" "$build/bench/bench_wholerun_bench" /usr/bin/time \
  ${reference:+"$reference/bench/bench_wholerun_bench"}; do
  if [ ! -x "$program" ]; then
    echo "scaling.sh: $program is missing: build first (make build)" >&2
    exit 1
  fi
done
if [ "$runs" -lt 1 ]; then runs=1; fi

tmp=$(mktemp -d "${TMPDIR:-/tmp}/qv-scaling-bench.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
project=$tmp/project
mkdir -p "$project"

echo "== scaling: whole runs over growing blocks of dense generated forest (.flt)"
gen() { "$nhmgen" --seed "$seed" --format flt --out "$project/nhm" "$@" >/dev/null; }
gen --map 1091 --tile 11 --cols 3 --rows 3
gen --map 1091 --tile 22
gen --map 1091 --tile 33

# run VERSION COLS ROWS: best wall time in $best, peak memory (KB) in $peak, the layers in
# $project/VERSION, the run's own figures in $log.
run() {
  local version=$1 cols=$2 rows=$3 program i wall rss
  program=$build/bench/bench_wholerun_bench
  if [ "$version" = reference ]; then program=$reference/bench/bench_wholerun_bench; fi
  best="" peak=""
  log=$tmp/$version.log
  for ((i = 0; i < runs; i++)); do
    rm -rf "$project/$version"
    mkdir -p "$project/$version"
    if ! /usr/bin/time -v -o "$tmp/time.txt" "$program" --shapefile \
      "$project/$version/parcels.shp" --nhm-dir nhm --format flt --cols "$cols" --rows "$rows" \
      >"$log" 2>&1; then
      echo "scaling.sh: the $version run over $cols x $rows failed" >&2
      cat "$log" "$tmp/time.txt" >&2
      exit 1
    fi
    wall=$(awk -F': ' '/Elapsed \(wall clock\)/ {
             n = split($2, p, ":"); s = 0; for (i = 1; i <= n; i++) s = s * 60 + p[i]; print s }' \
           "$tmp/time.txt")
    rss=$(awk -F': ' '/Maximum resident set size/ { print $2 }' "$tmp/time.txt")
    best=$(awk -v a="$wall" -v b="$best" 'BEGIN { print (b == "" || a + 0 < b + 0) ? a : b }')
    peak=$(awk -v a="$rss" -v b="$peak" 'BEGIN { print (b == "" || a + 0 > b + 0) ? a : b }')
  done
}

field() { awk -F': ' -v k="$1" '$1 == k { print $2 }' "$2"; }
mb() { awk -v k="$1" 'BEGIN { printf "%.0f", k / 1024 }'; }

# The layers of two versions, the three date bytes of the .dbf aside.
same_layers() {
  local a=$1 b=$2 layer ext
  for layer in parcels_w1 parcels_w2; do
    for ext in shp shx; do cmp -s "$a/$layer.$ext" "$b/$layer.$ext" || return 1; done
    cmp -s <(head -c 1 "$a/$layer.dbf") <(head -c 1 "$b/$layer.dbf") || return 1
    cmp -s <(tail -c +5 "$a/$layer.dbf") <(tail -c +5 "$b/$layer.dbf") || return 1
  done
}

failed=0
declare -A peaks
printf '%-6s %5s %8s %9s %9s %10s %9s' block tiles crowns "wall s" "peak MB" "mesh MB" "crowns MB"
if [ -n "$reference" ]; then printf ' | %9s %9s %s' "ref wall" "ref MB" layers; fi
printf '\n'
for shape in $shapes; do
  cols=${shape%x*}
  rows=${shape#*x}
  run current "$cols" "$rows"
  peaks[$shape]=$peak
  printf '%-6s %5d %8s %9s %9s %10s %9s' "$shape" $((cols * rows)) "$(field crowns "$log")" \
    "$best" "$(mb "$peak")" "$(field 'mesh at its largest' "$log" | cut -d' ' -f1)" \
    "$(field 'crown circles' "$log" | cut -d' ' -f1)"
  if [ -n "$reference" ]; then
    run reference "$cols" "$rows"
    verdict=same
    if ! same_layers "$project/current" "$project/reference"; then
      verdict=DIFFERENT
      failed=1
    fi
    printf ' | %9s %9s %s' "$best" "$(mb "$peak")" "$verdict"
  fi
  printf '\n'
done
echo "(best of $runs runs each; peak resident memory from /usr/bin/time -v; mesh and crowns as"
echo " the run holds them at the end of the tile pass)"

if [ -n "${peaks[1x1]:-}" ] && [ -n "${peaks[3x3]:-}" ]; then
  per_tile=$(awk -v a="${peaks[1x1]}" -v b="${peaks[3x3]}" 'BEGIN { printf "%.0f", (b - a) / 8 / 1024 }')
  echo "each tile added: $per_tile MB more peak (target at most 40)"
  echo "3 x 3 block: $(mb "${peaks[3x3]}") MB peak (target at most 450)"
  if [ "$per_tile" -gt 40 ] || [ "$(mb "${peaks[3x3]}")" -gt 450 ]; then
    echo "  TARGET MISSED"
    failed=1
  fi
fi
if [ -n "${peaks[4x1]:-}" ] && [ -n "${peaks[1x4]:-}" ]; then
  echo "4 x 1 against 1 x 4: $(mb "${peaks[4x1]}") MB against $(mb "${peaks[1x4]}") MB peak"
fi
exit "$failed"
