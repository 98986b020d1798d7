#!/usr/bin/env bash
# Compares Velmora's system RAM peaks with sysbench's single-thread sequential rates over the
# same block size, in one run on this machine, and prints each ratio (target: at least 0.95).
#
# Usage: tools/compare-sysram.sh [SIZE_MB] [PASSES]
set -euo pipefail
cd "$(dirname "$0")/.."
size_mb=${1:-512}
passes=${2:-10}

tools/install-deps.sh sysbench
make --no-print-directory build >/dev/null
velmora_bin=build/app/velmora

# The peak line's rate, in MB/s of 2^20 bytes: "Peak system RAM read: 512.00 MB 49.70 ms (10302.6MB/s)".
velmora_peak() {
  "$velmora_bin" --console --test "$1" --size "$size_mb" --passes "$passes" |
    sed -n "s/^Peak system RAM $2: .*(\([0-9.E]*\)MB\/s)$/\1/p"
}

# sysbench's rate in MiB/s: one thread walking one block of the same size sequentially.
sysbench_rate() {
  sysbench memory --threads=1 --memory-block-size="${size_mb}M" --memory-total-size="$((size_mb * passes))M" \
    --memory-oper="$1" --memory-access-mode=seq run |
    sed -n 's/.*MiB transferred (\([0-9.]*\) MiB\/sec).*/\1/p'
}

printf '%-6s %16s %16s %8s\n' test "velmora MB/s" "sysbench MiB/s" ratio
for oper in write read; do
  peak=$(velmora_peak "sys-$oper" "$oper")
  reference=$(sysbench_rate "$oper")
  ratio=$(awk -v a="$peak" -v b="$reference" 'BEGIN { printf "%.3f", a / b }')
  printf '%-6s %16s %16s %8s\n' "$oper" "$peak" "$reference" "$ratio"
done
