#!/usr/bin/env bash
# Compares Velmora's all-core system RAM peaks with likwid-bench (its load, store and copy kernels
# on every core) and sysbench memory (every thread), in one run on this machine, and prints each
# figure in MiB/s with its ratio to the best reference for the same direction. The single-core
# tests are compared with sysbench's single thread too.
#
# Figures: Velmora's MB are 2^20 bytes (MiB), sysbench prints MiB/s, likwid-bench MByte/s of 10^6
# bytes, converted here. A copy moves every byte twice (read and write), and likwid counts both.
#
# Usage: tools/compare-allcore.sh [SIZE_MB] [PASSES]
set -euo pipefail
cd "$(dirname "$0")/.."
size_mb=${1:-2048}
passes=${2:-10}

tools/install-deps.sh sysbench likwid
make --no-print-directory build >/dev/null
velmora_bin=build/app/velmora
threads=$(nproc)

# The peak line's rate: "Peak system RAM read (all cores): 2.00 GB 90.10 ms (22730.3MB/s)".
velmora_peak() {
  "$velmora_bin" --console --test "$1" --size "$size_mb" --passes "$passes" |
    sed -n "s/^Peak system RAM $2: .*(\([0-9.E]*\)MB\/s)$/\1/p"
}

sysbench_rate() {  # threads, operation
  sysbench memory --threads="$1" --memory-block-size="$((size_mb / $1))M" \
    --memory-total-size="$((size_mb * passes))M" --memory-oper="$2" --memory-access-mode=seq run |
    sed -n 's/.*MiB transferred (\([0-9.]*\) MiB\/sec).*/\1/p'
}

likwid_rate() {  # kernel; the block split over every core of socket 0, in MiB/s
  likwid-bench -t "$1" -w "S0:${size_mb}MB:${threads}" -i "$passes" 2>/dev/null |
    awk '/^MByte\/s:/ { printf "%.1f", $2 * 1e6 / 1048576 }'
}

best() { tr ' ' '\n' | sort -g | tail -n 1; }

echo "Block ${size_mb} MB, ${passes} passes, ${threads} threads"
read_all=$(velmora_peak sys-read-all "read (all cores)")
write_all=$(velmora_peak sys-write-all "write (all cores)")
read_one=$(velmora_peak sys-read read)
write_one=$(velmora_peak sys-write write)

declare -A reference
for kernel in load load_sse load_avx load_avx512 store store_sse store_avx store_avx512 store_mem store_mem_avx \
  copy copy_avx copy_mem copy_mem_avx; do
  if likwid-bench -a | grep -q "^$kernel -"; then reference[likwid-$kernel]=$(likwid_rate "$kernel"); fi
done
reference[sysbench-read-$threads]=$(sysbench_rate "$threads" read)
reference[sysbench-write-$threads]=$(sysbench_rate "$threads" write)
reference[sysbench-read-1]=$(sysbench_rate 1 read)
reference[sysbench-write-1]=$(sysbench_rate 1 write)

printf '\n%-28s %12s\n' reference MiB/s
for name in $(printf '%s\n' "${!reference[@]}" | sort); do printf '%-28s %12s\n' "$name" "${reference[$name]}"; done

best_read=$(for name in "${!reference[@]}"; do
  case $name in likwid-load*|sysbench-read-"$threads") echo "${reference[$name]}";; esac; done | best)
best_write=$(for name in "${!reference[@]}"; do
  case $name in likwid-store*|sysbench-write-"$threads") echo "${reference[$name]}";; esac; done | best)
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", a / b }'; }

printf '\n%-22s %12s %14s %8s\n' velmora MiB/s "best reference" ratio
printf '%-22s %12s %14s %8s\n' sys-read-all "$read_all" "$best_read" "$(ratio "$read_all" "$best_read")"
printf '%-22s %12s %14s %8s\n' sys-write-all "$write_all" "$best_write" "$(ratio "$write_all" "$best_write")"
printf '%-22s %12s %14s %8s\n' sys-read "$read_one" "${reference[sysbench-read-1]}" \
  "$(ratio "$read_one" "${reference[sysbench-read-1]}")"
printf '%-22s %12s %14s %8s\n' sys-write "$write_one" "${reference[sysbench-write-1]}" \
  "$(ratio "$write_one" "${reference[sysbench-write-1]}")"
