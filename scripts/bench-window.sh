#!/usr/bin/env bash
# Start-up time and memory of the Quorrix window beside hardinfo (a GTK program that shows
# hardware facts), both started the same way on one virtual X display in the same run.
#
#   scripts/bench-window.sh [BUILD_DIR] [RUNS]     (defaults: build/release, 15)
#
# Time: scripts/bench/window_probe starts the program (the clock starts right before its
# fork) and polls the display every millisecond until a top-level window of the program's
# WM_CLASS is viewable and its pixels are no longer one flat colour, i.e. it is mapped and
# painted. The two programs take turns, the order swapping every run, after one unmeasured
# warm-up run each (so both start from a warm file cache).
# Memory: VmRSS (and PSS) of the program after every page was shown once. Quorrix: a
# double-click on categories 1 to 8 (8 runs quorrix-systeminfo and pauses a second);
# hardinfo: its Computer, Devices and Network pages, one after the other with the arrow key
# (its Benchmarks section runs benchmarks and is left out).
# Both run as root, where quorrix reads the SMBIOS tables and the drive itself; those reads
# and the battery's are part of its start-up. (A user's quorrix gets them from quorrix-probe
# through pkexec: scripts/measure/probe-vs-root-window.sh times that.)
# Needs Xvfb, xdotool, a C compiler with the Xlib headers (libx11-dev) and hardinfo.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/release}
runs=${2:-15}

if [ "$(id -u)" -ne 0 ]; then
  # Not as root, quorrix would ask pkexec to run its probe; the comparison runs both as root.
  echo "bench: run as root (sudo scripts/bench-window.sh), so quorrix starts as it would with its rights" >&2
  exit 1
fi
need=()
for tool in Xvfb:xvfb xdotool:xdotool hardinfo:hardinfo cc:build-essential; do
  command -v "${tool%%:*}" >/dev/null || need+=("${tool##*:}")
done
[ -f /usr/include/X11/Xlib.h ] || need+=(libx11-dev)
if [ ${#need[@]} -gt 0 ]; then
  echo "bench: missing ${need[*]}; install with: apt-get install ${need[*]}" >&2
  exit 1
fi

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
fi
cmake --build "$build" --target quorrix quorrix-systeminfo -j "${QUORRIX_JOBS:-2}" >/dev/null
window="$build/app/quorrix"

work=$(mktemp -d)
xvfb_pid=""
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
cc -O2 -o "$work/window_probe" "$root/scripts/bench/window_probe.c" -lX11

# A display of our own; -displayfd tells which number it took.
exec {fdpipe}<> <(:)
Xvfb -displayfd "$fdpipe" -screen 0 1280x800x24 -dpi 96 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
read -r -t 10 display <&"$fdpipe" || { echo "bench: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$display"
export HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

# start CLASS PROGRAM: starts it, prints "PID MS" once its window is painted.
start() {
  local out
  out=$("$work/window_probe" "$1" 20000 -- "$2" 2>>"$work/programs.log") || {
    echo "bench: $2 showed no window within 20 s" >&2
    kill "${out%% *}" 2>/dev/null
    exit 1
  }
  echo "$out"
}
stop() {
  kill "$1" 2>/dev/null || true
  while kill -0 "$1" 2>/dev/null; do sleep 0.05; done
}
median() { sort -n | awk '{a[NR]=$1} END {print (NR%2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}'; }

for program in "quorrix $window" "hardinfo hardinfo"; do  # warm-up
  out=$(start $program)
  sleep 0.5
  stop "${out%% *}"
done

: >"$work/quorrix.ms"
: >"$work/hardinfo.ms"
for ((i = 0; i < runs; i++)); do
  if ((i % 2 == 0)); then order=("quorrix $window" "hardinfo hardinfo"); else order=("hardinfo hardinfo" "quorrix $window"); fi
  for program in "${order[@]}"; do
    out=$(start $program)
    echo "${out##* }" >>"$work/${program%% *}.ms"
    sleep 0.3
    stop "${out%% *}"
  done
done

rss() { awk '/^VmRSS:/ {print $2}' "/proc/$1/status"; }
pss() { awk '/^Pss:/ {print $2}' "/proc/$1/smaps_rollup"; }
: >"$work/quorrix.rss"
: >"$work/hardinfo.rss"
for ((i = 0; i < 3; i++)); do
  out=$(start quorrix "$window")
  pid=${out%% *}
  sleep 0.3
  read -r wx wy < <(xdotool search --pid "$pid" --class quorrix getwindowgeometry --shell | awk -F= '/^X=/{x=$2} /^Y=/{y=$2} END{print x, y}')
  read -r height < <(xdotool search --pid "$pid" --class quorrix getwindowgeometry --shell | awk -F= '/^HEIGHT=/{print $2}')
  # The list's entries are one dialog font line high each, from 7/8 of a line down (the
  # list's top in dialog units) plus its one-pixel frame; the line height is the window's
  # height in dialog units (293) over 8.
  line=$(( (height * 8 + 146) / 293 ))
  for row in 0 1 2 3 4 5 6 7; do
    xdotool mousemove $((wx + 40)) $((wy + (7 * line + 4) / 8 + 1 + line * row + line / 2)) \
      click --repeat 2 --delay 40 1
    sleep 0.4
  done
  sleep 1.5  # the summary page pauses a second after its output
  echo "$(rss "$pid") $(pss "$pid")" >>"$work/quorrix.rss"
  stop "$pid"

  out=$(start hardinfo hardinfo)
  pid=${out%% *}
  sleep 0.5
  read -r wx wy < <(xdotool search --pid "$pid" --name '^System Information$' getwindowgeometry --shell | awk -F= '/^X=/{x=$2} /^Y=/{y=$2} END{print x, y}')
  # Its first entry (Computer, Summary) sits at (87, 106) in its window; the rest follow
  # with the Down key, through Network, Shared Directories.
  xdotool mousemove $((wx + 87)) $((wy + 106)) click 1
  for ((k = 0; k < 34; k++)); do
    xdotool key Down
    sleep 0.4
  done
  sleep 1
  echo "$(rss "$pid") $(pss "$pid")" >>"$work/hardinfo.rss"
  stop "$pid"
done

q_ms=$(median <"$work/quorrix.ms")
h_ms=$(median <"$work/hardinfo.ms")
q_rss=$(cut -d' ' -f1 "$work/quorrix.rss" | median)
h_rss=$(cut -d' ' -f1 "$work/hardinfo.rss" | median)
q_pss=$(cut -d' ' -f2 "$work/quorrix.rss" | median)
h_pss=$(cut -d' ' -f2 "$work/hardinfo.rss" | median)
echo "runs: $runs (time), 3 (memory); display 1280x800, no window manager"
echo "quorrix  ms to painted window: $(tr '\n' ' ' <"$work/quorrix.ms")"
echo "hardinfo ms to painted window: $(tr '\n' ' ' <"$work/hardinfo.ms")"
awk -v q="$q_ms" -v h="$h_ms" 'BEGIN {printf "median start-up: quorrix %.1f ms, hardinfo %.1f ms, ratio quorrix/hardinfo %.2f\n", q, h, q / h}'
awk -v q="$q_rss" -v h="$h_rss" -v qp="$q_pss" -v hp="$h_pss" 'BEGIN {
  printf "median resident after every page: quorrix %.1f MB (PSS %.1f), hardinfo %.1f MB (PSS %.1f), ratio %.2f\n",
         q / 1024, qp / 1024, h / 1024, hp / 1024, q / h }'
