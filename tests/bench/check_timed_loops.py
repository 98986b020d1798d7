#!/usr/bin/env python3
"""Checks the timed loops as the compiler built them into the program.

What the memory tests measure is defined by their loops: one scalar 64-bit store (WriteTest) or
load (ReadTest) per word, ascending, with nothing but the loop (and the read test's final store)
between the two clock reads. A compiler flag that vectorises, unrolls, widens or replaces the loop
with a library call would silently change every figure, so this check fails on any of that.

Usage: check_timed_loops.py PROGRAM
"""
import re
import subprocess
import sys

FUNCTIONS = {"WriteTest": "store", "ReadTest": "load"}
HEADER = re.compile(r"^[0-9a-f]+ <(\w+)\(void\*, unsigned long\)>:$")
INSTRUCTION = re.compile(r"^\s*([0-9a-f]+):\s+(\S+)\s*(.*)$")
GPR64 = re.compile(r"^r(?:[abcd]x|[sd]i|[sb]p|[89]|1[0-5])$")
ALLOWED_WIDTHS = {"QWORD", "DWORD", "WORD", "BYTE"}


def disassemble(program):
    output = subprocess.run(["objdump", "-d", "--no-show-raw-insn", "-M", "intel", "-C", program],
                            check=True, capture_output=True, text=True).stdout
    functions, current = {}, None
    for line in output.splitlines():
        header = HEADER.match(line)
        if header:
            current = header.group(1) if header.group(1) in FUNCTIONS else None
            if current:
                functions[current] = []
            continue
        if not line.strip():
            current = None
            continue
        match = INSTRUCTION.match(line)
        if current and match:
            address, mnemonic, operands = match.groups()
            operands = operands.split("#")[0].strip()
            functions[current].append((int(address, 16), mnemonic, operands))
    return functions


def accesses_memory(mnemonic, operands):
    return "[" in operands and mnemonic not in ("lea", "nop") and not mnemonic.startswith("nop")


def check(name, kind, code):
    problems = []
    text = "\n".join(f"{hex(a)}: {m} {o}" for a, m, o in code)
    for address, mnemonic, operands in code:
        where = f"{name}+{hex(address - code[0][0])}: {mnemonic} {operands}"
        width = re.search(r"(\w+) PTR", operands)
        if accesses_memory(mnemonic, operands) and (not width or width.group(1) not in ALLOWED_WIDTHS):
            problems.append(f"access wider than 64 bits: {where}")
        # Scalar double arithmetic on xmm registers (the time conversion) is fine outside the loop.
        if re.search(r"\b[yz]mm\d+", operands):
            problems.append(f"vector instruction: {where}")
        if mnemonic.startswith(("rep", "movnt")) or mnemonic in ("stos", "movs"):
            problems.append(f"string or non-temporal instruction: {where}")
        if mnemonic == "call" and re.search(r"mem(set|cpy|move)", operands):
            problems.append(f"library fill or copy: {where}")

    clock_reads = [i for i, (_, m, o) in enumerate(code) if m == "call" and "steady_clock::now" in o]
    if len(clock_reads) != 2:
        return problems + [f"expected two clock reads, found {len(clock_reads)}"], text
    start, end = clock_reads

    addresses = [a for a, _, _ in code]
    loops = []
    for i, (address, mnemonic, operands) in enumerate(code):
        target = re.match(r"^([0-9a-f]+) <", operands)
        if mnemonic.startswith("j") and target and int(target.group(1), 16) <= address:
            loops.append((addresses.index(int(target.group(1), 16)), i))
    if len(loops) != 1:
        return problems + [f"expected exactly one loop, found {len(loops)}"], text
    first, last = loops[0]
    if not start < first <= last < end:
        problems.append("the loop is not between the two clock reads")

    body = code[first:last + 1]
    body_accesses = [(m, o) for _, m, o in body if accesses_memory(m, o)]
    if len(body_accesses) != 1:
        problems.append(f"expected one memory access per iteration, found {len(body_accesses)}: {body_accesses}")
    else:
        mnemonic, operands = body_accesses[0]
        destination, _, source = (part.strip() for part in operands.partition(","))
        if mnemonic != "mov" or (kind == "store" and not (destination.startswith("QWORD PTR [") and GPR64.match(source))) \
                or (kind == "load" and not (source.startswith("QWORD PTR [") and GPR64.match(destination))):
            problems.append(f"the loop's access is not one scalar 64-bit {kind}: {mnemonic} {operands}")
    if any("xmm" in o for _, _, o in body):
        problems.append("the loop uses vector registers")

    between = [(m, o) for _, m, o in code[last + 1:end] if accesses_memory(m, o)]
    expected_after = 1 if kind == "load" else 0
    if len(between) != expected_after or (between and not between[0][1].startswith("QWORD PTR [")):
        problems.append(f"unexpected memory accesses between the loop and the second clock read: {between}")
    if kind == "store" and not any("0xff00ff00ff00ff" in o for _, _, o in code):
        problems.append("the write pattern 0x00FF00FF00FF00FF is not in the function")
    return problems, text


def main():
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    functions = disassemble(sys.argv[1])
    failed = False
    for name, kind in FUNCTIONS.items():
        if name not in functions:
            print(f"FAIL {name}: not found in {sys.argv[1]}")
            failed = True
            continue
        problems, text = check(name, kind, functions[name])
        if problems:
            failed = True
            print(f"FAIL {name}:\n  " + "\n  ".join(problems) + "\n" + text)
        else:
            print(f"ok   {name}: one scalar 64-bit {kind} per word between the clock reads")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
