#!/usr/bin/env bash
# Measures the SMBIOS decoder and the whole report process.
#
#   scripts/bench/report.sh [FIXTURES_DIR]                         (default ../shared/fixtures)
#   scripts/bench/report.sh --beside wine LINUX_BUILD WINDOWS_BUILD [DMI_DIR]
#
# Beside dmidecode (the default), on the captured tables of FIXTURES_DIR:
#   1. The decode inside one process (quorrix-decode-timing: fetch, decode and the five SMBIOS
#      pages, median per construction) on the largest captured table.
#   2. `quorrix-report --from-dump F --page 5` beside `dmidecode --from-dump F -t 17` on the
#      same dump files, with hyperfine; the ratio of the medians.
#   BENCH_BUILD_DIR: the release build to use (default build-smbios-bench);
#   ROUNDS, RUNS: hyperfine rounds per dump and runs per round (default 6 and 60).
#   Needs: cmake, ninja, hyperfine, dmidecode, python3.
# Beside wine: the Windows build under Wine against the Linux build, on the largest saved
# table (DMI_DIR):
#   1. The decode inside one process, where Wine's start-up does not count.
#   2. The whole process: quorrix-report --page 5 and --version (no decoding), medians
#      (QUORRIX_BENCH_RUNS runs, default 40).
#   3. The size of each program.
set -euo pipefail

here="$(cd "$(dirname "$0")/../.." && pwd)"
largest=smbios/libsmbios/Dell-Precision-T7600

if [ "${1:-}" = --beside ] && [ "${2:-}" = wine ]; then
  shift 2
  linux_build=${1:?usage: report.sh --beside wine LINUX_BUILD WINDOWS_BUILD [DMI_DIR]}
  windows_build=${2:?usage: report.sh --beside wine LINUX_BUILD WINDOWS_BUILD [DMI_DIR]}
  dir=${3:-$here/../shared/fixtures/$largest}
  wine_exe=$here/scripts/windows/wine-exe
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
    case "$f" in *.exe) strip=x86_64-w64-mingw32-strip ;; *) strip="strip" ;; esac
    "$strip" -o "$stripped" "$f"
    echo "size $(basename "$f"): $(stat -c %s "$f") bytes as built, $(stat -c %s "$stripped") stripped"
  done
  rm -f "$stripped"

  exit 0
fi
[ "${1:-}" = --beside ] && [ "${2:-}" = dmidecode ] && shift 2

fixtures="$(cd "${1:-$here/../shared/fixtures}" && pwd)"
build="${BENCH_BUILD_DIR:-$here/build-smbios-bench}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUORRIX_GUI=OFF \
    -DBUILD_TESTING=OFF -DQUORRIX_FIXTURES_DIR="$fixtures" >/dev/null
cmake --build "$build" --target quorrix-decode-timing quorrix-report -j2 >/dev/null

echo "== Decode and pages of $largest (median per construction, 31 rounds) =="
echo "$("$build/smbios/quorrix-decode-timing" "$fixtures/$largest" 31) us"

# Dump files in the `dmidecode --dump-bin` layout: the entry point padded to 32 bytes with
# its table address set to 0x20 and its checksums recomputed, then the table.
python3 - "$fixtures/smbios" "$work" <<'EOF'
import os, struct, sys
src, out = sys.argv[1], sys.argv[2]
machines = ["libsmbios/Dell-Precision-T7600", "go-smbios/SuperMicro-Quad-Opteron",
            "python-dmidecode/HP-ProLiant-DL580-G5", "u-root/Lenovo-ThinkPad-T490-20N2",
            "rust-dmidecode/Dell-PowerEdge-R777sd"]
def fix(b, start, length, at):
    b[at] = 0
    b[at] = (-sum(b[start:start + length])) & 0xFF
for m in machines:
    d = os.path.join(src, m)
    if not os.path.isdir(d):
        continue
    ep = bytearray(open(os.path.join(d, "entry_point"), "rb").read())
    dmi = open(os.path.join(d, "DMI"), "rb").read()
    if ep[:5] == b"_SM3_":
        struct.pack_into("<Q", ep, 0x10, 0x20)
        fix(ep, 0, ep[6], 5)
    else:
        struct.pack_into("<I", ep, 0x18, 0x20)
        fix(ep, 0x10, 0x0F, 0x15)
        fix(ep, 0, ep[5], 4)
    ep = bytes(ep[:0x20]).ljust(0x20, b"\0")
    open(os.path.join(out, m.split("/")[1] + ".bin"), "wb").write(ep + dmi)
EOF

report="$build/cli/quorrix-report"
rounds="${ROUNDS:-6}"
runs="${RUNS:-60}"
echo
echo "== Whole process: quorrix-report --page 5 vs dmidecode -t 17 =="
echo "   (hyperfine, $rounds interleaved rounds of $runs runs each: wall = median over all"
echo "    runs; cpu = user + system, median of the rounds' means)"
printf '%-28s %8s %10s %10s %6s %10s %10s %6s\n' dump bytes wall_ms dmi_wall ratio cpu_ms dmi_cpu ratio
for f in "$work"/*.bin; do
    name="$(basename "$f" .bin)"
    "$report" --from-dump "$f" --page 5 >/dev/null
    dmidecode --from-dump "$f" -t 17 >/dev/null
    # Rounds alternate which command goes first, so load from other processes on the
    # machine falls on both alike.
    for r in $(seq "$rounds"); do
        a="$report --from-dump $f --page 5"
        b="dmidecode --from-dump $f -t 17"
        if [ $((r % 2)) -eq 0 ]; then set -- "$b" "$a"; else set -- "$a" "$b"; fi
        hyperfine -N --warmup 10 --runs "$runs" --export-json "$work/$name.$r.json" "$@" \
            >/dev/null 2>&1
    done
    python3 - "$work" "$name" "$(stat -c %s "$f")" <<'EOF2'
import glob, json, statistics, sys
work, name, size = sys.argv[1:4]
times = {"report": [], "dmidecode": []}
cpu = {"report": [], "dmidecode": []}  # user + system, mean of each round
for path in glob.glob(f"{work}/{name}.*.json"):
    for r in json.load(open(path))["results"]:
        key = "dmidecode" if r["command"].startswith("dmidecode") else "report"
        times[key] += r["times"]
        cpu[key].append(r["user"] + r["system"])
q = statistics.median(times["report"]) * 1e3
d = statistics.median(times["dmidecode"]) * 1e3
qc = statistics.median(cpu["report"]) * 1e3
dc = statistics.median(cpu["dmidecode"]) * 1e3
print("%-28s %8s %10.3f %10.3f %6.2f %10.3f %10.3f %6.2f" % (name, size, q, d, q / d, qc, dc, qc / dc))
EOF2
done
