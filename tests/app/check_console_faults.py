#!/usr/bin/env python3
"""The fault-injection table, through the console as a user runs it: an OpenCL library missing
entry points, one reporting absurd sizes, a Vulkan driver file naming a library that is not there,
and an address-space limit (ulimit -v) below the block. Every row must end with its line (a run
with its closing peaks), with the exit status the console documents for a failure; no row may end
in a signal.

Usage: check_console_faults.py VELMORA BROKEN_OPENCL_DIR [ROW...]   (no ROW: every row)
"""
import json
import os
import re
import subprocess
import sys
import tempfile

SPEED = r"\d+(\.\d{2} [KMGTPE]B| Byte)/s"
NO_PLATFORMS = "The OpenCL platforms could not be listed: "
BROKEN_OPENCL = {
    "no-platform-ids": "OpenCL function clGetPlatformIDs is not available",
    "absurd-text-size": "The OpenCL runtime reported a text of 4611686018427387904 bytes",
    "absurd-device-count": "The OpenCL runtime reported 4294967295 devices on one platform",
}
FAILED = 1  # the console's exit status when a test failed, or the platforms could not be listed
ALL_PEAKS = ["Peak write GFX RAM:", "Peak read GFX RAM:", "Peak r&w GFX RAM:", "Peak write SYS RAM:",
             "Peak read SYS RAM:"]


def rows(broken_opencl_dir, scratch):
    table = []
    for kind, message in BROKEN_OPENCL.items():
        environment = {"LD_LIBRARY_PATH": os.path.join(broken_opencl_dir, kind)}
        table.append((f"opencl-{kind}-list", environment, ["--list-devices"], FAILED,
                      {NO_PLATFORMS + re.escape(message): 1}, []))
        # The OpenCL test says it once; the system RAM test after it still runs.
        table.append((f"opencl-{kind}-run", environment, ["--test", "opencl,sys-read", "--size", "256"], FAILED,
                      {"Exception: " + re.escape(message): 1},
                      [r"Peak r&w GFX RAM: -", rf"Peak read SYS RAM: {SPEED}"]))
    driver = os.path.join(scratch, "missing_icd.json")
    with open(driver, "w") as file:
        json.dump({"file_format_version": "1.0.0",
                   "ICD": {"library_path": "/nonexistent/libvulkan_velmora_missing.so", "api_version": "1.3.0"}},
                  file)
    table.append(("vulkan-driver-without-library", {"VK_DRIVER_FILES": driver, "VK_ICD_FILENAMES": driver},
                  ["--test", "gfx-write,gfx-read,sys-read", "--size", "256"], FAILED,
                  {r"Error: Creating D3D (Object|Device)!": 1,
                   r"Exception: No GFX memory: the graphics adapter could not be opened": 2},
                  [r"Peak write GFX RAM: -", r"Peak read GFX RAM: -", rf"Peak read SYS RAM: {SPEED}"]))
    # 4 GB of address space runs the program on any machine and holds no block of 9.77 GB: every
    # test is refused its block in one line.
    table.append(("ulimit-v-below-the-block", {"VELMORA_ULIMIT_V_KB": str(4 << 20)},
                  ["--test", "all", "--size", "10000"], FAILED,
                  {r"Exception: .*": 5,
                   r"gfx-(write|read) failed: List index out of bounds \(0\)\.  TList is empty "
                   r"\(GFX RAM block of 9\.77 GB does not fit: .*\)": 2},
                  [caption + " -" for caption in ALL_PEAKS]))
    return table


def run_row(velmora, name, environment, arguments, status, lines, peaks):
    command = [velmora, "--console", "--passes", "2", "--cores", "2"] + arguments
    if arguments == ["--list-devices"]:
        command = [velmora, "--console", "--list-devices"]
    run_environment = dict(os.environ, **environment)
    limit = run_environment.pop("VELMORA_ULIMIT_V_KB", None)
    if limit:
        command = ["sh", "-c", f'ulimit -v {limit} && exec "$@"', "sh"] + command
    run = subprocess.run(command, env=run_environment, capture_output=True, text=True, timeout=300)
    output = run.stdout.splitlines()
    failures = []
    if run.returncode < 0:
        failures.append(f"ended by signal {-run.returncode}")
    elif run.returncode != status:
        failures.append(f"exit status {run.returncode}, not {status}")
    for pattern, count in lines.items():
        found = sum(1 for line in output if re.fullmatch(pattern, line))
        if found != count:
            failures.append(f"{found} lines match {pattern!r}, not {count}")
    # The peaks close the run, followed only by the reasons of failures whose error names none.
    closing = list(output)
    while closing and re.fullmatch(r"[a-z0-9-]+ failed: .*", closing[-1]):
        closing.pop()
    if peaks and (len(closing) < len(peaks) or
                  not all(re.fullmatch(p, line) for p, line in zip(peaks, closing[-len(peaks):]))):
        failures.append(f"the run does not end with its peaks {peaks}")
    if not peaks and (not output or not output[-1].startswith(NO_PLATFORMS)):
        failures.append("the listing should end with the line that says why")
    print(f"== {name}: exit status {run.returncode}")
    print(run.stdout + run.stderr)
    return [f"{name}: {failure}" for failure in failures]


def main():
    velmora, broken_opencl_dir, chosen = sys.argv[1], sys.argv[2], sys.argv[3:]
    failures = []
    with tempfile.TemporaryDirectory() as scratch:
        for row in rows(broken_opencl_dir, scratch):
            if not chosen or row[0] in chosen:
                failures += run_row(velmora, *row)
    for failure in failures:
        print("FAIL", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
