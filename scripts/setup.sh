#!/usr/bin/env bash
# Installs the Debian packages that building, testing and the demo need, when they are missing.
# Idempotent: a machine that has everything is left alone and no network is used.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  googletest libgtest-dev
  g++-mingw-w64-x86-64 g++-mingw-w64-i686
  wine wine64 fonts-wine xvfb xauth imagemagick
  gdal-bin python3-gdal
  python3-qgis qgis-providers
  libshp-dev shapelib libgeos-dev
  locales
  time
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then
    echo "setup: run as root to install packages" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Locales used by the tests of the language choice and the number formats.
wanted=(de_CH.UTF-8 fr_CH.UTF-8 fr_FR.UTF-8 en_US.UTF-8)
need_gen=0
for l in "${wanted[@]}"; do
  norm=$(echo "$l" | sed 's/UTF-8/utf8/')
  if ! locale -a 2>/dev/null | grep -qx "$norm"; then need_gen=1; fi
done
if [ "$need_gen" -eq 1 ] && [ "$(id -u)" -eq 0 ]; then
  for l in "${wanted[@]}"; do
    grep -q "^$l UTF-8" /etc/locale.gen 2>/dev/null || echo "$l UTF-8" >> /etc/locale.gen
  done
  locale-gen >/dev/null
fi
