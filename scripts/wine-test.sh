#!/usr/bin/env bash
# Runs the Windows test programs of build-windows/x64 under Wine on a virtual X display, and
# checks the import (and export) tables of both Windows builds with objdump.
#
# Everything runs in a throwaway Wine prefix under build-windows/, created anew each time
# (QV_WINE_KEEP_PREFIX=1 keeps an existing one while developing). Every Wine step has a time
# limit, so a dialog that never closes fails the run with a message instead of hanging it.
# Screenshots that the programs ask for are taken with ImageMagick's import into
# build-windows/shots/ (`make screenshots` copies them to docs/).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
out=$root/build-windows

fail() { echo "wine-test: $*" >&2; exit 1; }

# The whole run happens on one virtual display; Wine needs one even for message boxes.
if [ -z "${QV_WINE_ON_DISPLAY:-}" ]; then
  for tool in xvfb-run wine wineboot wineserver import x86_64-w64-mingw32-objdump; do
    command -v "$tool" >/dev/null || fail "$tool is missing (run scripts/setup.sh)"
  done
  export QV_WINE_ON_DISPLAY=1
  exec timeout -k 10 1200 xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

export WINEPREFIX=$out/wine-prefix
# Wine wants a home directory; CI may run without one.
export HOME=${HOME:-$out}
export WINEDEBUG=-all
# Debian has neither wine-mono nor wine-gecko: without this the prefix creation waits for
# a download dialog that nobody answers.
export WINEDLLOVERRIDES="mscoree,mshtml="
unset WINEARCH

started=$(date +%s)
cleanup() {
  [ -n "${watcher:-}" ] && kill "$watcher" 2>/dev/null || true
  timeout 30 wineserver -k 2>/dev/null || true
}
trap cleanup EXIT

if [ "${QV_WINE_KEEP_PREFIX:-}" != 1 ] || [ ! -f "$WINEPREFIX/system.reg" ]; then
  rm -rf "$WINEPREFIX"
  echo "wine-test: creating the Wine prefix"
  timeout -k 5 240 wineboot -i >/dev/null 2>&1 || fail "wineboot -i failed or timed out"
  timeout -k 5 120 wineserver -w || fail "wineserver did not settle after wineboot"
  # No window manager runs on the virtual display: Wine draws the title bars and frames
  # itself, as Windows would.
  timeout -k 5 60 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f \
    >/dev/null 2>&1 || fail "wine reg add failed"
  # A crash ends the program with a backtrace instead of waiting in the crash dialog.
  timeout -k 5 60 wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD \
    /d 0 /f >/dev/null 2>&1 || fail "wine reg add failed"
  timeout -k 5 60 wineserver -w || true
fi
echo "wine-test: prefix ready after $(( $(date +%s) - started ))s"

