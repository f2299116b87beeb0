#!/usr/bin/env bash
# Checks that every .exe below a Windows build folder imports only DLLs that Windows itself
# provides, so the program runs without any DLL copied beside it (it is linked with -static).
# A DLL counts as a system DLL when Wine ships its own version of it.
#   scripts/windows/check-imports.sh BUILD_DIR
set -uo pipefail

dir=${1:?usage: check-imports.sh BUILD_DIR}
objdump=${OBJDUMP:-x86_64-w64-mingw32-objdump}
system_dlls=${QUORRIX_WINE_DLL_DIR:-/usr/lib/x86_64-linux-gnu/wine/x86_64-windows}
[ -d "$system_dlls" ] || { echo "no Wine DLL folder $system_dlls" >&2; exit 1; }

mapfile -t programs < <(find "$dir" -name '*.exe' -type f -not -path '*/CMakeFiles/*' | sort)
[ ${#programs[@]} -gt 0 ] || { echo "no .exe below $dir" >&2; exit 1; }

bad=0
for exe in "${programs[@]}"; do
  dlls=$("$objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p') || {
    echo "$exe: objdump failed"
    bad=1
    continue
  }
  [ -n "$dlls" ] || { echo "$exe: no imports found"; bad=1; }
  while read -r dll; do
    [ -n "$dll" ] || continue
    lower=${dll,,}
    if [ ! -e "$system_dlls/$lower" ]; then
      echo "$exe: imports $dll, which Windows does not provide"
      bad=1
    fi
  done <<<"$dlls"
done
[ "$bad" -eq 0 ] && echo "${#programs[@]} programs import system DLLs only"
exit "$bad"
