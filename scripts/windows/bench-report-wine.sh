#!/usr/bin/env bash
# quorrix-report.exe under Wine against the Linux build, on the largest saved table:
#   scripts/windows/bench-report-wine.sh LINUX_REPORT WINDOWS_REPORT_WRAPPER [DMI_DIR]
# Times the memory page (the whole table walked and decoded) and, to tell Wine's own start-up
# apart, --version (no decoding) on each system; prints the medians, the decode cost (page
# minus --version) and the ratios, and the size of each program.
set -euo pipefail
linux=$1
windows=$2
dir=${3:-$(dirname "$0")/../../../shared/fixtures/smbios/libsmbios/Dell-Precision-T7600}
runs=${QUORRIX_BENCH_RUNS:-40}
json=$(mktemp)
trap 'rm -f "$json"' EXIT
hyperfine -N --warmup 5 -r "$runs" --export-json "$json" \
  "$linux --dmi-dir $dir --page 5" "$linux --version" \
  "$windows --dmi-dir $dir --page 5" "$windows --version" >/dev/null
python3 - "$json" <<'PY'
import json, sys
r = [x["median"] * 1000 for x in json.load(open(sys.argv[1]))["results"]]
lp, lv, wp, wv = r
print(f"median ms: Linux page 5 {lp:.2f}, --version {lv:.2f}; Wine page 5 {wp:.2f}, --version {wv:.2f}")
print(f"whole process, Wine / Linux: {wp / lp:.1f}x")
ld, wd = max(lp - lv, 1e-3), max(wp - wv, 1e-3)
print(f"decode (page 5 minus --version): Linux {ld:.2f} ms, Wine {wd:.2f} ms, ratio {wd / ld:.2f}x")
PY
for f in "$linux" "${WINDOWS_EXE:-}"; do
  [ -n "$f" ] && [ -f "$f" ] && echo "size $(basename "$f"): $(stat -c %s "$f") bytes"
done
