#!/usr/bin/env bash
# Measures the SMBIOS decoder and the whole report process.
#   1. Google Benchmark of DecodeTable (release build): the largest captured table and a
#      synthetic 63999-byte one; medians of repeated runs.
#   2. `quorrix-report --from-dump F --page 5` beside `dmidecode --from-dump F -t 17` on the
#      same dump files, with hyperfine; the ratio of the medians.
# Usage: scripts/bench-report.sh [FIXTURES_DIR]   (default ../shared/fixtures)
#   BENCH_BUILD_DIR: the release build to use (default build-smbios-bench);
#   ROUNDS, RUNS: hyperfine rounds per dump and runs per round (default 6 and 60).
# Needs: cmake, ninja, libbenchmark-dev, hyperfine, dmidecode, python3.
set -euo pipefail

here="$(cd "$(dirname "$0")/.." && pwd)"
fixtures="$(cd "${1:-$here/../shared/fixtures}" && pwd)"
build="${BENCH_BUILD_DIR:-$here/build-smbios-bench}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUORRIX_GUI=OFF \
    -DQUORRIX_BENCHMARKS=ON -DBUILD_TESTING=OFF -DQUORRIX_FIXTURES_DIR="$fixtures" >/dev/null
cmake --build "$build" --target quorrix_smbios_benchmark quorrix-report -j2 >/dev/null

echo "== DecodeTable (median of 10 repetitions) =="
QUORRIX_FIXTURES_DIR="$fixtures" "$build/smbios/quorrix_smbios_benchmark" \
    --benchmark_repetitions=10 --benchmark_report_aggregates_only=true \
    --benchmark_filter=. 2>/dev/null | grep -E '^(Benchmark|BM_.*_median)'

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
