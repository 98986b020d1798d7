#!/usr/bin/env bash
# On a machine with a real GPU (and without a desktop, Qt or root): builds the console-only
# program, lists the Vulkan adapters and OpenCL devices, runs the GFX tests at 256 MB and at the
# largest block the card's free memory allows, the OpenCL test with the console's defaults and with
# a small block, and the transfer tests at 512 MB, then prints the figures next to what the PCIe
# link can carry.
#
# It assumes the build tools and the Vulkan and OpenCL loaders are there (libvulkan.so.1,
# libOpenCL.so.1) and installs nothing; point VK_DRIVER_FILES / OCL_ICD_VENDORS at the drivers if
# they are not where the loaders look.
#
# Usage: tools/gpu-check.sh [BUILD_DIR] [PASSES]
set -uo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-gpu-check}
passes=${2:-3}
velmora=$build/app/velmora

echo "== Building the console-only program in $build"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_WINDOW=OFF -DVELMORA_BUILD_TESTS=OFF \
  >"$build.configure.log" 2>&1 || { cat "$build.configure.log"; exit 1; }
cmake --build "$build" --target velmora velmora-opencl-bench >"$build.build.log" 2>&1 || { tail -40 "$build.build.log"; exit 1; }

echo "== velmora --console --list-devices"
devices=$("$velmora" --console --list-devices)
echo "$devices"

# The start-up lines tell the adapter, its free memory and what the processor can reach.
startup=$("$velmora" --console --test sys-read --size 256 --passes 2 | head -4)
reach=$(echo "$startup" | sed -n 's/^GFX memory the processor can reach: //p')
echo
echo "== The GFX tests' adapter: $(echo "$startup" | sed -n 2p)"
echo "   the processor reaches: ${reach:-(no allocator)}"

# Bytes per second a PCIe link carries each way, after its line coding: "PCIe 4.0 x16" -> 31.51 GB/s.
link=$(echo "$reach" | sed -n 's/.*PCIe \([0-9.]*\) x\([0-9]*\).*/\1 \2/p')
link_rate=""
if [ -n "$link" ]; then
  link_rate=$(echo "$link" | awk '{ split("1.1 0.25 2.0 0.5 3.0 0.9846 4.0 1.969 5.0 3.938 6.0 7.563", t, " ");
    for (i = 1; i < 12; i += 2) if (t[i] == $1) printf "%.2f", t[i + 1] * $2 }')
  echo "   PCIe $(echo "$link" | awk '{ print $1 " x" $2 }') carries ${link_rate:-?} GB/s each way (10^9 bytes)"
fi

# The largest block: the card's free memory (resizable BAR on) or its window (off: the test
# reduces any larger block to what the window holds), in whole MB, within the window's limits.
to_mb() { awk '{ v = $1; u = $2; m = (u == "GB") ? 1024 : (u == "TB") ? 1048576 : (u == "MB") ? 1 : 0; print int(v * m) }'; }
free_mb=$(echo "$startup" | sed -n '2s/.*Free texture memory: //p' | to_mb)
largest=$(awk -v f="${free_mb:-0}" 'BEGIN { s = int(f * 0.9); if (s > 10000) s = 10000; if (s < 256) s = 256; print s }')

gfx_peaks() {
  grep -E '^(GFX RAM block|Peak GFX RAM (write|read)|Exception|Error)' | sed 's/^/   /'
}
for size in 256 "$largest"; do
  echo
  echo "== GFX write and read, $size MB, $passes passes"
  "$velmora" --console --test gfx-write,gfx-read --size "$size" --passes "$passes" | gfx_peaks
done
[ -n "$link_rate" ] && echo "   (the processor's reads and writes cross the PCIe link: at most $link_rate GB/s, that is $(awk -v r="$link_rate" 'BEGIN { printf "%.0f", r * 1e9 / 1048576 }') MB/s)"

opencl_lines() {
  grep -E '^(OpenCL: (Execution time|Speed)|OpenCL GFX RAM read & write test (average|peak)|Exception)' | sed 's/^/   /'
}
echo
echo "== OpenCL read & write, the console's defaults (512 MB, default work items), $passes passes"
"$velmora" --console --test opencl --passes "$passes" | opencl_lines
echo
echo "== OpenCL read & write, a small block: 64 MB, 256 work items, $passes passes"
"$build/tools/velmora-opencl-bench" 64 256 "$passes" | opencl_lines
echo
echo "== Host-device transfers, 512 MB, $passes passes (the OpenCL device of the tests above)"
"$velmora" --console --test opencl-h2d,opencl-d2h --size 512 --passes "$passes" |
  grep -E '^(Peak (host to device|device to host)|Peak share of the link|Exception)' | sed 's/^/   /'
