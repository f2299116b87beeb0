#!/usr/bin/env bash
# quorrix.exe as a buyer starts it: under Wine, on the window tests' display. Another
# program finds its window by caption, reads it, shows a page and closes it.
#   window_e2e_test.sh WINE_GUI_EXE QUORRIX_EXE FIND_WINDOW_EXE
# Exit 77 (skipped) when no display can be had.
set -uo pipefail
run=${1:?usage: window_e2e_test.sh WINE_GUI_EXE QUORRIX_EXE FIND_WINDOW_EXE}
quorrix=${2:?}
finder=${3:?}
out=$(mktemp)
trap 'rm -f "$out"' EXIT

# The manifest asks for administrator rights; Wine starts the program as it is.
"$run" "$quorrix" </dev/null >/dev/null 2>&1 &
pid=$!
"$run" "$finder" 60 </dev/null 2>&1 | tr -d '\r' >"$out"
status=${PIPESTATUS[0]}
cat "$out"
[ "$status" -eq 77 ] && { kill "$pid" 2>/dev/null; exit 77; }
# The finder closed the window; if it could not, the program is ended here.
for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill "$pid" 2>/dev/null
wait "$pid"
quorrix_status=$?

fail=0
expect() {
  grep -qxF "$1" "$out" || { echo "FAIL: no line \"$1\""; fail=1; }
}
expect "window: Quorrix V2.0"
expect "visible: 1"
expect "categories: 12"
expect "frame: 欢迎使用"
expect "pane: 说明："
expect "frame: BIOS信息"
expect "ended: 1"
# Under Wine WMI hands up no table and the firmware table call answers with Wine's own
# table: the BIOS page opens on the version line, that table's version (not 0.0).
grep -qx 'pane: SMBIOS版本  ：[1-9][0-9]*\.[0-9][0-9]*' "$out" ||
  { echo "FAIL: no version line with the firmware table's version"; fail=1; }
[ "$status" -eq 0 ] || { echo "FAIL: the finder exited with $status"; fail=1; }
[ "$quorrix_status" -eq 0 ] || { echo "FAIL: quorrix.exe exited with $quorrix_status"; fail=1; }
[ "$fail" -eq 0 ] && echo "quorrix.exe: window found, page shown, closed"
exit "$fail"
