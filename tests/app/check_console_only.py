#!/usr/bin/env python3
"""Checks the console-only program, as a build without Qt makes it: it needs no Qt library, runs
the tests from a terminal, writes the pass chart as SVG, refuses a PNG one (Qt draws those) before
it runs anything, and says that it has no window when asked for a picture of it.

Usage: check_console_only.py VELMORA
"""
import os
import re
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree


def main():
    program = sys.argv[1]
    failures = []
    needed = subprocess.run(["readelf", "-d", program], capture_output=True, text=True, check=True).stdout
    qt = [line for line in needed.splitlines() if "NEEDED" in line and "Qt" in line]
    if qt:
        failures.append(f"needs Qt: {qt}")

    chart = os.path.join(tempfile.mkdtemp(), "run.svg")
    run = subprocess.run([program, "--console", "--test", "gfx-read,sys-read", "--size", "256", "--passes", "2",
                          "--chart", chart], capture_output=True, text=True, timeout=300)
    print(run.stdout)
    if run.returncode != 0 or run.stderr:
        failures.append(f"the run: exit status {run.returncode}, stderr {run.stderr!r}")
    for caption in ("Peak read GFX RAM", "Peak read SYS RAM"):
        if not re.search(rf"^{caption}: \d+\.\d{{2}} [KMGT]B/s$", run.stdout, re.M):
            failures.append(f"no {caption} figure")

    series = [group.get("data-name") for group in ElementTree.parse(chart).getroot().iter("{http://www.w3.org/2000/svg}g")
              if group.get("class") == "series"]
    if series != ["gfx-read", "sys-read"]:
        failures.append(f"the chart's series: {series}")
    png = subprocess.run([program, "--console", "--test", "sys-read", "--chart", "run.png"], capture_output=True,
                         text=True, timeout=60)
    if png.returncode != 2 or "--chart cannot write PNG" not in png.stderr or png.stdout:
        failures.append(f"--chart run.png: exit status {png.returncode}, stdout {png.stdout!r}, stderr {png.stderr!r}")

    picture = subprocess.run([program, "--screenshot", "window.png"], capture_output=True, text=True, timeout=60)
    if picture.returncode != 2 or "built without its window" not in picture.stderr:
        failures.append(f"--screenshot: exit status {picture.returncode}, stderr {picture.stderr!r}")

    for failure in failures:
        print("FAIL", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
