#!/usr/bin/env bash
# The demo (make demo): quelvaris-host generates a realistic 2 x 2 block of height-model tiles in
# build/demo/MNA_Laser/MNH/, runs the whole calculation over an extent reaching into all four
# of them, as a GIS host would through the library, and prints a summary of both layers.
#
# Needs build/quelvaris-host (make demo builds only that). Everything stays in build/demo/ to be
# looked at (the layers in build/demo/shapes/, beside the settings file quelvaris.ini); the
# tiles are written afresh on every run.
# Environment: BUILD_DIR (default build).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${BUILD_DIR:-$root/build}
host=$build/quelvaris-host

if [ ! -x "$host" ]; then
  echo "demo.sh: $host is missing: build first (make demo or make build)" >&2
  exit 1
fi

exec "$host" demo "$build/demo"
