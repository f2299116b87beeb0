#!/usr/bin/env bash
# quorrix-probe on a terminal: refused with one line and exit 2, before anything is read.
set -u
probe=$1
if ! command -v script >/dev/null; then
  echo "no script(1) to make a terminal with; skipped"
  exit 77
fi
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
script -qec "$(printf '%q' "$probe") 2>$tmp/err; echo \$? >$tmp/rc" /dev/null >"$tmp/shown" </dev/null
if [ "$(cat "$tmp/rc" 2>/dev/null)" != 2 ] || [ "$(wc -l <"$tmp/err")" -ne 1 ] ||
  [ "$(tr -d '\r\n' <"$tmp/shown")" != "" ]; then
  echo "FAIL: exit $(cat "$tmp/rc" 2>/dev/null); stderr: $(cat "$tmp/err"); terminal: $(cat -v "$tmp/shown")"
  exit 1
fi
echo "ok   probe-refuses-a-terminal"
