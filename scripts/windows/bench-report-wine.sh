#!/usr/bin/env bash
# The Windows build under Wine against the Linux build, on the largest saved table:
#   scripts/windows/bench-report-wine.sh LINUX_BUILD WINDOWS_BUILD [DMI_DIR]
# 1. The decode inside one process (quorrix-decode-timing: fetch, decode and the five SMBIOS
#    pages, median per construction), where Wine's start-up does not count.
# 2. The whole process: quorrix-report --page 5 and --version (no decoding), medians.
# 3. The size of each program.
set -euo pipefail
linux_build=$1
windows_build=$2
dir=${3:-$(dirname "$0")/../../../shared/fixtures/smbios/libsmbios/Dell-Precision-T7600}
wine_exe=$(cd "$(dirname "$0")" && pwd)/wine-exe
linux=$linux_build/cli/quorrix-report
windows=$(mktemp)
printf '#!/bin/sh\nexec "%s" "%s" "$@"\n' "$wine_exe" "$windows_build/cli/quorrix-report.exe" >"$windows"
chmod +x "$windows"
linux_decode=$("$linux_build/smbios/quorrix-decode-timing" "$dir" 51)
windows_decode=$("$wine_exe" "$windows_build/smbios/quorrix-decode-timing.exe" "$dir" 51 | tr -d '\r')
echo "decode and pages, median per construction: Linux ${linux_decode} us, Windows (Wine) ${windows_decode} us, ratio $(python3 -c "print(f'{$windows_decode / $linux_decode:.2f}')")x"
runs=${QUORRIX_BENCH_RUNS:-40}
json=$(mktemp)
trap 'rm -f "$json" "$windows"' EXIT
hyperfine -N --warmup 5 -r "$runs" --export-json "$json" \
  "$linux --dmi-dir $dir --page 5" "$linux --version" \
  "$windows --dmi-dir $dir --page 5" "$windows --version" >/dev/null
python3 - "$json" <<'PY'
import json, sys
r = [x["median"] * 1000 for x in json.load(open(sys.argv[1]))["results"]]
lp, lv, wp, wv = r
print(f"median ms: Linux page 5 {lp:.2f}, --version {lv:.2f}; Wine page 5 {wp:.2f}, --version {wv:.2f}")
print(f"whole process, Wine / Linux: {wp / lp:.1f}x")
PY
stripped=$(mktemp)
for f in "$linux" "$windows_build"/cli/quorrix-report.exe "$windows_build"/win32/quorrix.exe; do
  [ -f "$f" ] || continue
  case "$f" in *.exe) strip=x86_64-w64-mingw32-strip ;; *) strip=strip ;; esac
  "$strip" -o "$stripped" "$f"
  echo "size $(basename "$f"): $(stat -c %s "$f") bytes as built, $(stat -c %s "$stripped") stripped"
done
rm -f "$stripped"
