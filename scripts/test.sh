#!/usr/bin/env bash
# The test command: installs what is missing, builds from scratch and runs every check.
#   1. a normal build (warnings as errors) and its test suite
#   2. the same suite built with AddressSanitizer and UndefinedBehaviorSanitizer
#   3. the libFuzzer targets (clang), each for a short run
#   4. the Windows build (mingw-w64, warnings as errors) and its test suite under Wine
#   5. the comparisons with independent decoders, when ../shared/tools is beside the checkout,
#      for quorrix-report and quorrix-report.exe alike, and the two builds' pages compared
#      byte for byte on every saved table, drive and battery
# Ends with one line "summary: N passed, M failed" over these steps.
set -uo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=${QUORRIX_JOBS:-$(nproc)}
fuzz_seconds=${QUORRIX_FUZZ_SECONDS:-20}
passed=0
failed=0
failed_steps=()

step() {  # step NAME COMMAND...: runs one step, counts and times it, keeps going on failure
  local name=$1 started=$SECONDS
  shift
  echo "=== $name"
  if "$@"; then
    passed=$((passed + 1))
    echo "=== $name: passed in $((SECONDS - started)) s"
  else
    failed=$((failed + 1))
    failed_steps+=("$name")
    echo "=== $name FAILED in $((SECONDS - started)) s"
  fi
}

"$root/scripts/deps.sh" test || { echo "summary: 0 passed, 1 failed"; exit 1; }

export QT_QPA_PLATFORM=offscreen
# Every build goes through the compiler cache (unless a launcher is already set): the steps
# build from scratch, but a second run of this command compiles only what changed.
# Paths are hashed relative to the checkout and the build folder is left out of the hash
# (every build has debug information, which would otherwise tie an entry to its folder), so
# another clone finds the same entries; its objects' debug information may then name the
# clone that compiled them first as the compile folder (the source names are relative).
if command -v ccache >/dev/null; then
  export CMAKE_C_COMPILER_LAUNCHER=${CMAKE_C_COMPILER_LAUNCHER:-ccache}
  export CMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER:-ccache}
  export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$root}
  export CCACHE_NOHASHDIR=${CCACHE_NOHASHDIR:-1}
fi

build_and_test() {  # build_and_test DIR CMAKE-ARGS...
  local dir=$1
  shift
  rm -rf "$dir"
  cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_COMPILE_WARNING_AS_ERROR=ON "$@" &&
    cmake --build "$dir" -j "$jobs" &&
    ctest --test-dir "$dir" --output-on-failure -j "$jobs" --timeout 300
}

step "build and test" build_and_test build/test -DCMAKE_BUILD_TYPE=RelWithDebInfo

# Sanitizer failures stop the test that hit them.
export ASAN_OPTIONS=abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
step "build and test with ASan+UBSan" build_and_test build/asan -DCMAKE_BUILD_TYPE=Debug \
  -DQUORRIX_SANITIZE=ON -DCMAKE_CXX_COMPILER=clang++

run_fuzzers() {
  rm -rf build/fuzz
  CXX=clang++ cmake -S "$root" -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUORRIX_FUZZ=ON -DQUORRIX_GUI=OFF -DBUILD_TESTING=OFF &&
    cmake --build build/fuzz -j "$jobs" || return 1
  local ok=0 found=0
  for fuzzer in $(find build/fuzz -maxdepth 3 -type f -name '*_fuzzer' -perm -u+x | sort); do
    found=1
    local corpus
    corpus=$(mktemp -d)
    echo "--- $(basename "$fuzzer") for ${fuzz_seconds}s"
    if ! "$fuzzer" -max_total_time="$fuzz_seconds" -max_len=70000 -print_final_stats=1 \
        "$corpus" 2>&1 | tail -n 5; then
      ok=1
    fi
    rm -rf "$corpus"
  done
  [ "$found" -eq 1 ] || { echo "no fuzz targets were built"; return 1; }
  return $ok
}
step "fuzz" run_fuzzers

