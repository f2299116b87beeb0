#!/usr/bin/env bash
# Times quorrix from its start to its first painted frame, several runs, and prints medians.
#
#   scripts/bench/startup.sh [--runs N] [--user NAME] [--probe FILE.so] [PROGRAM]
#
# PROGRAM defaults to the installed quorrix. The start is the moment a shell execs it (bash's
# EPOCHREALTIME); the first frame is the moment the X11 platform plugin first sends window
# pixels to the X server, caught by first_frame_probe.c preloaded into the program, which
# then ends the process. With --user, it runs as that user, and the window runs the probe
# through the system's /usr/bin/pkexec: with no polkit agent or rule to grant it, that is the
# time to the window the user gets without root; with a rule that grants the probe's action,
# the time through the probe.
# Uses $DISPLAY, or starts a display of its own (scripts/bench/xvfb.sh) when there is none.
set -euo pipefail

runs=7 user="" probe="" program=""
while [ $# -gt 0 ]; do
  case $1 in
    --runs) runs=$2; shift 2 ;;
    --user) user=$2; shift 2 ;;
    --probe) probe=$2; shift 2 ;;
    -h|--help) sed -n '2,13p' "$0"; exit 0 ;;
    *) program=$1; shift ;;
  esac
done
program=${program:-$(command -v quorrix || true)}
[ -x "$program" ] || { echo "startup.sh: no quorrix program to time" >&2; exit 2; }

work=$(mktemp -d)
chmod 755 "$work"
xvfb_pid=""
cleanup() {
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

if [ -z "$probe" ]; then
  probe=$work/first_frame_probe.so
  cc -shared -fPIC -O2 -o "$probe" "$(dirname "$0")/first_frame_probe.c" -ldl
else
  cp "$probe" "$work/first_frame_probe.so"
  probe=$work/first_frame_probe.so
fi

if [ -z "${DISPLAY:-}" ]; then
  # shellcheck source=scripts/bench/xvfb.sh
  . "$(dirname "$0")/xvfb.sh"
  quorrix_start_xvfb "$work/xvfb.log"
fi
median() { sort -n | awk '{v[NR] = $1} END {if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }
ms() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.0f\n", (b - a) * 1000}'; }

: >"$work/frame.ms"
for i in $(seq "$runs"); do
  rm -f "$work/start" "$work/frame"
  chmod 777 "$work"
  launch=(bash -c 'printf "%s\n" "$EPOCHREALTIME" >"$1"; shift; exec "$@"' _ "$work/start" "$program")
  envs=(DISPLAY="$DISPLAY" LD_PRELOAD="$probe" QRX_FRAME_FILE="$work/frame" QRX_FRAME_EXIT=1
        HOME=/tmp)
  if [ -n "$user" ]; then
    runuser -u "$user" -- env -i "${envs[@]}" PATH=/usr/bin:/bin "${launch[@]}" \
      >/dev/null 2>"$work/stderr" || true
  else
    env -i "${envs[@]}" PATH=/usr/bin:/bin "${launch[@]}" >/dev/null 2>"$work/stderr" || true
  fi
  [ -s "$work/frame" ] || { echo "run $i: no frame was painted; stderr:"; cat "$work/stderr"; exit 1; }
  start=$(cat "$work/start")
  ms "$start" "$(cat "$work/frame")" >>"$work/frame.ms"
done

echo "program: $program, runs: $runs, as: ${user:-root}"
echo "start to first painted frame, ms: $(tr '\n' ' ' <"$work/frame.ms")-> median $(median <"$work/frame.ms")"
if [ -n "$user" ]; then
  echo "stderr of the last run: $(cat "$work/stderr")"
fi
