#!/usr/bin/env bash
# Start-up time and memory of the Windows window (quorrix.exe under Wine) beside the Linux
# window (quorrix, Qt), both on one virtual X display in the same run; and, for the time, the
# floor Wine sets: plain_dialog.exe (scripts/bench/plain_dialog.c), a dialog of the same size
# with nothing read first, built with the same mingw-w64 toolchain.
#
#   scripts/windows/bench-window.sh [WIN_BUILD_DIR] [LINUX_BUILD_DIR] [RUNS]
#       (defaults: build/win-bench, build/bench-linux, 15)
#
# Time: scripts/bench/window_probe starts the program (the clock starts right before its
# fork) and polls the display every millisecond until a top-level window of the program's
# X class is viewable and painted (its pixels are no longer one colour). quorrix.exe starts
# through scripts/windows/wine-gui-exe, as the window tests do, with the Wine server and its
# services already running (Wine's own cold start, seconds, is not the program's); its class
# is "quorrix.exe". The two take turns, the order swapping every run, after one unmeasured
# warm-up run each.
# Memory: VmRSS and PSS of the program after every page was shown once (categories 1 to 8;
# 8 runs the summary command: "systeminfo" under Wine prints nothing, quorrix-systeminfo on
# Linux prints its summary). quorrix.exe's pages are chosen through the list's double-click
# notification sent from another Windows program (quorrix_find_window --pages), the Linux
# window's with xdotool double-clicks. The Wine figure is the program's own process; the
# Wine server and services, shared by every Wine program, are not counted.
# Needs the Windows build's tools (mingw-w64, Wine, Xvfb), Qt 6 for the Linux window,
# xdotool and the Xlib headers (libx11-dev).
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
win_build=${1:-$root/build/win-bench}
linux_build=${2:-$root/build/bench-linux}
runs=${3:-15}
jobs=${QUORRIX_JOBS:-2}

need=()
for tool in Xvfb:xvfb xdotool:xdotool wine:wine cc:build-essential; do
  command -v "${tool%%:*}" >/dev/null || need+=("${tool##*:}")
done
[ -f /usr/include/X11/Xlib.h ] || need+=(libx11-dev)
if [ ${#need[@]} -gt 0 ]; then
  echo "bench: missing ${need[*]}; install with: apt-get install ${need[*]}" >&2
  exit 1
fi

if [ ! -f "$win_build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$win_build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
fi
cmake --build "$win_build" --target quorrix quorrix_find_window -j "$jobs" >/dev/null
if [ ! -f "$linux_build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$linux_build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
    >/dev/null
fi
cmake --build "$linux_build" --target quorrix quorrix-systeminfo -j "$jobs" >/dev/null
win_exe=$win_build/win32/quorrix.exe
finder=$win_build/win32/quorrix_find_window.exe
linux_exe=$linux_build/app/quorrix
run_gui=$root/scripts/windows/wine-gui-exe

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cc -O2 -o "$work/window_probe" "$root/scripts/bench/window_probe.c" -lX11
x86_64-w64-mingw32-gcc-posix -O2 -mwindows -static -o "$work/plain_dialog.exe" \
  "$root/scripts/bench/plain_dialog.c"

# The window tests' display and Wine prefix: started (if they are not) by a first program.
"$run_gui" cmd /c exit </dev/null >/dev/null 2>&1 || true
prefix=${QUORRIX_WINE_GUI_PREFIX:-$root/build/wine-gui-prefix}
read -r display _ <"$prefix.display" || { echo "bench: no display for the Wine prefix" >&2; exit 1; }
export DISPLAY=":$display"
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

# start CLASS PROGRAM...: starts it, prints "PID MS" once its window is painted.
start() {
  local class=$1 out
  shift
  out=$("$work/window_probe" "$class" 30000 -- "$@" 2>>"$work/programs.log") || {
    echo "bench: $* showed no window within 30 s" >&2
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
rss() { awk '/^VmRSS:/ {print $2}' "/proc/$1/status"; }
pss() { awk '/^Pss:/ {print $2}' "/proc/$1/smaps_rollup"; }

# launch windows|linux|plain: starts that window, prints "PID MS".
launch() {
  case $1 in
    windows) start quorrix.exe "$run_gui" "$win_exe" ;;
    plain) start plain_dialog.exe "$run_gui" "$work/plain_dialog.exe" ;;
    *) start quorrix "$linux_exe" ;;
  esac
}
for program in windows linux plain; do  # warm-up
  out=$(launch "$program")
  sleep 0.5
  stop "${out%% *}"
done

: >"$work/windows.ms"
: >"$work/linux.ms"
: >"$work/plain.ms"
for ((i = 0; i < runs; i++)); do
  case $((i % 3)) in
    0) order=(windows linux plain) ;;
    1) order=(linux plain windows) ;;
    *) order=(plain windows linux) ;;
  esac
  for program in "${order[@]}"; do
    out=$(launch "$program")
    echo "${out##* }" >>"$work/$program.ms"
    sleep 0.3
    stop "${out%% *}"
  done
