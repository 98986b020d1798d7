#!/usr/bin/env bash
# Installs the build into a fresh prefix and runs the installed program's OpenCL test from /, where
# neither the build tree's kernel nor the current directory can help it: it must find the kernel
# source in share/velmora/, and a copy beside the program must win over that one.
#
# Usage: check_install.sh BUILD_DIR
set -euo pipefail
build=$1
prefix=$(realpath "$(mktemp -d)")  # as the program sees its own path, links resolved
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

fail() { echo "FAIL: $*"; exit 1; }
test -x "$prefix/bin/velmora" || fail "no bin/velmora"
[ "$(ls -A "$prefix/bin")" = velmora ] || fail "bin/ holds more than the program: $(ls -A "$prefix/bin" | tr '\n' ' ')"
shared="$prefix/share/velmora/SpeedReadWrite.cl"
test -f "$shared" || fail "no share/velmora/SpeedReadWrite.cl"

run_opencl() { (cd / && "$prefix/bin/velmora" --console --test opencl --size 256 --passes 2 --cores 2); }
peak='^OpenCL GFX RAM read & write test peak: '

# The installed layout: the kernel from share/velmora/.
output=$(run_opencl)
grep -q "$peak" <<<"$output" || fail "the installed program's OpenCL test did not complete:"$'\n'"$output"

# A copy beside the program wins: one that does not build gives no peak, and the failed test
# status 1.
echo '__kernel void speedreadkernel(' >"$prefix/bin/SpeedReadWrite.cl"
status=0
output=$(run_opencl 2>/dev/null) || status=$?  # without the compiler's complaints
[ "$status" -eq 1 ] || fail "the failed OpenCL test exited with $status, not 1"
! grep -q "$peak" <<<"$output" || fail "the OpenCL test ran share/velmora/'s kernel, not the copy beside the program"
rm "$prefix/bin/SpeedReadWrite.cl"

# Neither: the missing file is reported where the program looks first.
rm "$shared"
output=$(run_opencl) && fail "a missing kernel did not fail the run"
grep -qxF "OpenCL: Error: File not found: $prefix/bin/SpeedReadWrite.cl" <<<"$output" ||
  fail "a missing kernel was not reported beside the program:"$'\n'"$output"

echo "ok: bin/ holds only velmora; the installed program finds share/velmora/SpeedReadWrite.cl from /, a copy beside it wins"
