#!/usr/bin/env bash
# Cross-builds GoogleTest (and GoogleMock) for Windows from Debian's sources in
# /usr/src/googletest, with the project's toolchain file, and installs it into a prefix that
# find_package(GTest) of the Windows build finds:
#   scripts/windows/build-gtest.sh [PREFIX]     (default: build/mingw-gtest)
# A prefix built from the same GoogleTest version and toolchain file is reused as it is.
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
prefix=${1:-$root/build/mingw-gtest}
source_dir=/usr/src/googletest
toolchain=$root/cmake/mingw-w64-x86_64.cmake
jobs=${QUORRIX_JOBS:-$(nproc)}

if [ ! -f "$source_dir/CMakeLists.txt" ]; then
  echo "build-gtest: no GoogleTest sources in $source_dir (package googletest)" >&2
  exit 1
fi
stamp="$prefix/quorrix-gtest.stamp"
want="googletest $(dpkg-query -W -f='${Version}' googletest 2>/dev/null || echo unknown)
toolchain $(sha256sum "$toolchain" | cut -d' ' -f1)"
if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$want" ]; then
  echo "build-gtest: $prefix is up to date"
  exit 0
fi

work="$prefix.build"
log="$prefix.log"
rm -rf "$prefix" "$work"
mkdir -p "$(dirname "$prefix")"
echo "build-gtest: building GoogleTest for Windows into $prefix"
if ! {
  cmake -S "$source_dir" -B "$work" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DQUORRIX_MINGW_GTEST_PREFIX="$prefix" -DBUILD_GMOCK=ON -DINSTALL_GTEST=ON &&
    cmake --build "$work" -j "$jobs" &&
    cmake --install "$work"
} >"$log" 2>&1; then
  tail -n 40 "$log" >&2
  echo "build-gtest: failed (whole log: $log)" >&2
  exit 1
fi
rm -rf "$work" "$log"
printf '%s\n' "$want" >"$stamp"
echo "build-gtest: installed in $prefix"
