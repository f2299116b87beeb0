#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing Quorrix need.
# Usage: scripts/deps.sh [run|test]   (default: run)
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
  dmidecode smartmontools nvme-cli
  xvfb xauth
  # the .deb check and the end-to-end test on emulated hardware
  dpkg-dev desktop-file-utils libxml2-utils groff-base
  python3 qemu-system-x86 busybox-static acpica-tools
  # scripts/bench-report.sh
  hyperfine
)

want=("${RUN_PACKAGES[@]}")
if [ "${1:-run}" = test ]; then want+=("${TEST_PACKAGES[@]}"); fi

missing=()
for p in "${want[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}" >&2
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
