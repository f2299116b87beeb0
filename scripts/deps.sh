#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing Quorrix need.
# Usage: scripts/deps.sh [run|test|windows]   (default: run)
set -euo pipefail

# Building and running the window and quorrix-report.
RUN_PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  fonts-wqy-zenhei
)

# The test suite on top: GoogleTest, Google Benchmark, clang for the fuzzers, the reference
# decoders the tests compare with, a virtual display for the window tests.
TEST_PACKAGES=(
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  dmidecode smartmontools nvme-cli edid-decode
  xvfb xauth
  # the .deb check and the end-to-end test on emulated hardware
  dpkg-dev desktop-file-utils libxml2-utils groff-base
  python3 qemu-system-x86 busybox-static acpica-tools
  # scripts/bench/report.sh; scripts/bench/window.sh (double-clicks into the Linux window,
  # the first-frame probe's Xlib headers)
  hyperfine xdotool libx11-dev
  # a compiler cache: scripts/test.sh builds four times from scratch, and again on every run
  ccache
)

# The Windows build on top: the mingw-w64 cross compiler (POSIX threads), windres, the
# Windows headers, GoogleTest's sources to cross-build, Wine to run the programs and tests
# under, and the zh_CN.UTF-8 and zh_TW.UTF-8 locales (Wine's code pages 936 and 950).
WINDOWS_PACKAGES=(
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev googletest
  wine wine64 fonts-wine locales xvfb xauth
  # the window tests: Wine's own fonts for the caption buttons; the icon is made with python3;
  # a face of 宋体's metrics for the tests at 144 DPI
  python3 fonts-arphic-gbsn00lp
)

case "${1:-run}" in
  run) want=("${RUN_PACKAGES[@]}") ;;
  test) want=("${RUN_PACKAGES[@]}" "${TEST_PACKAGES[@]}") ;;
  windows) want=(cmake ninja-build "${WINDOWS_PACKAGES[@]}") ;;
  *)
    echo "usage: scripts/deps.sh [run|test|windows]" >&2
    exit 2
    ;;
esac

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

# Generates a locale when it is missing (Wine's code pages follow LANG): zh_CN.UTF-8 gives
# 936, zh_TW.UTF-8 gives 950 (the summary's output in a Traditional Chinese OEM code page).
make_locale() {
  locale -a 2>/dev/null | grep -qix "${1%.UTF-8}.utf-\?8" && return 0
  echo "Generating the $1 locale" >&2
  $SUDO sed -i "s/^# *\($1 UTF-8\)/\1/" /etc/locale.gen
  grep -q "^$1 UTF-8" /etc/locale.gen || echo "$1 UTF-8" | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen >/dev/null
}

missing=()
for p in "${want[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}" >&2
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
if [ "${1:-run}" = windows ]; then make_locale zh_CN.UTF-8 && make_locale zh_TW.UTF-8; fi
