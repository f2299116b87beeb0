#!/usr/bin/env bash
# Start-up time and memory of the Quorrix window beside other programs, all started the same
# way on one virtual X display in the same run.
#
#   scripts/bench/window.sh [--beside hardinfo|wine] [--runs N] [BUILD_DIR...]
#
# --beside hardinfo (the default; run as root): the Linux window beside hardinfo (a GTK
#   program that shows hardware facts). BUILD_DIR: the Linux build (default build/release).
#   Both run as root, where quorrix reads the SMBIOS tables and the drive itself; those reads
#   and the battery's are part of its start-up. On its own display (scripts/bench/xvfb.sh).
# --beside wine: the Windows window (quorrix.exe under Wine) beside the Linux window and, for
#   the time, the floor Wine sets: plain_dialog.exe (scripts/bench/plain_dialog.c), a dialog
#   of the same size with nothing read first, built with the same mingw-w64 toolchain.
#   BUILD_DIRs: the Windows and the Linux build (defaults build/win-bench, build/bench-linux).
#   quorrix.exe starts through scripts/windows/wine-gui-exe on the window tests' display, as
#   the window tests do, with the Wine server and its services already running (Wine's own
#   cold start, seconds, is not the program's); its X class is "quorrix.exe".
#
# Time (RUNS, default 15): scripts/bench/window_probe starts the program (the clock starts
# right before its fork) and polls the display every millisecond until a top-level window of
# the program's X class is viewable and its pixels are no longer one flat colour, i.e. it is
# mapped and painted. The programs take turns, the order turning every run, after one
# unmeasured warm-up run each (so all start from a warm file cache).
# Memory (3 runs): VmRSS and PSS of the program after every page was shown once. The Linux
# window: a double-click on categories 1 to 8 with xdotool (8 runs quorrix-systeminfo and
# pauses a second); quorrix.exe: the same through the list's double-click notification sent
# from another Windows program (quorrix_find_window --pages; "systeminfo" under Wine prints
# nothing); hardinfo: its Computer, Devices and Network pages, one after the other with the
# arrow key (its Benchmarks section runs benchmarks and is left out). The Wine figure is the
# program's own process; the Wine server and services, shared by every Wine program, are not
# counted.
# Needs Xvfb, xdotool, a C compiler with the Xlib headers (libx11-dev); hardinfo, or
# mingw-w64 and Wine.
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
beside=hardinfo runs=15 builds=()
while [ $# -gt 0 ]; do
  case $1 in
    --beside) beside=$2; shift 2 ;;
    --runs) runs=$2; shift 2 ;;
    -h|--help) sed -n '2,32p' "$0"; exit 0 ;;
    *) builds+=("$1"); shift ;;
  esac
done
jobs=${QUORRIX_JOBS:-2}

need=(Xvfb:xvfb xdotool:xdotool cc:build-essential)
case $beside in
  hardinfo)
    if [ "$(id -u)" -ne 0 ]; then
      # Not as root, quorrix would ask pkexec to run its probe; the comparison runs both as root.
      echo "bench: run as root (sudo $0), so quorrix starts as it would with its rights" >&2
      exit 1
    fi
    need+=(hardinfo:hardinfo)
    linux_build=${builds[0]:-$root/build/release}
    ;;
  wine)
    need+=(wine:wine)
    win_build=${builds[0]:-$root/build/win-bench}
    linux_build=${builds[1]:-$root/build/bench-linux}
    ;;
  *) echo "bench: --beside hardinfo or --beside wine" >&2; exit 2 ;;
esac
missing=()
for tool in "${need[@]}"; do
  command -v "${tool%%:*}" >/dev/null || missing+=("${tool##*:}")
