#!/usr/bin/env python3
"""Runs `velmora --console` for real over 256 MB with 2 passes of every test: the GFX RAM tests on
this machine's Vulkan device, the OpenCL test on its first OpenCL device with 2 work items, and the
system RAM tests, and checks every printed line against the log's formats, in order: the four
start-up lines, every test's lines with the console's line on its passes after the first, and the
closing peaks.

Usage: check_console_run.py VELMORA
"""
import re
import subprocess
import sys

FIGURES = r"256\.00 MB \d+\.\d{2} ms \(\d+(\.\d+)?(E\d{2})?MB/s\)"
SPEED = r"\d+\.\d{2} [KMGT]B/s"
FREE = r"Free texture memory: \d+\.\d{2} [KMGT]?B"
# The console's own line after a test that completed: its passes after the first (one of two).
WARM = rf"Passes after the first \(1\): {SPEED}, too few for a spread; first pass {SPEED}"
STARTUP = [
    r"Velmora \d+\.\d+\.\d+\.\d+ Linux64 - .*https://.*",
    rf".+ - {FREE}",
    r".*",  # the processor's name, empty where /proc/cpuinfo has none
    r"GFX memory the processor can reach: \d+\.\d{2} [KMGT]?B of \d+\.\d{2} [KMGT]?B "
    r"\((resizable BAR (on|off)|memory shared with the processor)\)(, PCIe .+ x\d+.*)?",
]


def expected_gfx(kind, verb):
    return [
        FREE,
        rf"Running GFX RAM {kind} test\.\.\.",
        rf"{verb} GFX memory: {FIGURES}",
        rf"{verb} GFX memory: {FIGURES}",
        FREE,
        rf"Average GFX RAM {kind}: {FIGURES}",
        rf"Peak GFX RAM {kind}: {FIGURES}",
        WARM,
    ]


OPENCL_SPEED = r"\d+(\.\d{2} [KMGTPE]B| Byte)/s"
OPENCL = [
    r"Running OpenCL GFX RAM read & write test\.\.\.",
    r"OpenCL: Creating command queue\.\.\.",
    r"OpenCL: Allocating buffer\.\.\. 256\.00 MB",
    r"OpenCL: Creating buffer\.\.\.",
    r"OpenCL: Creating program\.\.\.",
] + [line for number in (1, 2) for line in (
    rf"OpenCL: Pass {number}\.\.\.",
    r"OpenCL: Execution time: [1-9]\d* ns\.",
    rf"OpenCL: Speed: {OPENCL_SPEED}",
)] + [
    r"OpenCL: Freeing\.\.\.",
    r"OpenCL test finished\.",
    rf"OpenCL GFX RAM read & write test average: {OPENCL_SPEED}",
    rf"OpenCL GFX RAM read & write test peak: {OPENCL_SPEED}",
    WARM,
]


def expected(kind, verb, noun):
    return [
        r"Allocated system memory: 256\.00 MB",
        rf"Running system RAM {kind} test\.\.\.",
        rf"{verb} system memory: {FIGURES}",
        rf"{verb} system memory: {FIGURES}",
        r"Freed system memory: 256\.00 MB",
        rf"Average system RAM {kind}: {FIGURES}",
        rf"Peak system RAM {kind}: {FIGURES}",
        WARM,
    ]


def main():
    run = subprocess.run([sys.argv[1], "--console", "--test", "all", "--size", "256", "--passes", "2", "--cores", "2"],
                         capture_output=True, text=True, timeout=300)
    lines = run.stdout.splitlines()
    patterns = STARTUP + expected_gfx("write", "Write to") + expected_gfx("read", "Read from") + OPENCL + \
        expected("write", "Write to", "write") + expected("read", "Read from", "read") + [
        r"", rf"Peak write GFX RAM: {SPEED}", rf"Peak read GFX RAM: {SPEED}", rf"Peak r&w GFX RAM: {OPENCL_SPEED}",
        rf"Peak write SYS RAM: {SPEED}", rf"Peak read SYS RAM: {SPEED}"]
    failures = []
    if run.returncode != 0:
        failures.append(f"exit status {run.returncode}, stderr: {run.stderr}")
    if run.stderr:
        failures.append(f"unexpected stderr: {run.stderr}")
    if len(lines) != len(patterns):
        failures.append(f"expected {len(patterns)} lines, got {len(lines)}")
    for number, (line, pattern) in enumerate(zip(lines, patterns), 1):
        if not re.fullmatch(pattern, line):
            failures.append(f"line {number} {line!r} does not match {pattern!r}")
    print(run.stdout)
    for failure in failures:
        print("FAIL", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
