#!/usr/bin/env bash
# Start-up and root memory of the window through the probe against the window that re-ran
# itself as root, both started by the same user through the real pkexec on one virtual X
# display, in the same run.
#
#   scripts/measure/probe-vs-root-window.sh NEW_PREFIX OLD_PREFIX USER [RUNS]   (RUNS: 11)
#
# NEW_PREFIX holds bin/quorrix and libexec/quorrix/quorrix-probe of this tree, OLD_PREFIX
# bin/quorrix of a build that re-runs the whole window as root (cmake --install --prefix).
# Run as root, with a polkit daemon running and a rule that grants USER the actions pkexec
# will ask for (org.quorrix.probe.read, or org.freedesktop.policykit.exec where the policy
# files are not installed), so no prompt waits for a password. Time: scripts/bench/
# window_probe, from the fork of the user's quorrix to its window being mapped and painted;
# the two take turns, after one unmeasured warm-up each. Memory of the process that runs as
# root: the probe's peak (VmHWM, by /usr/bin/time), and the old root window's VmRSS and VmHWM
# once its first page is painted; the new window's own (user) VmRSS beside it.
set -euo pipefail

new=${1:?usage: probe-vs-root-window.sh NEW_PREFIX OLD_PREFIX USER [RUNS]}
old=${2:?usage}
user=${3:?usage}
runs=${4:-11}
root=$(cd "$(dirname "$0")/../.." && pwd)
[ "$(id -u)" -eq 0 ] || { echo "measure: run as root" >&2; exit 1; }

work=$(mktemp -d)
chmod 755 "$work"
xvfb_pid=""
cleanup() {
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
cc -O2 -o "$work/window_probe" "$root/scripts/bench/window_probe.c" -lX11

exec {fdpipe}<> <(:)
Xvfb -displayfd "$fdpipe" -screen 0 1280x800x24 -dpi 96 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
read -r -t 10 display <&"$fdpipe" || { echo "measure: Xvfb did not start" >&2; exit 1; }

descendants() {  # every process below $1
  local child
  for child in $(ps -o pid= --ppid "$1"); do echo "$child"; descendants "$child"; done
}
stop() {  # the launcher and everything it started, the root window too
  local all
  all="$1 $(descendants "$1")"
  kill $all 2>/dev/null || true
  for p in $all; do while kill -0 "$p" 2>/dev/null; do sleep 0.02; done; done
}
start() {  # start PROGRAM as the user: "PID MS"
  runuser -u "$user" -- env -i DISPLAY=":$display" HOME=/tmp PATH=/usr/bin:/bin \
    "$work/window_probe" quorrix 30000 -- "$1" 2>>"$work/stderr"
}
median() { sort -n | awk '{v[NR] = $1} END {if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }

for program in "$new/bin/quorrix" "$old/bin/quorrix"; do  # warm-up
  out=$(start "$program") || { echo "measure: $program showed no window"; cat "$work/stderr"; exit 1; }
  stop "${out%% *}"
done
: >"$work/new.ms"
: >"$work/old.ms"
for ((i = 0; i < runs; i++)); do
  if ((i % 2 == 0)); then order=(new old); else order=(old new); fi
  for which in "${order[@]}"; do
    prefix=$new
    [ "$which" = old ] && prefix=$old
    out=$(start "$prefix/bin/quorrix")
    echo "${out##* }" >>"$work/$which.ms"
    stop "${out%% *}"
  done
done

# Memory. The probe as pkexec runs it: root, no environment.
probe_kb=$(env -i /usr/bin/time -f %M "$new/libexec/quorrix/quorrix-probe" 2>&1 >/dev/null | tail -1)
out=$(start "$new/bin/quorrix")
sleep 0.5
new_rss=$(awk '/^VmRSS:/ {print $2}' "/proc/${out%% *}/status")
stop "${out%% *}"
out=$(start "$old/bin/quorrix")
sleep 0.5
rootpid=""
for p in $(descendants "${out%% *}"); do
  if [ "$(stat -c %u "/proc/$p")" = 0 ] && [ "$(cat "/proc/$p/comm")" = quorrix ]; then rootpid=$p; fi
done
old_rss=$(awk '/^VmRSS:/ {print $2}' "/proc/$rootpid/status")
old_hwm=$(awk '/^VmHWM:/ {print $2}' "/proc/$rootpid/status")
stop "${out%% *}"

echo "runs: $runs; display 1280x800, no window manager; user $user through $(command -v pkexec)"
echo "through the probe, ms to painted window: $(tr '\n' ' ' <"$work/new.ms")-> median $(median <"$work/new.ms")"
echo "whole window as root, ms to painted window: $(tr '\n' ' ' <"$work/old.ms")-> median $(median <"$work/old.ms")"
echo "process running as root: the probe, peak $probe_kb KB; the old root window, VmRSS $old_rss KB (peak $old_hwm KB)"
echo "the new window (the user's own process): VmRSS $new_rss KB"
echo "stderr of the windows: $(sort -u "$work/stderr" | tr '\n' ' ')"