done

: >"$work/windows.rss"
: >"$work/linux.rss"
for ((i = 0; i < 3; i++)); do
  out=$(launch windows)
  pid=${out%% *}
  shown=$("$run_gui" "$finder" 30 --pages </dev/null 2>>"$work/programs.log" | tr -d '\r')
  [ "$shown" = "frame: 其它信息" ] || { echo "bench: quorrix.exe's pages were not shown: $shown" >&2; exit 1; }
  sleep 1
  echo "$(rss "$pid") $(pss "$pid")" >>"$work/windows.rss"
  stop "$pid"

  out=$(launch linux)
  pid=${out%% *}
  sleep 0.3
  geometry=$(xdotool search --pid "$pid" --class quorrix getwindowgeometry --shell)
  wx=$(awk -F= '/^X=/ {print $2}' <<<"$geometry")
  wy=$(awk -F= '/^Y=/ {print $2}' <<<"$geometry")
  height=$(awk -F= '/^HEIGHT=/ {print $2}' <<<"$geometry")
  # The list's entries are one dialog font line high each, from 7/8 of a line down (the
  # list's top in dialog units) plus its one-pixel frame (as scripts/bench-window.sh).
  line=$(((height * 8 + 146) / 293))
  for row in 0 1 2 3 4 5 6 7; do
    xdotool mousemove $((wx + 40)) $((wy + (7 * line + 4) / 8 + 1 + line * row + line / 2)) \
      click --repeat 2 --delay 40 1
    sleep 0.4
  done
  sleep 1.5  # the summary page pauses a second after each piece of its output
  echo "$(rss "$pid") $(pss "$pid")" >>"$work/linux.rss"
  stop "$pid"
done

w_ms=$(median <"$work/windows.ms")
l_ms=$(median <"$work/linux.ms")
p_ms=$(median <"$work/plain.ms")
w_rss=$(cut -d' ' -f1 "$work/windows.rss" | median)
l_rss=$(cut -d' ' -f1 "$work/linux.rss" | median)
w_pss=$(cut -d' ' -f2 "$work/windows.rss" | median)
l_pss=$(cut -d' ' -f2 "$work/linux.rss" | median)
echo "runs: $runs (time), 3 (memory); display 1280x800, no window manager"
echo "quorrix.exe (Wine) ms to painted window: $(tr '\n' ' ' <"$work/windows.ms")"
echo "quorrix (Linux)    ms to painted window: $(tr '\n' ' ' <"$work/linux.ms")"
echo "plain_dialog.exe   ms to painted window: $(tr '\n' ' ' <"$work/plain.ms")"
awk -v w="$w_ms" -v l="$l_ms" -v p="$p_ms" 'BEGIN {
  printf "median start-up: quorrix.exe %.1f ms, Linux quorrix %.1f ms, ratio %.2f\n", w, l, w / l
  printf "median start-up: plain_dialog.exe %.1f ms (Wine'"'"'s floor); quorrix.exe %.2f times it\n", p, w / p }'
awk -v w="$w_rss" -v l="$l_rss" -v wp="$w_pss" -v lp="$l_pss" 'BEGIN {
  printf "median memory after every page: quorrix.exe %.1f MB (PSS %.1f), Linux quorrix %.1f MB (PSS %.1f), ratio %.2f (PSS %.2f)\n",
         w / 1024, wp / 1024, l / 1024, lp / 1024, w / l, wp / lp }'
