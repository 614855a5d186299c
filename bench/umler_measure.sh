#!/bin/sh
# Measures the UMLER register in a Release build of its own:
#   1. bench_umler (load against cp / copy_file / read-write, lookups, reads),
#   2. velmora-tool umler load on 200,000 and 2,000,000-line extracts against
#      `cp` of the same files, with the peak memory of each run.
# Generated files go to a scratch folder in /tmp and are removed at the end.
# Usage: bench/umler_measure.sh [build-dir]   (default build/umler-release)
set -eu
src=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$src/build/umler-release}
cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_BENCH=ON -DVELMORA_TESTS=OFF >/dev/null
cmake --build "$build" --target bench_umler velmora-tool -j2 >/dev/null
scratch=$(mktemp -d /tmp/velmora-umler-measure.XXXXXX)
trap 'rm -rf "$scratch"' EXIT

echo "== bench_umler"
VELMORA_BENCH_DIR="$scratch/bench" "$build/bench_umler" --benchmark_repetitions=5 \
    --benchmark_report_aggregates_only=true

# An ordered extract of $1 lines, 30 columns and CR LF.
gen() {
    awk -v n="$1" 'BEGIN {
        srand(7); L = "ABCDEFGHIJKLMNOPQRSTUVWXYZ"; w = 0; k = 0
        while (w < n) {
            ini = substr(L, int(k / 676) % 26 + 1, 1) substr(L, int(k / 26) % 26 + 1, 1) substr(L, k % 26 + 1, 1) " "
            k++; num = 1
            for (j = 0; j < 1500 && w < n; j++) {
                printf " %s%06d%s%03d%02d%d%d%04d%04d\r\n", ini, num, (j % 10 ? "T106" : "D100"),
                    int(rand() * 100), int(rand() * 12), int(rand() * 9) + 1, int(rand() * 9), int(rand() * 10000), int(rand() * 10000)
                num += 2; w++
            }
        }
    }'
}

ms() { echo $(( ($2 - $1) / 1000000 )); }
median() { tr ' ' '\n' | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

for n in 200000 2000000; do
    gen $n > "$scratch/Umler-$n.txt"
    cat "$scratch/Umler-$n.txt" > /dev/null # in the page cache for both
    cp "$scratch/Umler-$n.txt" "$scratch/copy.txt"
    cps=""; loads=""; starts=""
    for i in 1 2 3 4 5 6 7; do
        a=$(date +%s%N); cp "$scratch/Umler-$n.txt" "$scratch/copy.txt"; b=$(date +%s%N)
        "$build/velmora-tool" umler load "$scratch/Umler-$n.txt" --data "$scratch/umlerdata.uml" >/dev/null
        c=$(date +%s%N)
        "$build/velmora-tool" umler find A 1 --data "$scratch/none.uml" 2>/dev/null || true
        d=$(date +%s%N)
        cps="$cps $(ms $a $b)"; loads="$loads $(ms $b $c)"; starts="$starts $(ms $c $d)"
    done
    cp_ms=$(echo $cps | median); load_ms=$(echo $loads | median); start_ms=$(echo $starts | median)
    cp_kb=$( { /usr/bin/time -f "%M" cp "$scratch/Umler-$n.txt" "$scratch/copy.txt"; } 2>&1 )
    load_kb=$( { /usr/bin/time -f "%M" "$build/velmora-tool" umler load "$scratch/Umler-$n.txt" \
                 --data "$scratch/umlerdata.uml" >/dev/null; } 2>&1 )
    echo "== $n lines ($(stat -c %s "$scratch/Umler-$n.txt") bytes), medians of 7, both replacing an existing file:"
    echo "   cp ${cp_ms} ms; velmora-tool umler load ${load_ms} ms (of which ~${start_ms} ms is starting the tool);" \
         "ratio $(echo "$load_ms $cp_ms" | awk '{ if ($2 > 0) printf "%.2f", $1 / $2; else print "n/a" }')"
    echo "   peak memory: cp ${cp_kb} KB, velmora-tool umler load ${load_kb} KB"
done
