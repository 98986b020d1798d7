#!/usr/bin/env python3
"""Starts the built program as a user does where the window cannot open, and takes screenshots:

- a DISPLAY or WAYLAND_DISPLAY that names no server: one line on standard error that says so and
  how to run the console front-end, nothing else, exit status 1 (Qt itself would abort with 134);
- --screenshot to a path that cannot be written: exit status 1 and a line that says why;
- --screenshot to a good path: exit status 0 and a PNG picture of the window.

Usage: check_window_start.py VELMORA
"""
import os
import re
import subprocess
import sys
import tempfile

NO_DISPLAY = re.compile(r"velmora: no usable display: .+\. Run 'velmora --console' to run the tests in this terminal\.")


def free_display():
    """An X display number that no server on this machine listens on."""
    number = 90
    while os.path.exists(f"/tmp/.X11-unix/X{number}") or os.path.exists(f"/tmp/.X{number}-lock"):
        number += 1
    return f":{number}"


def run(velmora, arguments, **variables):
    environment = {name: value for name, value in os.environ.items()
                   if name not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_SESSION_TYPE")}
    environment["XDG_RUNTIME_DIR"] = tempfile.mkdtemp()
    environment.update(variables)
    return subprocess.run([velmora] + arguments, env=environment, capture_output=True, text=True, timeout=60)


def main():
    velmora = sys.argv[1]
    failures = []

    for variables in ({"DISPLAY": free_display()}, {"WAYLAND_DISPLAY": "velmora-no-such-display"},
                      {"DISPLAY": free_display(), "WAYLAND_DISPLAY": "velmora-no-such-display"}):
        result = run(velmora, [], **variables)
        lines = result.stderr.splitlines()
        if result.returncode != 1:
            failures.append(f"{variables}: exit status {result.returncode}, not 1")
        if len(lines) != 1 or not NO_DISPLAY.fullmatch(lines[0]):
            failures.append(f"{variables}: standard error is not the one line: {result.stderr!r}")
        if result.stdout:
            failures.append(f"{variables}: unexpected standard output {result.stdout!r}")

    with tempfile.TemporaryDirectory() as folder:
        unwritable = os.path.join(folder, "no-such-folder", "window.png")
        result = run(velmora, ["--screenshot", unwritable], QT_QPA_PLATFORM="offscreen")
        expected = f"velmora: cannot save the screenshot as {unwritable}: No such file or directory"
        if result.returncode != 1 or expected not in result.stderr.splitlines():
            failures.append(f"unwritable screenshot: status {result.returncode}, stderr {result.stderr!r}")

        picture = os.path.join(folder, "window.png")
        result = run(velmora, ["--screenshot", picture], QT_QPA_PLATFORM="offscreen")
        if result.returncode != 0 or not os.path.exists(picture):
            failures.append(f"screenshot: status {result.returncode}, stderr {result.stderr!r}")
        else:
            with open(picture, "rb") as png:
                if png.read(8) != b"\x89PNG\r\n\x1a\n":
                    failures.append("the screenshot is no PNG file")

    for failure in failures:
        print("FAIL", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
