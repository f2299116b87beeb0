#!/usr/bin/env bash
# Builds the Windows zip from a Windows build folder (cpack -G ZIP) and checks it: exactly
# quorrix.exe, quorrix-report.exe and README-windows.txt; each program imports only DLLs
# that Windows provides; the window asks for administrator rights and is a windowed
# program, the report a console one.
#   check_zip.sh BUILD_DIR SOURCE_DIR
set -uo pipefail
build=${1:?usage: check_zip.sh BUILD_DIR SOURCE_DIR}
source=${2:?usage: check_zip.sh BUILD_DIR SOURCE_DIR}
objdump=${OBJDUMP:-x86_64-w64-mingw32-objdump}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cpack -G ZIP --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 || {
  cat "$work/cpack.log"
  echo "FAIL: cpack could not build the zip"
  exit 1
}
zips=("$work"/out/*.zip)
[ -f "${zips[0]}" ] || { echo "FAIL: no zip was made"; exit 1; }
echo "zip: $(basename "${zips[0]}")"

fail=0
names=$(python3 -c '
import sys, zipfile
with zipfile.ZipFile(sys.argv[1]) as z:
    z.extractall(sys.argv[2])
    print("\n".join(sorted(i.filename for i in z.infolist())))' "${zips[0]}" "$work/files")
expected=$'README-windows.txt\nquorrix-report.exe\nquorrix.exe'
if [ "$names" != "$expected" ]; then
  echo "FAIL: the zip holds"$'\n'"$names"$'\n'"instead of"$'\n'"$expected"
  fail=1
fi
"$source/scripts/windows/check-imports.sh" "$work/files" || fail=1
subsystem() { "$objdump" -p "$1" | awk '/^Subsystem/ {print $2}'; }
[ "$(subsystem "$work/files/quorrix.exe")" = 00000002 ] ||
  { echo "FAIL: quorrix.exe is not a windowed program"; fail=1; }
[ "$(subsystem "$work/files/quorrix-report.exe")" = 00000003 ] ||
  { echo "FAIL: quorrix-report.exe is not a console program"; fail=1; }
grep -q 'level="requireAdministrator"' "$work/files/quorrix.exe" ||
  { echo "FAIL: quorrix.exe carries no manifest asking for administrator rights"; fail=1; }
cmp -s "$work/files/README-windows.txt" "$source/win32/README-windows.txt" ||
  { echo "FAIL: README-windows.txt differs from win32/README-windows.txt"; fail=1; }
[ "$fail" -eq 0 ] && echo "the zip holds the two programs and the text, as it should"
exit "$fail"
