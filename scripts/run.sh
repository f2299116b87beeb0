#!/usr/bin/env bash
# The run command: installs what is missing, builds, and starts Quorrix. Where there is no
# display it prints the same pages with quorrix-report instead.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh" run
cmake -S "$root" -B "$root/build/release" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$root/build/release" -j "$(nproc)"

bin="$root/build/release"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display (DISPLAY and WAYLAND_DISPLAY are empty): printing the report instead of opening the window." >&2
  report="$bin/cli/quorrix-report"
  if [ "$(id -u)" -ne 0 ] && command -v sudo >/dev/null; then
    exec sudo "$report"
  fi
  exec "$report"
fi
exec "$bin/app/quorrix"
