#!/usr/bin/env bash
# The run command: installs what is missing, builds, and starts the Quorrix window. Reading
# the firmware tables and the drive needs root: the window stays this user's and runs only
# quorrix-probe as root, through pkexec, asking for the probe of this build (--build-probe;
# an installed window runs only the installed, root-owned probe). Without pkexec the window
# opens with what this user can read and says why. Where there is no display it prints the
# same pages with quorrix-report instead, and says why.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh" run
build="$root/build/release"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
# The build log goes to stderr, so that stdout carries only the report when there is one.
cmake --build "$build" --target quorrix quorrix-systeminfo quorrix-report quorrix-probe -j "$(nproc)" >&2

window="$build/app/quorrix"
report="$build/cli/quorrix-report"
is_root=0
[ "$(id -u)" -eq 0 ] && is_root=1

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run: no display (DISPLAY and WAYLAND_DISPLAY are empty), so no window can open;" \
       "printing the pages with quorrix-report instead." >&2
  if [ "$is_root" -eq 0 ] && command -v sudo >/dev/null; then
    echo "run: through sudo, as the SMBIOS and disk pages need root." >&2
    exec sudo "$report"
  fi
  exec "$report"
fi

if [ "$is_root" -eq 1 ]; then
  exec "$window"
fi
if [ -x /usr/bin/pkexec ]; then
  # quorrix asks pkexec to run this build's probe as root, and goes on as this user (saying
  # why) when that is refused.
  exec "$window" --build-probe
fi
# No window runs as root: without pkexec it shows what this user can read, and says so.
echo "run: pkexec is not there, so the window shows only what this user can read on the" \
     "SMBIOS and disk pages; 'sudo $report' prints every page." >&2
exec "$window"
