#!/usr/bin/env bash
# quorrix-report.exe against the Linux build on saved data: every page of every fixture must
# come out byte for byte the same (--raw, the exact page bytes; and the UTF-8 text a terminal
# gets). Usage:
#   compare-report.sh LINUX_REPORT WINDOWS_REPORT FIXTURE_ROOT...
# WINDOWS_REPORT is a program path that runs the .exe (build/win/quorrix-report-wine).
# Prints one line per difference, then "N passed, M failed" (fixtures); exit 1 on any.
set -uo pipefail
linux=$1
windows=$2
shift 2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
passed=0
failed=0

# same NAME ARGS...: both programs with ARGS; their stdout and exit status must agree.
same() {
  local name=$1
  shift
  "$linux" "$@" >"$tmp/linux" 2>"$tmp/linux.err" </dev/null
  local linux_rc=$?
  "$windows" "$@" >"$tmp/windows" 2>"$tmp/windows.err" </dev/null
  local windows_rc=$?
  if [ "$linux_rc" -ne "$windows_rc" ]; then
    echo "DIFF $name $*: exit $linux_rc on Linux, $windows_rc on Windows"
    sed 's/^/  linux stderr: /' "$tmp/linux.err" | head -5
    sed 's/^/  windows stderr: /' "$tmp/windows.err" | head -5
    return 1
  fi
  if ! cmp -s "$tmp/linux" "$tmp/windows"; then
    echo "DIFF $name $*: $(cmp "$tmp/linux" "$tmp/windows" 2>&1 | head -1)"
    return 1
  fi
}

# check NAME ARGS...: the raw bytes of the pages ARGS select, and their terminal text.
check() {
  local name=$1
  shift
  if same "$name" "$@" --raw && same "$name" "$@"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
  fi
}

for root in "$@"; do
  [ -d "$root" ] || continue
  while IFS= read -r dir; do
    case "$dir" in
      */power_supply) check "$dir" --power-supply "$dir" --page 7 ;;
      *)
        if [ -f "$dir/edid.bin" ]; then
          check "$dir" --edid "$dir/edid.bin" --page 10
        elif [ -f "$dir/DMI" ]; then
          ok=1
          for page in 1 2 3 4 5 12; do
            same "$dir" --dmi-dir "$dir" --page "$page" --raw &&
              same "$dir" --dmi-dir "$dir" --page "$page" || ok=0
          done
          if [ "$ok" -eq 1 ]; then passed=$((passed + 1)); else failed=$((failed + 1)); fi
        elif [ -f "$dir/identify.bin" ] || [ -f "$dir/id-ctrl.bin" ]; then
          [ -f "$dir/smart.bin" ] || [ -f "$dir/smart-log.bin" ] || continue
          check "$dir" --disk-dump "$dir" --page 6
          check "$dir" --disk-dump "$dir" --page 12
        fi
        ;;
    esac
  done < <(find "$root" -type d | sort)
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
