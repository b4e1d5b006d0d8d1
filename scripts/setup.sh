#!/usr/bin/env bash
# Installs the Debian packages that a make target needs, when they are missing.
#   scripts/setup.sh demo   what `make demo` needs: a C++ compiler, CMake and Ninja
#   scripts/setup.sh test   everything (the default): also GoogleTest, shapelib and GDAL for the
#                           tests, the mingw-w64 cross compilers, Wine, Xvfb and ImageMagick for
#                           the Windows builds and their tests, the locales the tests use
# Idempotent: a machine that has everything is left alone and no network is used.
set -euo pipefail

set_name=${1:-test}
demo_packages=(build-essential cmake ninja-build)
test_packages=(
  "${demo_packages[@]}"
  pkg-config
  googletest libgtest-dev
  g++-mingw-w64-x86-64 g++-mingw-w64-i686
  g++-multilib qemu-user
  wine wine64 fonts-wine xvfb xauth imagemagick
  gdal-bin python3-gdal
  python3-qgis qgis-providers
  libshp-dev shapelib libgeos-dev
  locales
  time
)
case $set_name in
  demo) packages=("${demo_packages[@]}") ;;
  test) packages=("${test_packages[@]}") ;;
  *) echo "setup: unknown package set '$set_name' (demo or test)" >&2; exit 2 ;;
esac

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

[ "$set_name" = test ] || exit 0

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
