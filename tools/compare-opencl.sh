#!/usr/bin/env bash
# The OpenCL read and write test on the first OpenCL device (PoCL on a machine without a GPU) at
# 64 MB with 2, 8 and 64 work items, next to clpeak's global memory bandwidth on the same device,
# in one run.
#
# Velmora counts one whole block per work item and pass (each work item reads the whole source
# block; together they write the destination once), so its speed is work items x block / kernel
# time. clpeak reads one buffer once with many work items, in the vector widths it names.
#
# Usage: tools/compare-opencl.sh [SIZE_MB] [PASSES] [PLATFORM DEVICE]
set -euo pipefail
cd "$(dirname "$0")/.."
size_mb=${1:-64}
passes=${2:-5}
platform=${3:-0}
device=${4:-0}

tools/install-deps.sh clpeak
make --no-print-directory build >/dev/null
bench=build/tools/velmora-opencl-bench

for items in 2 8 64; do
  echo "== Velmora, ${size_mb} MB, ${items} work items, ${passes} passes"
  "$bench" "$size_mb" "$items" "$passes" "$platform" "$device" |
    grep -E '^(OpenCL: (Execution time|Speed)|OpenCL GFX RAM read & write test (average|peak)|Exception)' |
    paste - - | sed 's/\t/   /' | sed 's/^OpenCL GFX RAM read & write test //'
done
echo "== clpeak --global-bandwidth (GB of 10^9 bytes per second)"
clpeak -p "$platform" -d "$device" --global-bandwidth | sed -n '/Global memory bandwidth/,$p'
