#!/usr/bin/env bash
# Installs the build into a fresh prefix and checks the layout a user gets: the program with its
# kernel source beside it (the OpenCL test of the installed program finds and builds it) and the
# desktop entry.
#
# Usage: check_install.sh BUILD_DIR
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
test -x "$prefix/bin/velmora" || { echo "FAIL: no bin/velmora"; exit 1; }
test -f "$prefix/bin/SpeedReadWrite.cl" || { echo "FAIL: no bin/SpeedReadWrite.cl beside it"; exit 1; }
test -f "$prefix/share/applications/velmora.desktop" || { echo "FAIL: no desktop entry"; exit 1; }
grep -q '^Exec=velmora$' "$prefix/share/applications/velmora.desktop" || { echo "FAIL: desktop entry Exec"; exit 1; }
output=$(cd / && "$prefix/bin/velmora" --console --test opencl --size 256 --passes 2 --cores 2)
if ! grep -q '^OpenCL GFX RAM read & write test peak: ' <<<"$output"; then
  echo "FAIL: the installed program's OpenCL test did not complete:"
  echo "$output"
  exit 1
fi
echo "ok: installed layout and a run of the installed program's OpenCL test"
