#!/usr/bin/env bash
# The 32-bit check of make test: the host program built for 32-bit Linux (make i686) runs over a
# generated 3 x 3 block of dense forest with at most 2 GB of address space, as the 32-bit DLL has
# inside a 32-bit GIS, and its layers must equal the 64-bit build's byte for byte (the date in
# the .dbf aside). Then a run with far too little memory must end as it does for a user: the
# message "not enough memory for this extent" and "quelvaris returned 0".
#
# Where the kernel runs 32-bit programs, the limit is `ulimit -v`. Where it does not (a 64-bit-only
# kernel, as on our build machine), the program runs under qemu-i386 (Debian's qemu-user), whose
# -R gives the program an address space of exactly that size: every allocation of the program,
# its stack and its libraries included, must fit in it.
#
# Needs make build and make i686. Environment: BUILD_DIR (default build), I686_DIR (default
# build-i686), TMPDIR.
set -euo pipefail
export LC_ALL=C LANG=C  # the host then speaks German, whose out-of-memory text is looked for below

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${BUILD_DIR:-$root/build}
build32=${I686_DIR:-$root/build-i686}
limit_kb=2000000
starved_kb=150000

for program in "$build/nhmgen" "$build/quelvaris-host" "$build32/quelvaris-host"; do
  if [ ! -x "$program" ]; then
    echo "i686-check: $program is missing: run make build and make i686 first" >&2
    exit 1
  fi
done

tmp=$(mktemp -d "${TMPDIR:-/tmp}/qv-i686-check.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# run32 LIMIT_KB ARGS...: the 32-bit host within LIMIT_KB of address space.
if "$build32/quelvaris-host" --help >/dev/null 2>&1; then
  run32() { (ulimit -v "$1" && shift && exec "$build32/quelvaris-host" "$@"); }
  how="natively, ulimit -v"
elif command -v qemu-i386 >/dev/null; then
  run32() { local kb=$1; shift; qemu-i386 -L / -R "${kb}k" "$build32/quelvaris-host" "$@"; }
  how="under qemu-i386 -R (this kernel runs no 32-bit programs)"
else
  echo "i686-check: this kernel runs no 32-bit programs and qemu-i386 is missing" \
    "(scripts/setup.sh installs qemu-user)" >&2
  exit 1
fi

# The 3 x 3 block from tile 1091-11 as .hdr/.flt grids where the host looks for them
# (../MNA_Laser/MNH beside the shapefile's directory), and the extent of all of it.
"$build/nhmgen" --seed 1 --map 1091 --tile 11 --cols 3 --rows 3 --format flt \
  --out "$tmp/MNA_Laser/MNH" >/dev/null
west=672500
north=254000
extent=("$west" $((west + 3 * 4375 - 1)) $((north - 3 * 3000 + 1)) "$north")
flt=(--set rgNhmFiletype=1)

# returned LOG: the status the host printed last.
returned() { sed -n 's/^quelvaris returned //p' "$1" | tail -n 1; }

failed=0
mkdir -p "$tmp/64" "$tmp/32" "$tmp/starved"
"$build/quelvaris-host" "${flt[@]}" "${extent[@]}" "$tmp/64/parcels.shp" >"$tmp/64.log" 2>&1
start=$(date +%s)
run32 "$limit_kb" "${flt[@]}" "${extent[@]}" "$tmp/32/parcels.shp" >"$tmp/32.log" 2>&1 || true
echo "i686-check: 3 x 3 tiles in 32 bits within $limit_kb KB ($how): $(($(date +%s) - start)) s," \
  "returned $(returned "$tmp/32.log")"
if [ "$(returned "$tmp/64.log")" != 1 ] || [ "$(returned "$tmp/32.log")" != 1 ]; then
  echo "i686-check: FAILED: a run did not return 1" >&2
  tail -n 5 "$tmp/64.log" "$tmp/32.log" >&2
  failed=1
else
  for layer in parcels_w1 parcels_w2; do
    a=$tmp/64/$layer
    b=$tmp/32/$layer
    if ! cmp -s "$a.shp" "$b.shp" || ! cmp -s "$a.shx" "$b.shx" ||
      ! cmp -s <(head -c 1 "$a.dbf") <(head -c 1 "$b.dbf") ||
      ! cmp -s <(tail -c +5 "$a.dbf") <(tail -c +5 "$b.dbf"); then
      echo "i686-check: FAILED: $layer differs between the 32-bit and the 64-bit run" >&2
      failed=1
    fi
  done
  [ "$failed" = 0 ] && echo "i686-check: both layers equal the 64-bit build's"
fi

run32 "$starved_kb" "${flt[@]}" "${extent[@]}" "$tmp/starved/parcels.shp" >"$tmp/starved.log" 2>&1 ||
  true
if [ "$(returned "$tmp/starved.log")" = 0 ] && grep -q "Zu wenig Speicher" "$tmp/starved.log"; then
  echo "i686-check: within $starved_kb KB the run ends with the out-of-memory message and 0"
else
  echo "i686-check: FAILED: within $starved_kb KB the run did not end with the message and 0" >&2
  tail -n 5 "$tmp/starved.log" >&2
  failed=1
fi
exit "$failed"