# The Windows programs, cross-built and run under Wine. In a subshell: the Wine settings
# (the zh_CN.UTF-8 locale among them) stay out of the other steps. A Debug build: it compiles
# in two thirds of the time, and step 1 already builds the shared code optimised.
windows_build_and_test() (
  started=$SECONDS
  "$root/scripts/deps.sh" windows &&
    "$root/scripts/windows/build-gtest.sh" &&
    rm -rf build/win &&
    cmake -S "$root" -B build/win -G Ninja -DCMAKE_BUILD_TYPE=Debug \
      -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
      -DCMAKE_COMPILE_WARNING_AS_ERROR=ON &&
    cmake --build build/win -j "$jobs" || exit 1
  # The server and Wine's services start here, with no pipe of ctest's to hold open.
  . "$root/scripts/windows/wine-env.sh" && quorrix_wine_start || exit 1
  # quorrix-report.exe as one program path, for the comparison tools below (a run that Wine
  # ends with status 1 is run once more and written down in wine-repeated.log).
  printf '#!/bin/sh\nQUORRIX_WINE_RETRY_LOG="%s" exec "%s" "%s" "$@"\n' \
    "$root/build/win/wine-repeated.log" "$root/scripts/windows/wine-exe-retry" \
    "$root/build/win/cli/quorrix-report.exe" >build/win/quorrix-report-wine &&
    chmod +x build/win/quorrix-report-wine || exit 1
  status=0
  ctest --test-dir build/win --output-on-failure -j "$jobs" --timeout 300 || status=1
  echo "--- windows build and test: $((SECONDS - started)) s"
  exit $status
)
step "windows build and test" windows_build_and_test

tools="$root/../shared/tools"
fixtures="$root/../shared/fixtures"
if [ -d "$tools" ] && [ -d "$fixtures" ]; then
  report="$root/build/test/cli/quorrix-report"
  step "smbios-oracle" "$tools/smbios-oracle" --all-memory-types "$report" "$fixtures/smbios"
  step "disk-oracle" "$tools/disk-oracle" --wear --capacity "$report" "$fixtures/ata" "$fixtures/nvme"
  step "battery-oracle" "$tools/battery-oracle" "$report" "$fixtures/battery"
  step "edid-oracle" "$tools/edid-oracle" "$report" "$fixtures/edid"
  # The same comparisons against quorrix-report.exe under Wine (through the wrapper the
  # Windows step made), and its pages byte for byte against the Linux build's.
  report_win="$root/build/win/quorrix-report-wine"
  if [ -x "$report_win" ]; then
    step "smbios-oracle (Windows)" "$tools/smbios-oracle" --all-memory-types "$report_win" \
      "$fixtures/smbios"
    step "disk-oracle (Windows)" "$tools/disk-oracle" --wear --capacity "$report_win" \
      "$fixtures/ata" "$fixtures/nvme"
    step "battery-oracle (Windows)" "$tools/battery-oracle" "$report_win" "$fixtures/battery"
    step "edid-oracle (Windows)" "$tools/edid-oracle" "$report_win" "$fixtures/edid"
    step "Windows pages = Linux pages" "$root/scripts/windows/compare-report.sh" "$report" \
      "$report_win" "$fixtures" "$root/../shared/fixtures-extra"
    if [ -s "$root/build/win/wine-repeated.log" ]; then
      echo "=== runs of quorrix-report.exe that Wine ended with status 1, run once more"
      cat "$root/build/win/wine-repeated.log"
    fi
  else
    step "Windows oracles (no quorrix-report.exe was built)" false
  fi
else
  echo "=== oracles skipped: no ../shared/tools or ../shared/fixtures beside the checkout"
fi

if [ ${#failed_steps[@]} -gt 0 ]; then echo "failed steps: ${failed_steps[*]}"; fi
echo "all steps: $SECONDS s"
echo "summary: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
