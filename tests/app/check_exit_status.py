#!/usr/bin/env python3
"""The console's exit statuses, one row per case, run against the built program: 0 when every test
that ran completed, 1 when a test failed or an output could not be written (one line on standard
error with the reason) or a --compare file is not a result, 2 for a bad argument, 130 and 143 when
Ctrl-C or SIGTERM stopped the run. A results or chart file that cannot be created and an OpenCL
index that names nothing are bad arguments, found before any test: nothing at all is printed on
standard output, not even the start-up lines.

Usage: check_exit_status.py VELMORA
"""
import os
import re
import signal
import subprocess
import sys
import tempfile

SMALL_RUN = ["--console", "--test", "sys-read", "--size", "256", "--passes", "3"]


def closed_stdout():
    os.close(1)


def reader_gone():
    # The pipe's reader has gone; with SIGPIPE ignored every write fails with EPIPE instead.
    signal.signal(signal.SIGPIPE, signal.SIG_IGN)


def main():
    velmora = sys.argv[1]
    folder = tempfile.mkdtemp()
    run_json = os.path.join(folder, "run.json")
    not_a_result = os.path.join(folder, "notes.json")
    with open(not_a_result, "w") as file:
        file.write('{"tests": []}\n')
    run_csv = os.path.join(folder, "run.csv")
    no_vulkan = {"VK_DRIVER_FILES": "/nonexistent/icd.json", "VK_ICD_FILENAMES": "/nonexistent/icd.json"}
    # name, arguments, how standard output is set up, extra environment, status, standard error
    # (a regular expression over all of it), standard output (the same)
    rows = [
        ("version", ["--version"], None, {}, 0, r"", r"Velmora \d+\.\d+\.\d+\.\d+\n"),
        ("help", ["--help"], None, {}, 0, r"", r"Usage: velmora .*Exit status:.*"),
        ("bad value", ["--console", "--passes", "1"], None, {}, 2,
         r"velmora: --passes must be a whole number from 2 to 10000, not '1'\nTry 'velmora --help'\n", r""),
        ("unknown argument", ["--fast"], None, {}, 2, r"velmora: unknown argument '--fast'\nTry 'velmora --help'\n",
         r""),
        ("compare without a file", ["--compare"], None, {}, 2,
         r"velmora: --compare needs a results file\nTry 'velmora --help'\n", r""),
        ("completed run", SMALL_RUN + ["--json", run_json, "--csv", run_csv], None, {}, 0, r"",
         r".*\nPeak read SYS RAM: \d.*"),
        ("a test failed", ["--console", "--test", "gfx-read,sys-read", "--size", "256", "--passes", "2"], None,
         no_vulkan, 1, r"", r".*\nException: No GFX memory: .*\nPeak read SYS RAM: \d.*"),
        ("every test failed", ["--console", "--test", "gfx-write,gfx-read", "--size", "256", "--passes", "2"], None,
         no_vulkan, 1, r"", r".*\nException: No GFX memory: .*\nException: No GFX memory: .*"),
        ("results file in a folder that is not there", SMALL_RUN + ["--json", "/nonexistent/run.json"], None, {}, 2,
         r"velmora: cannot write --json /nonexistent/run\.json: the folder /nonexistent does not exist\n", r""),
        ("results file on a path through a file", SMALL_RUN + ["--csv", not_a_result + "/run.csv"], None, {}, 2,
         re.escape(f"velmora: cannot write --csv {not_a_result}/run.csv: {not_a_result} is a file, not a folder")
         + r"\n", r""),
        ("chart in a folder that is not there", SMALL_RUN + ["--chart", "/nonexistent/deeper/run.svg"], None, {}, 2,
         r"velmora: cannot write --chart /nonexistent/deeper/run\.svg: the folder /nonexistent/deeper does not exist\n",
         r""),
        ("an OpenCL platform that is not there", ["--console", "--test", "opencl,sys-read", "--platform", "9"], None,
         {}, 2, r"velmora: --platform 9 names no OpenCL platform: there (is 1|are \d+) \(see --list-devices\)\n", r""),
        ("an OpenCL device that is not there", ["--console", "--test", "opencl", "--platform", "0", "--device", "9",
                                                "--cores", "2"], None, {}, 2,
         r"velmora: --device 9 names no device of OpenCL platform 0: it has \d+ \(see --list-devices\)\n", r""),
        ("OpenCL indexes unchecked without an OpenCL test", SMALL_RUN + ["--platform", "9", "--device", "9"], None,
         {}, 0, r"", r".*\nPeak read SYS RAM: \d.*"),
        ("log to a full disk", SMALL_RUN, "/dev/full", {}, 1,
         r"velmora: could not write the log to standard output: No space left on device\n", None),
        ("log to a closed standard output", SMALL_RUN, closed_stdout, {}, 1,
         r"velmora: could not write the log to standard output: Bad file descriptor\n", None),
        ("log to a reader that went away", SMALL_RUN, reader_gone, {}, 1,
         r"velmora: could not write the log to standard output: Broken pipe\n", None),
        ("help to a full disk", ["--help"], "/dev/full", {}, 1,
         r"velmora: could not write to standard output: No space left on device\n", None),
        ("results to a full disk", SMALL_RUN + ["--json", "/dev/full"], None, {}, 1,
         r"velmora: could not write /dev/full: No space left on device\n", r".*Peak read SYS RAM: \d.*"),
        ("results on a full standard output", SMALL_RUN + ["--csv", "-"], "/dev/full", {}, 1,
         r"(?s).*\nvelmora: could not write the results to standard output: No space left on device\n", None),
        ("compare two results", ["--compare", run_json, run_json], None, {}, 0, r"",
         r"Base: .*\nsys-read .*within noise.*"),
        ("compare with a file that is not a result", ["--compare", run_json, not_a_result], None, {}, 1,
         re.escape(f"velmora: {not_a_result} is not a Velmora result: it has no \"format\": \"velmora-result\"")
         + r"\n", r""),
        ("compare with a results file in CSV", ["--compare", run_json, run_csv], None, {}, 1,
         re.escape(f"velmora: compare reads the JSON files that --json writes; {run_csv} is a CSV file") + r"\n", r""),
    ]
    failures = []
    for name, arguments, stdout, extra, status, stderr_pattern, stdout_pattern in rows:
        environment = dict(os.environ, **extra)
        options = dict(stdin=subprocess.DEVNULL, stderr=subprocess.PIPE, env=environment, timeout=300)
        pipe_end = None
        if stdout == "/dev/full":
            options["stdout"] = open("/dev/full", "w")
        elif stdout is closed_stdout:
            options["preexec_fn"] = closed_stdout
        elif stdout is reader_gone:
            read_end, pipe_end = os.pipe()
            os.close(read_end)
            options["stdout"] = pipe_end
            options["preexec_fn"] = reader_gone
        else:
            options["stdout"] = subprocess.PIPE
        result = subprocess.run([velmora] + arguments, **options)
        if pipe_end is not None:
            os.close(pipe_end)
        err = result.stderr.decode()
        out = result.stdout.decode() if result.stdout is not None else None
        problems = []
        if result.returncode != status:
            problems.append(f"status {result.returncode}, expected {status}")
        if not re.fullmatch(stderr_pattern, err, re.DOTALL if stderr_pattern.startswith("(?s)") else 0):
            problems.append(f"stderr {err!r}")
        if stdout_pattern is not None and not re.fullmatch(stdout_pattern, out or "", re.DOTALL):
            problems.append(f"stdout {(out or '')[:300]!r}")
        print(("FAIL " if problems else "ok   ") + name + ("" if not problems else ": " + "; ".join(problems)))
        failures += problems
    # Stopped during the first pass of a long run: a row each for Ctrl-C and SIGTERM.
    for name, stop_signal, status in (("Ctrl-C", signal.SIGINT, 130), ("SIGTERM", signal.SIGTERM, 143)):
        process = subprocess.Popen([velmora, "--console", "--test", "sys-write", "--size", "256", "--passes", "10000"],
                                   stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        for line in process.stdout:
            if line.startswith("Write to system memory: "):
                break
        process.send_signal(stop_signal)
        process.communicate(timeout=120)
        problem = [] if process.returncode == status else [f"status {process.returncode}, expected {status}"]
        print(("FAIL " if problem else "ok   ") + name + (": " + problem[0] if problem else ""))
        failures += problem
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
