#!/usr/bin/env bash
# Takes the pictures in docs/screenshots/windows: every page of the Windows window for the
# sample laptop, the about box and the dead-pixel test, under Wine on a virtual X display
# (scripts/windows/wine-gui-exe); then, from a second run on a screen of 144 DPI (150 %, as
# most laptops are scaled), the BIOS page and the dead-pixel test again (*-144dpi.png).
# Usage: scripts/windows/screenshots.sh [BUILD_DIR]   (default: build/win-screenshots)
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build/win-screenshots}
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
fi
cmake --build "$build" --target quorrix_win32_screenshots -j "${QUORRIX_JOBS:-2}"

out=$root/docs/screenshots/windows
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/96" "$work/144"
# The program writes BMP files into a folder it is given as a Windows path (Z: is /).
take() {
  "$root/scripts/windows/wine-gui-exe" "$build/win32/quorrix_win32_screenshots.exe" \
    "Z:${1//\//\\}" | tr -d '\r'
}
take "$work/96"
QUORRIX_WINE_DPI=144 take "$work/144"
mkdir -p "$out"
pairs=()
for bmp in "$work"/96/*.bmp; do
  name=$(basename "$bmp" .bmp)
  pairs+=("$bmp" "$out/$name.png")
done
for name in window-1-bios pixel-test-blue; do
  [ -f "$work/144/$name.bmp" ] || { echo "screenshots: no $name at 144 dpi" >&2; exit 1; }
  pairs+=("$work/144/$name.bmp" "$out/$name-144dpi.png")
done
[ ${#pairs[@]} -gt 4 ] || { echo "screenshots: no pictures were taken" >&2; exit 1; }
python3 "$root/scripts/windows/bmp_to_png.py" "${pairs[@]}"
echo "screenshots: $(( ${#pairs[@]} / 2 )) pictures in $out"