done
[ -f /usr/include/X11/Xlib.h ] || missing+=(libx11-dev)
if [ ${#missing[@]} -gt 0 ]; then
  echo "bench: missing ${missing[*]}; install with: apt-get install ${missing[*]}" >&2
  exit 1
fi

if [ ! -f "$linux_build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$linux_build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
    >/dev/null
fi
cmake --build "$linux_build" --target quorrix quorrix-systeminfo -j "$jobs" >/dev/null
linux_exe=$linux_build/app/quorrix

work=$(mktemp -d)
xvfb_pid=""
cleanup() {
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
cc -O2 -o "$work/window_probe" "$root/scripts/bench/window_probe.c" -lX11

if [ "$beside" = wine ]; then
  if [ ! -f "$win_build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$win_build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
  fi
  cmake --build "$win_build" --target quorrix quorrix_find_window -j "$jobs" >/dev/null
  win_exe=$win_build/win32/quorrix.exe
  finder=$win_build/win32/quorrix_find_window.exe
  run_gui=$root/scripts/windows/wine-gui-exe
  x86_64-w64-mingw32-gcc-posix -O2 -mwindows -static -o "$work/plain_dialog.exe" \
    "$root/scripts/bench/plain_dialog.c"
  # The window tests' display and Wine prefix: started (if they are not) by a first program.
  "$run_gui" cmd /c exit </dev/null >/dev/null 2>&1 || true
  prefix=${QUORRIX_WINE_GUI_PREFIX:-$root/build/wine-gui-prefix}
  read -r display _ <"$prefix.display" || { echo "bench: no display for the Wine prefix" >&2; exit 1; }
  export DISPLAY=":$display"
  export XDG_RUNTIME_DIR="$work/runtime"
  timed=(windows linux plain)
  measured=(windows linux)
else
  # shellcheck source=scripts/bench/xvfb.sh
  . "$root/scripts/bench/xvfb.sh"
  quorrix_start_xvfb "$work/xvfb.log"
  export HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime"
  mkdir -p "$HOME"
  timed=(linux hardinfo)
  measured=(linux hardinfo)
fi
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

# launch linux|hardinfo|windows|plain: starts that window, prints "PID MS".
launch() {
  case $1 in
    linux) start quorrix "$linux_exe" ;;
    hardinfo) start hardinfo hardinfo ;;
    windows) start quorrix.exe "$run_gui" "$win_exe" ;;
    plain) start plain_dialog.exe "$run_gui" "$work/plain_dialog.exe" ;;
  esac
}

# show_pages linux|hardinfo|windows PID: shows every page of that running window once.
show_pages() {
  local geometry wx wy height line row k shown
  case $1 in
    linux)
      sleep 0.3
      geometry=$(xdotool search --pid "$2" --class quorrix getwindowgeometry --shell)
      wx=$(awk -F= '/^X=/ {print $2}' <<<"$geometry")
      wy=$(awk -F= '/^Y=/ {print $2}' <<<"$geometry")
      height=$(awk -F= '/^HEIGHT=/ {print $2}' <<<"$geometry")
      # The list's entries are one dialog font line high each, from 7/8 of a line down (the
      # list's top in dialog units) plus its one-pixel frame; the line height is the window's
      # height in dialog units (293) over 8.
      line=$(((height * 8 + 146) / 293))
      for row in 0 1 2 3 4 5 6 7; do
        xdotool mousemove $((wx + 40)) $((wy + (7 * line + 4) / 8 + 1 + line * row + line / 2)) \
          click --repeat 2 --delay 40 1
        sleep 0.4
      done
      sleep 1.5  # the summary page pauses a second after its output
      ;;
    hardinfo)
      sleep 0.5
      geometry=$(xdotool search --pid "$2" --name '^System Information$' getwindowgeometry --shell)
      wx=$(awk -F= '/^X=/ {print $2}' <<<"$geometry")
      wy=$(awk -F= '/^Y=/ {print $2}' <<<"$geometry")
      # Its first entry (Computer, Summary) sits at (87, 106) in its window; the rest follow
      # with the Down key, through Network, Shared Directories.
      xdotool mousemove $((wx + 87)) $((wy + 106)) click 1
      for ((k = 0; k < 34; k++)); do
        xdotool key Down
        sleep 0.4
      done
      sleep 1
      ;;
    windows)
      shown=$("$run_gui" "$finder" 30 --pages </dev/null 2>>"$work/programs.log" | tr -d '\r')
      [ "$shown" = "frame: 其它信息" ] || { echo "bench: quorrix.exe's pages were not shown: $shown" >&2; exit 1; }
      sleep 1
      ;;
  esac
}

for program in "${timed[@]}"; do  # warm-up
  out=$(launch "$program")
  sleep 0.5
  stop "${out%% *}"
done
for program in "${timed[@]}"; do : >"$work/$program.ms"; done
count=${#timed[@]}
for ((i = 0; i < runs; i++)); do
  for ((k = 0; k < count; k++)); do
    program=${timed[$(((i + k) % count))]}
    out=$(launch "$program")
    echo "${out##* }" >>"$work/$program.ms"
    sleep 0.3
    stop "${out%% *}"
  done
done

for program in "${measured[@]}"; do : >"$work/$program.rss"; done
for ((i = 0; i < 3; i++)); do
  for program in "${measured[@]}"; do
    out=$(launch "$program")
    pid=${out%% *}
    show_pages "$program" "$pid"
    echo "$(rss "$pid") $(pss "$pid")" >>"$work/$program.rss"
    stop "$pid"
  done
done

declare -A label=([linux]="quorrix (Linux)" [hardinfo]=hardinfo [windows]="quorrix.exe (Wine)"
                  [plain]="plain_dialog.exe (Wine's floor)")
first=${timed[0]}
echo "runs: $runs (time), 3 (memory); display 1280x800, no window manager"
for program in "${timed[@]}"; do
  printf '%-32s ms to painted window: %s\n' "${label[$program]}" "$(tr '\n' ' ' <"$work/$program.ms")"
done
for program in "${timed[@]}"; do
  awk -v name="${label[$program]}" -v m="$(median <"$work/$program.ms")" \
      -v f="$(median <"$work/$first.ms")" -v first="${label[$first]}" 'BEGIN {
    printf "median start-up: %s %.1f ms, %s / it %.2f\n", name, m, first, f / m }'
done
for program in "${measured[@]}"; do
  awk -v name="${label[$program]}" -v r="$(cut -d' ' -f1 "$work/$program.rss" | median)" \
      -v p="$(cut -d' ' -f2 "$work/$program.rss" | median)" \
      -v f="$(cut -d' ' -f1 "$work/$first.rss" | median)" -v first="${label[$first]}" 'BEGIN {
    printf "median memory after every page: %s %.1f MB (PSS %.1f), %s / it %.2f\n",
           name, r / 1024, p / 1024, first, f / r }'
done
