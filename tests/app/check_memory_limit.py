#!/usr/bin/env python3
"""Runs the GFX, OpenCL and system RAM tests of `velmora --console` inside a child control group
whose memory limit is below the block. Where the program checked only the machine's free memory,
the kernel would end it at the first touch of the block and the log would be lost; instead every
test must end with one "Exception:" line, the run must go on to the next test and the program must
exit normally, with the status of a run whose tests failed. Then the OpenCL test alone under a limit that holds one block but not two: on a
device that works in system RAM its buffer needs as much again, and the refusal must say so.

The group is a cgroup v2 child where the process's own group lets one have a memory limit, else a
cgroup v1 memory child. Exits 77 (a skip for CTest), saying why, where neither can be made; in CI
(the environment variable CI set), whose machine lets such a child be made, that is a failure, so
that a machine that lost the ability cannot pass by skipping.

Usage: check_memory_limit.py VELMORA
"""
import glob
import os
import re
import subprocess
import sys

MB = 1 << 20
BLOCK_MB = 1024
LIMIT = 512 * MB             # below one block
ONE_BLOCK_LIMIT = 1536 * MB  # one block and the program, not two blocks
SKIP = 77
FAILED_TEST = 1  # the console's exit status when a test failed: here every test must
TESTS = "gfx-write,gfx-read,opencl,sys-write,sys-read"
STARTS = ["Running GFX RAM write test...", "Running GFX RAM read test...",
          "Running OpenCL GFX RAM read & write test..."]


class Skip(Exception):
    pass


def read(path):
    with open(path) as file:
        return file.read()


def write(path, text):
    with open(path, "w") as file:
        file.write(text)


def mounts(kind, option=None):
    """(root, mount point) of each mount of that file system type, with that super option."""
    found = []
    for line in read("/proc/self/mountinfo").splitlines():
        before, _, after = line.partition(" - ")
        fields, tail = before.split(), after.split()
        if len(fields) >= 5 and len(tail) >= 3 and tail[0] == kind and (option is None or option in tail[2].split(",")):
            unescape = lambda text: re.sub(r"\\([0-7]{3})", lambda m: chr(int(m.group(1), 8)), text)
            found.append((unescape(fields[3]), unescape(fields[4])))
    return found


def own_group(match):
    for line in read("/proc/self/cgroup").splitlines():
        number, controllers, path = line.split(":", 2)
        if match(number, controllers.split(",") if controllers else []):
            return path
    return None


def group_folder(kind, option, group):
    for root, point in mounts(kind, option):
        if root == "/":
            return point + (group if group != "/" else "")
        if group == root:
            return point
        if group.startswith(root + "/"):
            return point + group[len(root):]
    return None


def make_child(folder, limit, limit_file, extra_limit_files):
    """A new child of folder with its memory limit set; None when none can be made there."""
    child = os.path.join(folder, f"velmora-limit-{os.getpid()}")
    try:
        os.mkdir(child)
    except OSError as error:
        return None, f"cannot make a group under {folder}: {error.strerror}"
    if not os.path.exists(os.path.join(child, limit_file)):
        os.rmdir(child)
        return None, f"the memory controller is not enabled for the groups below {folder}"
    try:
        write(os.path.join(child, limit_file), str(limit))
        # Swap would let the group grow past its limit; with it closed the limit is the end.
        for name, value in extra_limit_files:
            if os.path.exists(os.path.join(child, name)):
                write(os.path.join(child, name), value)
    except OSError as error:
        os.rmdir(child)
        return None, f"cannot set a memory limit in {child}: {error.strerror}"
    return child, None


def limited_group(limit):
    """The folder of a new child group with that memory limit, and the version made."""
    reasons = []
    group = own_group(lambda number, controllers: number == "0" and not controllers)
    folder = group and group_folder("cgroup2", None, group)
    if folder:
        child, reason = make_child(folder, limit, "memory.max", [("memory.swap.max", "0")])
        if child:
            return child, "v2"
        reasons.append("cgroup v2: " + reason)
    else:
        reasons.append("cgroup v2: the process is in no cgroup v2 group that is mounted here")
    group = own_group(lambda number, controllers: "memory" in controllers)
    folder = group and group_folder("cgroup", "memory", group)
    if folder:
        child, reason = make_child(folder, limit, "memory.limit_in_bytes",
                                   [("memory.memsw.limit_in_bytes", str(limit))])
        if child:
            return child, "v1"
        reasons.append("cgroup v1: " + reason)
    else:
        reasons.append("cgroup v1: no memory controller is mounted here")
    raise Skip("; ".join(reasons))


