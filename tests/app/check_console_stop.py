#!/usr/bin/env python3
"""Stops `velmora --console` as a user does, with Ctrl-C (SIGINT) or SIGTERM, and checks:

- during a pass of the system write test: it ends after that pass with the block freed, one
  stopped line, no later test, the peaks of what it has, and exit status 130 (143 for SIGTERM);
- during a long OpenCL launch on the first OpenCL device: a second Ctrl-C ends it at once;
- without any display, `velmora` with no arguments (what `make run` starts) runs the console
  front-end, and Ctrl-C stops that too.

Usage: check_console_stop.py VELMORA
"""
import os
import re
import signal
import subprocess
import sys
import time

STOPPED = re.compile(r"Stopped by the user after \d+ of 10000 passes\.")


def start(velmora, arguments):
    environment = {name: value for name, value in os.environ.items()
                   if name not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
    return subprocess.Popen([velmora] + arguments, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True,
                            env=environment)


def read_until(process, prefix, lines):
    """Reads standard output into lines until one starts with prefix; False at its end."""
    for line in process.stdout:
        lines.append(line.rstrip("\n"))
        if line.startswith(prefix):
            return True
    return False


def finish(process, lines, timeout):
    try:
        out, err = process.communicate(timeout=timeout)
    except subprocess.TimeoutExpired:
        process.kill()
        out, err = process.communicate()
        return None, err
    lines.extend(out.splitlines())
    return process.returncode, err


def check_stop_during_a_pass(velmora, stop_signal, status, note, failures):
    name = signal.Signals(stop_signal).name
    process = start(velmora, ["--console", "--test", "sys-write,sys-read", "--size", "256", "--passes", "10000"])
    lines = []
    if not read_until(process, "Write to system memory: ", lines):
        failures.append(f"{name}: no pass began")
        return
    process.send_signal(stop_signal)
    returned, err = finish(process, lines, 30)
    # The stopped test's clean-up and stopped line, what the run did not run, then the peaks.
    expected_end = ["Freed system memory: 256.00 MB", "STOPPED", "Stopped: 1 test not run (sys-read)", "",
                    "Peak write SYS RAM: -"]
    end = lines[-5:]
    if returned != status:
        failures.append(f"{name}: exit status {returned}, not {status}")
    if len(end) != 5 or end[0] != expected_end[0] or not STOPPED.fullmatch(end[1]) or end[2:] != expected_end[2:]:
        failures.append(f"{name}: the run ends with {end}")
    if any("system RAM read" in line or "Read from" in line for line in lines):
        failures.append(f"{name}: the read test started after the stop")
    if err.splitlines() != [note]:
        failures.append(f"{name}: standard error {err!r}")


def check_second_ctrl_c_ends_at_once(velmora, failures):
    # 4096 work items each reading 256 MB: one launch takes far longer than this check waits.
    process = start(velmora, ["--console", "--test", "opencl", "--size", "256", "--passes", "2", "--cores", "4096"])
    lines = []
    if not read_until(process, "OpenCL: Pass 1...", lines):
        failures.append("second Ctrl-C: the OpenCL test did not launch: " + " | ".join(lines[-3:]))
        return
    process.send_signal(signal.SIGINT)
    time.sleep(1)
    if process.poll() is not None:
        failures.append("second Ctrl-C: the first Ctrl-C did not wait for the launch under way")
        return
    process.send_signal(signal.SIGINT)
    began = time.monotonic()
    returned, _ = finish(process, lines, 30)
    if returned != 130 or time.monotonic() - began > 5:
        failures.append(f"second Ctrl-C: status {returned} after {time.monotonic() - began:.1f} s")


def check_no_display_runs_the_console(velmora, failures):
    process = start(velmora, [])
    lines = []
    read_until(process, "Velmora ", lines)
    process.send_signal(signal.SIGINT)
    returned, _ = finish(process, lines, 120)
    if not lines or not re.fullmatch(r"Velmora \S* ?Linux64 - .*", lines[0]) or returned != 130:
        failures.append(f"no display: status {returned}, output {lines[:3]}")


def main():
    velmora = sys.argv[1]
    failures = []
    check_stop_during_a_pass(velmora, signal.SIGINT, 130,
                             "velmora: stopping after the current pass; Ctrl-C again ends at once.", failures)
    check_stop_during_a_pass(velmora, signal.SIGTERM, 143, "velmora: stopping after the current pass.", failures)
    check_second_ctrl_c_ends_at_once(velmora, failures)
    check_no_display_runs_the_console(velmora, failures)
    for failure in failures:
        print("FAIL", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
