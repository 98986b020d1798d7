#!/usr/bin/env bash
# Compares Velmora's GFX RAM peaks with its system RAM peaks over the same block size, in one run
# of the program on this machine, and prints the ratios both ways (target: each at least 0.9).
# On lavapipe, Mesa's Vulkan CPU device, "device memory" is system RAM, so the two must agree: a
# GFX figure far above the system one means the GFX block was not backed by real pages, one far
# below means the walk over the mapping costs what it should not.
#
# Usage: tools/compare-gfxram.sh [SIZE_MB] [PASSES]
set -euo pipefail
cd "$(dirname "$0")/.."
size_mb=${1:-512}
passes=${2:-10}

make --no-print-directory build >/dev/null
log=$(build/app/velmora --console --test gfx-write,gfx-read,sys-write,sys-read --size "$size_mb" --passes "$passes")
echo "$log" | sed -n 2p  # the adapter line: which device the GFX figures come from

# The peak line's rate in MB/s: "Peak GFX RAM read: 512.00 MB 49.70 ms (10302.6MB/s)".
peak() {
  echo "$log" | sed -n "s/^Peak $1 RAM $2: .*(\([0-9.E]*\)MB\/s)$/\1/p"
}

status=0
printf '%-6s %12s %12s %9s %9s\n' test "GFX MB/s" "system MB/s" "gfx/sys" "sys/gfx"
for oper in write read; do
  gfx=$(peak GFX "$oper")
  sys=$(peak system "$oper")
  if [ -z "$gfx" ] || [ -z "$sys" ]; then
    echo "$log" >&2
    echo "compare-gfxram: no peak for the $oper tests" >&2
    exit 1
  fi
  read -r forward backward ok < <(awk -v g="$gfx" -v s="$sys" \
    'BEGIN { f = g / s; b = s / g; printf "%.3f %.3f %d\n", f, b, (f >= 0.9 && b >= 0.9) }')
  printf '%-6s %12s %12s %9s %9s\n' "$oper" "$gfx" "$sys" "$forward" "$backward"
  [ "$ok" = 1 ] || status=1
done
[ "$status" = 0 ] && echo "within target (both ratios at least 0.9)" || echo "OUTSIDE target (a ratio below 0.9)"
exit "$status"
