#!/usr/bin/env python3
"""Runs `velmora --console` for real with --json and --csv and checks the record against the log.

Run 1, in a locale with a decimal comma (LC_ALL=de_DE.UTF-8): every test over 256 MB with 3
passes, the GFX tests on this machine's Vulkan device, the OpenCL test on its first OpenCL device
with 2 work items. The log uses "," and the files "."; the JSON is valid against the schema; every
pass, average and peak of the log is in the JSON and in the CSV with the same figures.
Run 2: the GFX write test on a card whose memory the processor cannot map (the fake Vulkan driver's
GTX 1060), then the system read test, with the JSON on standard output: the failed test is in the
record with the message of its Exception line and the line before it that says why as its reason,
the log went to standard error, and the exit status is 1.
Run 3: the system write and read tests stopped with Ctrl-C during the write test: the record holds
the write test as stopped with every pass the log shows, and the read test as skipped.
Run 4: the all-core tests: the record names every processor the program may use, one pinned
thread each, as the log's line does.
Run 5: the transfer tests by their group names on PoCL: four tests in the record, on the OpenCL
device without work items or link, each pass of the log with its time and the block's bytes.

Usage: check_results_export.py VELMORA SCHEMA FAKE_VULKAN_MANIFEST
"""
import csv
import io
import json
import os
import re
import signal
import subprocess
import sys
import tempfile

import jsonschema

MB = 1 << 20
GB = 1 << 30
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def number(text):
    """A figure of the log, written with the locale's decimal comma."""
    return float(text.replace(",", "."))


def close(record, log_figure, significant):
    """Whether a figure of the record rounds to the log's, which has `significant` digits."""
    return abs(record - log_figure) <= abs(record) * 0.5 * 10 ** (1 - significant) + 1e-9


# The lines of the log that carry figures, by test: (pattern, kind).
MEMORY_TESTS = {
    "gfx-write": ("Running GFX RAM write test...", "Write to GFX memory: ", "Average GFX RAM write: ",
                  "Peak GFX RAM write: "),
    "gfx-read": ("Running GFX RAM read test...", "Read from GFX memory: ", "Average GFX RAM read: ",
                 "Peak GFX RAM read: "),
    "sys-write": ("Running system RAM write test...", "Write to system memory: ", "Average system RAM write: ",
                  "Peak system RAM write: "),
    "sys-read": ("Running system RAM read test...", "Read from system memory: ", "Average system RAM read: ",
                 "Peak system RAM read: "),
}
TIMED = r"256,00 MB (\d+,\d{2}) ms \((\d+(?:,\d+)?)MB/s\)"


def section(lines, start, end_prefixes):
    """The lines of one test: from its start line to the next test's start line."""
    begin = lines.index(start)
    rest = lines[begin + 1:]
    for index, line in enumerate(rest):
        if any(line == other for other in end_prefixes):
            return rest[:index]
    return rest


def check_memory_test(name, lines, test, csv_passes):
    start, pass_caption, average_caption, peak_caption = MEMORY_TESTS[name]
    starts = [captions[0] for captions in MEMORY_TESTS.values()] + ["Running OpenCL GFX RAM read & write test..."]
    own = section(lines, start, starts)
    log_passes = [re.fullmatch(re.escape(pass_caption) + TIMED, line) for line in own]
    log_passes = [match for match in log_passes if match]
    check(len(log_passes) == len(test["passes"]) == 3, f"{name}: {len(log_passes)} passes in the log, "
                                                       f"{len(test['passes'])} in the JSON")
    for log, recorded in zip(log_passes, test["passes"]):
        check(close(recorded["nanoseconds"] / 1e6, number(log[1]), 4),
              f"{name} pass {recorded['pass']}: {recorded['nanoseconds']} ns against {log[1]} ms")
        check(close(recorded["bytes_per_second"] / MB, number(log[2]), 6),
              f"{name} pass {recorded['pass']}: {recorded['bytes_per_second']} B/s against {log[2]}MB/s")
        check(recorded["bytes"] == 256 * MB, f"{name} pass {recorded['pass']}: {recorded['bytes']} bytes")
    for caption, figure in ((average_caption, test["average"]), (peak_caption, test["peak"])):
        match = next(re.fullmatch(re.escape(caption) + TIMED, line) for line in own if line.startswith(caption))
        check(close(figure["nanoseconds"] / 1e6, number(match[1]), 4), f"{name} {caption}: {figure}")
        check(close(figure["bytes_per_second"] / MB, number(match[2]), 6), f"{name} {caption}: {figure}")
    check_csv_passes(name, test, csv_passes)


