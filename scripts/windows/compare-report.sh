#!/usr/bin/env bash
# quorrix-report.exe against the Linux build on saved data: every page of every fixture must
# come out byte for byte the same (--raw, the exact page bytes; and the UTF-8 text a terminal
# gets). Usage:
#   compare-report.sh LINUX_REPORT WINDOWS_REPORT FIXTURE_ROOT...
# WINDOWS_REPORT is a program path that runs the .exe (build/win/quorrix-report-wine).
# Each folder is read once per form with every page (captions included), not page by page:
# a run under Wine costs about half a second. Folders are compared $QUORRIX_JOBS (default:
# the processor count) at a time. Prints one line per difference, then "N passed, M failed"
# (folders); exit 1 on any.
set -uo pipefail

# compare-report.sh --one LINUX_REPORT WINDOWS_REPORT OPTION DIR: one folder; prints its
# differences and then PASS or FAIL, all at once, so parallel folders do not interleave.
if [ "${1:-}" = "--one" ]; then
  linux=$2
  windows=$3
  option=$4
  dir=$5
  tmp=$(mktemp -d)
  trap 'rm -rf "$tmp"' EXIT
  said=""
  same() {  # same ARGS...: both programs' stdout and exit status must agree
    "$linux" "$@" >"$tmp/linux" 2>"$tmp/linux.err" </dev/null
    local linux_rc=$?
    "$windows" "$@" >"$tmp/windows" 2>"$tmp/windows.err" </dev/null
    local windows_rc=$?
    if [ "$linux_rc" -ne "$windows_rc" ]; then
      said+="DIFF $dir $*: exit $linux_rc on Linux, $windows_rc on Windows"$'\n'
      said+=$(sed 's/^/  linux stderr: /' "$tmp/linux.err" | head -5)$'\n'
      said+=$(sed 's/^/  windows stderr: /' "$tmp/windows.err" | head -5)$'\n'
      return 1
    fi
    if ! cmp -s "$tmp/linux" "$tmp/windows"; then
      said+="DIFF $dir $*: $(cmp "$tmp/linux" "$tmp/windows" 2>&1 | head -1)"$'\n'
      return 1
    fi
  }
  source=$dir
  [ "$option" = --edid ] && source=$dir/edid.bin
  if same "$option" "$source" --raw && same "$option" "$source"; then
    printf '%sPASS\n' "$said"
  else
    printf '%sFAIL\n' "$said"
  fi
  exit 0
fi

linux=$1
windows=$2
shift 2

# Every fixture folder as OPTION DIR, the option that reads it.
folders() {
  local root dir
  for root in "$@"; do
    [ -d "$root" ] || continue
    while IFS= read -r dir; do
      case "$dir" in
        */power_supply) printf '%s\0%s\0' --power-supply "$dir" ;;
        *)
          if [ -f "$dir/edid.bin" ]; then
            printf '%s\0%s\0' --edid "$dir"
          elif [ -f "$dir/DMI" ]; then
            printf '%s\0%s\0' --dmi-dir "$dir"
          elif [ -f "$dir/identify.bin" ] || [ -f "$dir/id-ctrl.bin" ]; then
            if [ -f "$dir/smart.bin" ] || [ -f "$dir/smart-log.bin" ]; then
              printf '%s\0%s\0' --disk-dump "$dir"
            fi
          fi
          ;;
      esac
    done < <(find "$root" -type d | sort)
  done
}

results=$(folders "$@" |
  xargs -0 -n 2 -P "${QUORRIX_JOBS:-$(nproc)}" "$0" --one "$linux" "$windows")
grep -v '^PASS$\|^FAIL$' <<<"$results" | grep -v '^$'
passed=$(grep -c '^PASS$' <<<"$results")
failed=$(grep -c '^FAIL$' <<<"$results")
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ] && [ "$passed" -gt 0 ]