def check(log, returncode):
    failures = []
    if returncode != FAILED_TEST:
        failures.append(f"exit status {returncode}" + (" (a signal)" if returncode < 0 else ""))
    lines = log.splitlines()
    missing = [start for start in STARTS if start not in lines]
    if missing:
        failures.append(f"tests did not start: {missing}")
    # The system RAM tests refuse their block before their start line, the others after it.
    exceptions = [line for line in lines if line.startswith("Exception:")]
    if len(exceptions) != 5:
        failures.append(f"{len(exceptions)} Exception lines, not one for each of the five tests")
    refusal = (r"Exception: Not enough free system memory for (a|the) block of 1\.00 GB "
               r"(and this device's destination buffer of 1\.00 GB )?\(\d+(\.\d+)? (Byte|KB|MB) available\)")
    if len(exceptions) == 5 and not all(re.fullmatch(refusal, line) for line in exceptions[2:]):
        failures.append("the OpenCL and system RAM tests must refuse their block, naming it and the room left")
    # The GFX tests' own lines are fixed ("Error: Could not allocate GFX memory!", then the list's
    # index error); the line before them says why, with the block and the room left.
    why = (r"GFX RAM block of 1\.00 GB does not fit: this adapter's memory is system memory, of which only "
           r"\d+(\.\d+)? (Byte|KB|MB) is available")
    if sum(1 for line in lines if re.fullmatch(why, line)) != 2:
        failures.append("each GFX test must say that its block is more than the system memory available")
    peaks = [line for line in lines if line.startswith("Peak ")]
    if len(peaks) != 5 or not all(line.endswith(": -") for line in peaks):
        failures.append("every peak should be '-', as no test had its block")
    return failures


def run_limited(velmora, limit, tests):
    """The console's output and exit status for those tests inside a new group with that limit."""
    child, version = limited_group(limit)
    try:
        environment = dict(os.environ)
        # The GFX tests on lavapipe, whose memory is system RAM, wherever the machine has it.
        lavapipe = glob.glob("/usr/share/vulkan/icd.d/lvp_icd.*.json")
        if lavapipe:
            environment["VK_DRIVER_FILES"] = environment["VK_ICD_FILENAMES"] = lavapipe[0]
        procs = os.path.join(child, "cgroup.procs")
        run = subprocess.run([velmora, "--console", "--test", tests, "--size", str(BLOCK_MB), "--passes", "2",
                              "--cores", "2"], env=environment, capture_output=True, text=True, timeout=300,
                             preexec_fn=lambda: write(procs, str(os.getpid())))
    finally:
        try:
            os.rmdir(child)
        except OSError:
            pass
    print(f"cgroup {version} child with a memory limit of {limit // MB} MB, blocks of {BLOCK_MB} MB:")
    print(run.stdout)
    return run.stdout, run.returncode


def check_two_blocks(log, returncode):
    failures = []
    if returncode != FAILED_TEST:
        failures.append(f"exit status {returncode}" + (" (a signal)" if returncode < 0 else ""))
    exceptions = [line for line in log.splitlines() if line.startswith("Exception:")]
    both = (r"Exception: Not enough free system memory for the block of 1\.00 GB and this device's destination "
            r"buffer of 1\.00 GB \(\d+(\.\d+)? (MB|GB) available\)")
    if len(exceptions) != 1 or not re.fullmatch(both, exceptions[0]):
        failures.append(f"the OpenCL test must refuse its two blocks in one line, not {exceptions}")
    return failures


def skip(reason):
    """A skip here; a failure in CI, whose machine has what this check needs."""
    if os.environ.get("CI"):
        print(f"FAIL: CI's machine should offer what this check needs, but {reason}")
        return 1
    print(f"SKIP: {reason}")
    return SKIP


def main():
    velmora = sys.argv[1]
    available = next(int(line.split()[1]) * 1024 for line in read("/proc/meminfo").splitlines()
                     if line.startswith("MemAvailable:"))
    if available < 3 * BLOCK_MB * MB:
        return skip(f"{available // MB} MB free is too little to tell a limit from a shortage")
    try:
        failures = check(*run_limited(velmora, LIMIT, TESTS))
        failures += check_two_blocks(*run_limited(velmora, ONE_BLOCK_LIMIT, "opencl"))
    except Skip as reason:
        return skip(f"no child group with a memory limit can be made here ({reason})")
    for failure in failures:
        print("FAIL", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