def check_opencl_test(lines, test, csv_passes):
    times = [int(match[1]) for match in (re.fullmatch(r"OpenCL: Execution time: (\d+) ns\.", line) for line in lines)
             if match]
    speeds = [number(match[1]) for match in
              (re.fullmatch(r"OpenCL: Speed: (\d+,\d{2}) GB/s", line) for line in lines) if match]
    check(times == [recorded["nanoseconds"] for recorded in test["passes"]],
          f"opencl: log times {times}, JSON {[p['nanoseconds'] for p in test['passes']]}")
    check(len(speeds) == 3, f"opencl: {len(speeds)} speeds in GB/s in the log")
    for speed, recorded in zip(speeds, test["passes"]):
        check(close(recorded["bytes_per_second"] / GB, speed, 3), f"opencl: {recorded} against {speed} GB/s")
        check(recorded["bytes"] == 2 * 256 * MB, f"opencl: {recorded['bytes']} bytes for 2 work items")
    device = test["opencl"]
    check(device is not None and device["device"] and device["work_items"] == 2 and device["launches_per_pass"] == 1,
          f"opencl: device {device}")
    check_csv_passes("opencl", test, csv_passes)


def check_csv_passes(name, test, csv_passes):
    rows = [row for row in csv_passes if row["test"] == name]
    check(len(rows) == len(test["passes"]), f"{name}: {len(rows)} pass rows in the CSV")
    for row, recorded in zip(rows, test["passes"]):
        check(int(row["pass"]) == recorded["pass"] and int(row["nanoseconds"]) == recorded["nanoseconds"]
              and int(row["bytes"]) == recorded["bytes"]
              and float(row["bytes_per_second"]) == recorded["bytes_per_second"]
              and row["warm"] == ("true" if recorded["warm"] else "false"),
              f"{name}: CSV row {row} against {recorded}")


def run(velmora, arguments, env):
    return subprocess.run([velmora] + arguments, capture_output=True, text=True, timeout=600, env=env)


