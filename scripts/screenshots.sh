#!/usr/bin/env bash
# Takes the pictures in docs/screenshots: every page of the window for a sample laptop (the
# summary page from this machine) and the dead-pixel test, under a virtual X display.
# Usage: scripts/screenshots.sh [BUILD_DIR]   (default: build/screenshots)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/screenshots}
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$build" --target quorrix_screenshots -j "${QUORRIX_JOBS:-2}"
command -v xvfb-run >/dev/null || { echo "screenshots: xvfb-run is missing (apt-get install xvfb xauth)" >&2; exit 1; }
# 96 dpi, as the layout's 9 point font is measured at; no window manager, so no frames.
xvfb-run -a -s '-screen 0 1280x800x24 -dpi 96' "$build/app/quorrix_screenshots" "$root/docs/screenshots"
