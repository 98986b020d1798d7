#!/usr/bin/env bash
# Compares Velmora's host-device transfer tests with clpeak --transfer-bandwidth on the same OpenCL
# device (PoCL on a machine without a GPU), in one run: the four peaks (host to device and device
# to host, each from pageable and from pinned memory) beside every figure clpeak gives, and each
# Velmora peak's ratio to clpeak's best copy command of the same direction (enqueueWriteBuffer,
# blocking or not, for host to device; enqueueReadBuffer for device to host). clpeak's map and
# memcpy lines are the processor's own copies, not the device's, and are shown for reference only.
#
# The runs alternate ROUNDS times and each side keeps its best, so that a busy machine weighs on
# both alike. Figures are in GB/s of 10^9 bytes, as clpeak gives them; Velmora's MB are 2^20 bytes.
#
# Usage: tools/compare-transfers.sh [SIZE_MB] [PASSES] [ROUNDS] [PLATFORM] [DEVICE]
set -euo pipefail
cd "$(dirname "$0")/.."
size_mb=${1:-512}
passes=${2:-5}
rounds=${3:-3}
platform=${4:-0}
device=${5:-0}

tools/install-deps.sh clpeak
make --no-print-directory build >/dev/null
velmora_bin=build/app/velmora

tests=(opencl-h2d-pageable opencl-h2d-pinned opencl-d2h-pageable opencl-d2h-pinned)
declare -A best=()
max() { awk -v a="${1:-0}" -v b="$2" 'BEGIN { print (b > a ? b : a) }'; }

for round in $(seq "$rounds"); do
  # "Peak host to device from pinned memory: 512.00 MB 40.12 ms (12761.7MB/s)", as GB/s.
  log=$("$velmora_bin" --console --test opencl-h2d,opencl-d2h --size "$size_mb" --passes "$passes" \
    --platform "$platform" --device "$device")
  if grep -q '^Exception' <<<"$log"; then grep '^Exception' <<<"$log" >&2; exit 1; fi
  while read -r name rate; do
    best[$name]=$(max "${best[$name]:-}" "$rate")
  done < <(awk '
    /^Peak (host to device from|device to host into) (pageable|pinned) memory: / {
      rate = $NF; sub(/^\(/, "", rate); sub(/MB\/s\)$/, "", rate)
      name = ($2 == "host" ? "opencl-h2d-" : "opencl-d2h-") $6
      printf "%s %.3f\n", name, rate * 1048576 / 1e9 }' <<<"$log")
  # "      enqueueWriteBuffer non-blocking : 11.22"
  while IFS='|' read -r name rate; do
    best["clpeak $name"]=$(max "${best["clpeak $name"]:-}" "$rate")
  done < <(clpeak -p "$platform" -d "$device" --transfer-bandwidth |
    awk -F: '/^ *(enqueue|memcpy)[^:]*:/ { name = $1; gsub(/^ +| +$/, "", name); rate = $2; gsub(/ /, "", rate)
                                           print name "|" rate }')
done

device_line=$("$velmora_bin" --console --list-devices | awk -v p="$platform" -v d="$device" '
  /^Platform / { current = $2; sub(/:$/, "", current) } current == p && $1 == "Device" && $2 == d ":" { print; exit }')
printf 'block %s MB, %s passes, best of %s rounds; GB/s of 10^9 bytes\n' "$size_mb" "$passes" "$rounds"
[ -n "$device_line" ] && printf 'OpenCL platform %s, %s\n' "$platform" "$(sed 's/^ *//' <<<"$device_line")"
for name in "enqueueWriteBuffer" "enqueueWriteBuffer non-blocking" "enqueueReadBuffer" \
  "enqueueReadBuffer non-blocking" "enqueueMapBuffer(for read)" "memcpy from mapped ptr" \
  "enqueueUnmap(after write)" "memcpy to mapped ptr"; do
  printf '%-44s %10s\n' "clpeak $name" "${best["clpeak $name"]:--}"
done
h2d=$(max "${best["clpeak enqueueWriteBuffer"]:-0}" "${best["clpeak enqueueWriteBuffer non-blocking"]:-0}")
d2h=$(max "${best["clpeak enqueueReadBuffer"]:-0}" "${best["clpeak enqueueReadBuffer non-blocking"]:-0}")
for name in "${tests[@]}"; do
  reference=$([ "${name:7:3}" = h2d ] && echo "$h2d" || echo "$d2h")
  ratio=$(awk -v a="${best[$name]:-0}" -v b="$reference" 'BEGIN { if (b > 0) printf "%.3f", a / b; else print "-" }')
  printf '%-44s %10s  %s of clpeak'"'"'s best %s copy\n' "velmora $name" "${best[$name]:--}" "$ratio" "${name:7:3}"
done