def main():
    velmora, schema_path, fake_vulkan = sys.argv[1], sys.argv[2], sys.argv[3]
    validator = jsonschema.Draft202012Validator(json.load(open(schema_path)))
    comma = dict(os.environ, LC_ALL="de_DE.UTF-8")
    with tempfile.TemporaryDirectory() as folder:
        json_path, csv_path = os.path.join(folder, "run.json"), os.path.join(folder, "run.csv")
        first = run(velmora, ["--console", "--size", "256", "--passes", "3", "--cores", "2",
                              "--json", json_path, "--csv", csv_path], comma)
        print(first.stdout)
        check(first.returncode == 0, f"run 1: exit status {first.returncode}, stderr {first.stderr!r}")
        lines = first.stdout.splitlines()
        check("Allocated system memory: 256,00 MB" in lines, "run 1: the log does not use the locale's comma")
        text = open(json_path).read()
        check(not re.search(r"\d,\d", text), "run 1: a decimal comma in the JSON")
        record = json.loads(text)
        for error in validator.iter_errors(record):
            failures.append(f"run 1: schema: {error.message} at {list(error.absolute_path)}")
        with open(csv_path, newline="") as file:
            rows = list(csv.DictReader(file))
        for row in rows:
            for column in ("nanoseconds", "bytes", "bytes_per_second"):
                if row[column]:
                    try:
                        float(row[column])
                    except ValueError:
                        failures.append(f"run 1: CSV {column} {row[column]!r} is not a number with a point")
        csv_passes = [row for row in rows if row["record"] == "pass"]
        tests = {test["name"]: test for test in record["tests"]}
        check(list(tests) == ["gfx-write", "gfx-read", "opencl", "sys-write", "sys-read"], f"run 1: tests {list(tests)}")
        for name, test in tests.items():
            check(test["status"] == "completed", f"run 1: {name} is {test['status']}: {test['message']}")
            if test["status"] != "completed":
                continue
            if name == "opencl":
                check_opencl_test(section(lines, "Running OpenCL GFX RAM read & write test...",
                                          ["Allocated system memory: 256,00 MB"]), test, csv_passes)
            else:
                check_memory_test(name, lines, test, csv_passes)
        for name in ("gfx-write", "gfx-read"):
            flags = ((tests[name].get("gfx") or {}).get("memory_type") or {}).get("flags", [])
            check({"DEVICE_LOCAL", "HOST_VISIBLE"} <= set(flags), f"run 1: {name} memory type flags {flags}")

    fake_card = dict(os.environ, VK_DRIVER_FILES=fake_vulkan, VK_ICD_FILENAMES=fake_vulkan,
                     VELMORA_FAKE_VULKAN_ADAPTERS="no-window")
    second = run(velmora, ["--console", "--test", "gfx-write,sys-read", "--size", "256", "--passes", "2",
                           "--json", "-"], fake_card)
    check(second.returncode == 1, f"run 2: exit status {second.returncode}")
    record = json.loads(second.stdout)
    for error in validator.iter_errors(record):
        failures.append(f"run 2: schema: {error.message} at {list(error.absolute_path)}")
    gfx, system = record["tests"]
    why = ("GFX RAM block of 256.00 MB does not fit: the processor can reach only 0 Byte of this adapter's memory "
           "(resizable BAR is off)")
    check(gfx["status"] == "failed" and gfx["message"] == "List index out of bounds (0).  TList is empty"
          and gfx["reason"] == why, f"run 2: {gfx}")
    log = second.stderr.splitlines()
    check(f"Exception: {gfx['message']}" in log, "run 2: no Exception line in the log")
    check(why in log, "run 2: the reason is not a line of the log")
    check(f"gfx-write failed: {gfx['message']} ({why})" in log, "run 2: the closing summary does not give the reason")
    check(system["status"] == "completed" and len(system["passes"]) == 2, f"run 2: {system}")
    check("Running system RAM read test..." in second.stderr, "run 2: the log is not on standard error")

    with tempfile.TemporaryDirectory() as folder:
        json_path = os.path.join(folder, "stopped.json")
        third = subprocess.Popen([velmora, "--console", "--test", "sys-write,sys-read", "--size", "256", "--passes",
                                  "10000", "--json", json_path], stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                 text=True)
        passes_seen = 0
        for line in third.stdout:
            passes_seen += line.startswith("Write to system memory: ")
            if passes_seen == 2:
                break
        third.send_signal(signal.SIGINT)
        rest, _ = third.communicate(timeout=120)
        log_passes = passes_seen + sum(line.startswith("Write to system memory: ") for line in rest.splitlines())
        check(third.returncode == 130, f"run 3: exit status {third.returncode}")
        record = json.load(open(json_path))
        for error in validator.iter_errors(record):
            failures.append(f"run 3: schema: {error.message} at {list(error.absolute_path)}")
        write, read = record["tests"]
        check(write["status"] == "stopped" and len(write["passes"]) == log_passes and write["peak"] is None
              and re.fullmatch(rf"Stopped by the user after {log_passes} of 10000 passes\.", write["message"] or ""),
              f"run 3: the write test {write['status']}, {len(write['passes'])} passes, log {log_passes}: "
              f"{write['message']}")
        check(read["status"] == "skipped" and read["passes"] == [] and read["message"],
              f"run 3: the read test {read}")

    fourth = run(velmora, ["--console", "--test", "sys-read-all,sys-write-all", "--size", "256", "--passes", "2",
                           "--json", "-"], dict(os.environ))
    check(fourth.returncode == 0, f"run 4: exit status {fourth.returncode}, stderr {fourth.stderr!r}")
    record = json.loads(fourth.stdout)
    for error in validator.iter_errors(record):
        failures.append(f"run 4: schema: {error.message} at {list(error.absolute_path)}")
    check(record["settings"]["threads"] == 0, f"run 4: settings.threads {record['settings'].get('threads')}")
    processors = sorted(os.sched_getaffinity(0))
    threads_line = "All cores: %d thread%s, pinned to processor%s %s" % (
        len(processors), "" if len(processors) == 1 else "s", "" if len(processors) == 1 else "s",
        ", ".join(map(str, processors)))
    check(fourth.stderr.splitlines().count(threads_line) == 2, f"run 4: no line {threads_line!r} per test")
    for test in record["tests"]:
        check(test["status"] == "completed" and len(test["passes"]) == 2, f"run 4: {test['name']}: {test['status']}")
        check(test.get("threads") == {"count": len(processors), "processors": processors},
              f"run 4: {test['name']} threads {test.get('threads')}")

    fifth = run(velmora, ["--console", "--test", "opencl-d2h,opencl-h2d", "--size", "256", "--passes", "2",
                          "--json", "-"], dict(os.environ))
    check(fifth.returncode == 0, f"run 5: exit status {fifth.returncode}, stderr {fifth.stderr!r}")
    record = json.loads(fifth.stdout)
    for error in validator.iter_errors(record):
        failures.append(f"run 5: schema: {error.message} at {list(error.absolute_path)}")
    names = [test["name"] for test in record["tests"]]
    check(names == ["opencl-h2d-pageable", "opencl-h2d-pinned", "opencl-d2h-pageable", "opencl-d2h-pinned"],
          f"run 5: tests {names}")
    log = fifth.stderr.splitlines()
    for test in record["tests"]:
        direction, memory = test["name"].split("-")[1:]
        caption = ("Host to device from " if direction == "h2d" else "Device to host into ") + memory + " memory: "
        times = [float(match[1]) for match in
                 (re.fullmatch(re.escape(caption) + r"256\.00 MB (\d+\.\d{2}) ms \(\d+(?:\.\d+)?MB/s\)", line)
                  for line in log) if match]
        check(test["status"] == "completed" and len(times) == len(test["passes"]) == 2,
              f"run 5: {test['name']}: {test['status']}, {len(times)} pass lines, {len(test['passes'])} passes")
        for logged, recorded in zip(times, test["passes"]):
            check(close(recorded["nanoseconds"] / 1e6, logged, 3) and recorded["bytes"] == 256 * MB,
                  f"run 5: {test['name']}: {recorded} against {logged} ms")
        device = test["opencl"]
        check(device is not None and device["work_items"] == 0 and device["pcie_link"] is None,
              f"run 5: {test['name']}: device {device}")

    for failure in failures:
        print("FAIL", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
