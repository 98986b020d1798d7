#!/usr/bin/env bash
# Two figures of the OpenCL test on the first OpenCL device (PoCL on a machine without a GPU), in
# one run:
#  1. 2 work items at SIZE_MB, one launch per pass against the pass split into four launches over
#     parts of the block (forced; on a GPU the split is chosen by the device): the two peaks should
#     lie within 5 % of each other, since a split pass reads the same words.
#  2. The console's default work items (the device's compute units off a GPU) at SIZE_MB against
#     clpeak --global-bandwidth's best figure on the same device: at least 0.9.
# The runs alternate, clpeak among them, ROUNDS times, and each keeps its best, so that a busy
# machine touches every side alike. Speeds are in GB of 10^9 bytes per second, as clpeak gives them.
#
# Usage: tools/compare-opencl-launches.sh [SIZE_MB] [PASSES] [ROUNDS]
set -euo pipefail
cd "$(dirname "$0")/.."
size_mb=${1:-1024}
passes=${2:-5}
rounds=${3:-3}

tools/install-deps.sh clpeak
make --no-print-directory build >/dev/null
bench=build/tools/velmora-opencl-bench

# The best pass of a run as GB/s: work items x block / the shortest execution time.
best() {
  local items=$1
  awk -v items="$items" -v mb="$size_mb" '
    /^OpenCL: Execution time: [0-9]+ ns\.$/ { ns = $4; if (ns > 0 && (best == 0 || ns < best)) best = ns }
    /^Exception/ { print $0 > "/dev/stderr" }
    END { if (best == 0) exit 1; printf "%.3f\n", items * mb * 1048576 / best }'
}

# The work items the console runs on this device when none are given: 8704 on a GPU, else the
# device's compute units.
devices=$(build/app/velmora --console --list-devices)
default_items=$(echo "$devices" | awk '/^  Device 0:/ {
  if ($0 ~ / - GPU/) { print 8704; exit }
  for (i = 1; i < NF; ++i) if ($(i + 1) == "compute") { print $i; exit } }')

one=0; four=0; console=0; peak=0
for round in $(seq "$rounds"); do
  v=$(clpeak -p 0 -d 0 --global-bandwidth | awk '/float[0-9]* *:/ { if ($3 > best) best = $3 } END { print best }')
  peak=$(awk -v a="$peak" -v b="$v" 'BEGIN { print (b > a ? b : a) }')
  v=$("$bench" "$size_mb" 2 "$passes" 0 0 1 | best 2); one=$(awk -v a="$one" -v b="$v" 'BEGIN { print (b > a ? b : a) }')
  v=$("$bench" "$size_mb" 2 "$passes" 0 0 4 | best 2); four=$(awk -v a="$four" -v b="$v" 'BEGIN { print (b > a ? b : a) }')
  v=$(build/app/velmora --console --test opencl --size "$size_mb" --passes "$passes" | best "$default_items")
  console=$(awk -v a="$console" -v b="$v" 'BEGIN { print (b > a ? b : a) }')
done

status=0
printf 'block %s MB, %s passes, best of %s rounds; GB/s\n' "$size_mb" "$passes" "$rounds"
printf '%-40s %10s\n' "2 work items, one launch per pass" "$one" "2 work items, four launches per pass" "$four"
read -r ratio ok < <(awk -v a="$one" -v b="$four" 'BEGIN { r = b / a; printf "%.3f %d\n", r, (r >= 0.95 && r <= 1.05) }')
printf '%-40s %10s  %s\n' "four / one" "$ratio" "$([ "$ok" = 1 ] && echo "within 5 %" || echo "OUTSIDE 5 %")"
[ "$ok" = 1 ] || status=1
printf '%-40s %10s\n' "console default ($default_items work items)" "$console" "clpeak --global-bandwidth, best" "$peak"
read -r ratio ok < <(awk -v a="$console" -v b="$peak" 'BEGIN { r = a / b; printf "%.3f %d\n", r, (r >= 0.9) }')
printf '%-40s %10s  %s\n' "console default / clpeak" "$ratio" "$([ "$ok" = 1 ] && echo "at least 0.9" || echo "BELOW 0.9")"
[ "$ok" = 1 ] || status=1
exit "$status"