# Screenshots: a program writes NAME.request with the window's geometry (WxH+X+Y) and waits
# for NAME.png.
shots=$out/shots
rm -rf "$shots"
mkdir -p "$shots"
export QV_SHOT_DIR
QV_SHOT_DIR=$(timeout 30 winepath -w "$shots" 2>/dev/null) || fail "winepath failed"
(
  while true; do
    for request in "$shots"/*.request; do
      [ -e "$request" ] || continue
      name=${request%.request}
      import -window root -crop "$(cat "$request")" +repage "$name.tmp.png" 2>/dev/null \
        && mv "$name.tmp.png" "$name.png"
      rm -f "$request"
    done
    sleep 0.1
  done
) &
watcher=$!

failed=()
# run_test LANG PROGRAM [ARGS...]: one program under Wine with the given locale. It passes with
# exit code 0 and its summary line: Wine may end a program that crashed with exit code 0.
run_test() {
  local lang=$1 program=$2
  shift 2
  local t0=$(date +%s) status=0 log=$out/$program.log
  echo "wine-test: $program (LANG=$lang)"
  LANG=$lang LC_ALL= timeout -k 5 180 wine "$out/x64/$program" "$@" | tee "$log" || status=$?
  if [ "$status" = 0 ] && tr -d '\r' < "$log" | grep -q ' passed, 0 failed$'; then
    echo "wine-test: $program passed in $(( $(date +%s) - t0 ))s"
  else
    echo "wine-test: $program FAILED (exit $status) after $(( $(date +%s) - t0 ))s"
    failed+=("$program")
  fi
}

run_test en_US.UTF-8 controls_test.exe

# quelvaris32.dll as the host loads it: the window, its keys and a whole run (German, the language
# of every non-French locale), and the window in French, in projects under build-windows/projects.
projects=$out/projects
rm -rf "$projects"
mkdir -p "$projects"
winprojects=$(timeout 30 winepath -w "$projects" 2>/dev/null) || fail "winepath failed"
run_test de_CH.UTF-8 dialog_test.exe de "$winprojects"
run_test fr_CH.UTF-8 dialog_test.exe fr "$winprojects"

# same_dbf A B: equal but for the date of the last update (bytes 1 to 3 of the header).
same_dbf() { cmp -s <(head -c 1 "$1"; tail -c +5 "$1") <(head -c 1 "$2"; tail -c +5 "$2"); }

# The calculation of the scenarios again, by the Linux build and by the Windows host program's
# batch view, over the same tiles: the same result, and the same layers. The wooded areas come
# from the raster alone and match byte for byte; the crown circles take sin and cos from the
# platform's mathematics library, so only their table and their size must match.
compare_with_linux() {
  local run=$projects/calc/run.txt linux_host=$root/build/quelvaris-host
  [ -f "$run" ] || { echo "wine-test: $run is missing: the calculation did not run"; return 1; }
  [ -x "$linux_host" ] || { echo "wine-test: $linux_host is missing (make build)"; return 1; }
  local xmin xmax ymin ymax result
  read -r xmin xmax ymin ymax result < <(tr -d '\r' < "$run")
  for name in linux batch; do
    mkdir -p "$projects/$name/shapes"
    cp -r "$projects/calc/MNA_Laser" "$projects/$name/"
  done
  local linux_said batch_said
  linux_said=$(LANG=en_US.UTF-8 timeout -k 5 300 "$linux_host" "$xmin" "$xmax" "$ymin" "$ymax" \
    "$projects/linux/shapes/parcels.shp" 2>/dev/null | tail -n 1)
  batch_said=$(LANG=de_CH.UTF-8 timeout -k 5 300 wine "$out/x64/quelvaris-host.exe" --batch \
    "$xmin" "$xmax" "$ymin" "$ymax" "$winprojects\\batch\\shapes\\parcels.shp" 2>/dev/null |
    tr -d '\r' | tail -n 1)
  echo "wine-test: the DLL returned $result; Linux host: '$linux_said'; Windows batch host: '$batch_said'"
  [ "$linux_said" = "quelvaris returned $result" ] && [ "$batch_said" = "$linux_said" ] || return 1
  local ours=$projects/calc/shapes/parcels theirs=$projects/linux/shapes/parcels
  cmp "$ours"_w1.shp "$theirs"_w1.shp && cmp "$ours"_w1.shx "$theirs"_w1.shx &&
    same_dbf "$ours"_w1.dbf "$theirs"_w1.dbf && same_dbf "$ours"_w2.dbf "$theirs"_w2.dbf &&
    [ "$(stat -c %s "$ours"_w2.shp)" = "$(stat -c %s "$theirs"_w2.shp)" ] &&
    cmp "$ours"_w2.shp "$projects/batch/shapes/parcels_w2.shp"
}
if compare_with_linux; then
  echo "wine-test: layers as the Linux build's"
else
  echo "wine-test: comparison with the Linux build FAILED"
  failed+=("comparison with the Linux build")
fi

# The wooded share measured by both host programs over the Linux run's layers, its woods taken
# as the parcels: the same table, the areas equal within the rounding of their sums.
compare_share() {
  local layers=$projects/linux/shapes/parcels winlayers="$winprojects\\linux\\shapes\\parcels"
  "$root/build/quelvaris-host" --share "$layers"_w1.shp "$layers"_w1.shp "$layers"_w2.shp \
    "$projects/share-linux.txt" 2>/dev/null || return 1
  timeout -k 5 300 wine "$out/x64/quelvaris-host.exe" --share "$winlayers"_w1.shp \
    "$winlayers"_w1.shp "$winlayers"_w2.shp "$winprojects\\share-windows.txt" >/dev/null 2>&1 ||
    return 1
  [ "$(wc -l < "$projects/share-linux.txt")" = "$(wc -l < "$projects/share-windows.txt")" ] &&
    paste -d ' ' "$projects/share-linux.txt" "$projects/share-windows.txt" | awk '
      { d = $2 - $4; if (d < 0) d = -d; m = $2 < 0 ? -$2 : $2
        if (NF != 4 || $1 != $3 || d > 1e-9 * (m > 1 ? m : 1)) bad++; if ($2 > 0) covered++ }
      END { printf "wine-test: share of %d parcels, %d covered\n", NR, covered; exit (bad || !covered) }'
}
if compare_share; then
  echo "wine-test: the share as the Linux build's"
else
  echo "wine-test: the share's comparison with the Linux build FAILED"
  failed+=("share comparison with the Linux build")
fi

# Both builds need nothing beside them but Windows' own DLLs.
"$root/scripts/wine-check-tables.sh" "$out/x86" "$out/x64" || failed+=("import/export tables")

echo "wine-test: total $(( $(date +%s) - started ))s"
if [ ${#failed[@]} -gt 0 ]; then
  fail "failed: ${failed[*]}"
fi
echo "wine-test: all Windows tests passed"
