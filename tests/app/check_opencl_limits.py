#!/usr/bin/env python3
"""Runs the built `velmora --console` as a user did when it crashed: the OpenCL test with a block
above PoCL's largest buffer (POCL_MEMORY_LIMIT=1 makes that 256 MB), then the system read test.
The OpenCL test must end in its one line with both sizes, and the run must go on to its next test
and exit with the status of a run in which a test failed (1), not with a signal.

Usage: check_opencl_limits.py VELMORA
"""
import os
import re
import subprocess
import sys


def main():
    environment = dict(os.environ, POCL_MEMORY_LIMIT="1")
    run = subprocess.run([sys.argv[1], "--console", "--test", "opencl,sys-read", "--size", "512", "--passes", "2",
                          "--cores", "1"], capture_output=True, text=True, timeout=300, env=environment)
    print(run.stdout)
    lines = run.stdout.splitlines()
    failures = []
    if run.returncode != 1:
        failures.append(f"exit status {run.returncode} where a failed test gives 1, stderr: {run.stderr}")
    expected = [
        "OpenCL: Allocating buffer... 512.00 MB",
        "Exception: The block of 512.00 MB is larger than this OpenCL device's largest buffer of 256.00 MB",
        "Allocated system memory: 512.00 MB",
    ]
    found = [line for line in lines if line in expected]
    if found != expected:
        failures.append(f"expected, in order, {expected}; found {found}")
    if not any(re.fullmatch(r"Peak read SYS RAM: \d+\.\d{2} [KMGT]B/s", line) for line in lines):
        failures.append("the system read test after it gave no peak")
    if any(line.startswith("OpenCL: Pass") for line in lines):
        failures.append("a pass was launched over buffers that were not made")
    for failure in failures:
        print("FAIL", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
