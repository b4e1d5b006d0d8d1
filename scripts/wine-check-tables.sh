#!/usr/bin/env bash
# Checks the Windows binaries of the given build directories with objdump -p: every imported
# DLL is one of Windows' own (the C++ runtime is linked statically), and quelvaris32.dll, where
# built, exports exactly quelvaris and delete_temp_files under these undecorated names.
set -euo pipefail

allowed='^(kernel32|user32|gdi32|comctl32|advapi32|shell32|msvcrt|ole32)\.dll$'
status=0

for dir in "$@"; do
  case $(basename "$dir") in
    x86) objdump=i686-w64-mingw32-objdump ;;
    *) objdump=x86_64-w64-mingw32-objdump ;;
  esac
  shopt -s nullglob
  binaries=("$dir"/*.exe "$dir"/*.dll)
  shopt -u nullglob
  [ ${#binaries[@]} -gt 0 ] || { echo "tables: nothing built in $dir" >&2; status=1; continue; }
  for binary in "${binaries[@]}"; do
    imports=$("$objdump" -p "$binary" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z')
    for dll in $imports; do
      if ! [[ $dll =~ $allowed ]]; then
        echo "tables: $binary imports $dll, which is not a Windows system DLL" >&2
        status=1
      fi
    done
  done
  dll=$dir/quelvaris32.dll
  if [ -f "$dll" ]; then
    # The name table of the export directory, one "[ordinal] name" line per export.
    exports=$("$objdump" -p "$dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
      sed -n 's/^[[:space:]]*\[[[:space:]]*[0-9]*\] //p' | sort | tr '\n' ' ')
    if [ "$exports" != "delete_temp_files quelvaris " ]; then
      echo "tables: $dll exports '$exports' instead of exactly delete_temp_files and quelvaris" >&2
      status=1
    else
      echo "tables: $dll exports delete_temp_files quelvaris"
    fi
    # On 32 bits the callee clears its arguments (stdcall): 5 and 1 arguments of 4 bytes.
    if [ "$(basename "$dir")" = x86 ]; then
      for export in '_quelvaris@20:0x14' '_delete_temp_files@4:0x4'; do
        if ! "$objdump" -d --disassemble="${export%%:*}" "$dll" |
          grep -q "ret[[:space:]]*\$${export##*:}\b"; then
          echo "tables: ${export%%:*} in $dll does not return with ret ${export##*:} (not stdcall)" >&2
          status=1
        fi
      done
    fi
  fi
done
[ $status -eq 0 ] && echo "tables: imports of $* are Windows system DLLs only"
exit $status
