#!/usr/bin/env python3
"""Runs `velmora --console` for real with --chart, as a user does, and opens what it wrote: the SVG
is parsed as XML and holds one line (a path) per test that ran, with its first-pass mark and its
median; the PNG is a whole image of the chart's size (its header, its compressed pixel rows, its
checksums). With QT_QPA_PLATFORM naming a display that does not exist the PNG is still drawn, and
standard error stays quiet.

Usage: check_console_chart.py VELMORA
"""
import os
import struct
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree
import zlib

SVG = "{http://www.w3.org/2000/svg}"
TESTS = ["sys-write", "sys-read"]
RUN = ["--console", "--test", ",".join(TESTS), "--size", "256", "--passes", "3"]


def check_svg(path):
    problems = []
    root = ElementTree.parse(path).getroot()
    if root.tag != SVG + "svg" or (root.get("width"), root.get("height")) != ("960", "540"):
        problems.append(f"not a 960 x 540 SVG: {root.tag} {root.attrib}")
    groups = {}
    for group in root.iter(SVG + "g"):
        groups.setdefault(group.get("class"), {})[group.get("data-name")] = group
    if sorted(groups.get("series", {})) != sorted(TESTS):
        problems.append(f"series {sorted(groups.get('series', {}))}, not one per test {TESTS}")
    for name, group in groups.get("series", {}).items():
        lines = group.findall(SVG + "path") + group.findall(SVG + "polyline")
        if len(lines) != 1:
            problems.append(f"{name}: {len(lines)} lines, not one")
        if len(group.findall(SVG + "circle")) != 3 or len(group.findall(SVG + "rect")) != 1:
            problems.append(f"{name}: not three passes and one first-pass mark")
    if sorted(groups.get("median", {})) != sorted(TESTS):
        problems.append(f"medians {sorted(groups.get('median', {}))}")
    return problems


def check_png(path):
    with open(path, "rb") as file:
        data = file.read()
    if not data.startswith(b"\x89PNG\r\n\x1a\n"):
        return ["no PNG signature"]
    chunks, position = [], 8
    while position < len(data):
        length, kind = struct.unpack(">I4s", data[position:position + 8])
        body = data[position + 8:position + 8 + length]
        (crc,) = struct.unpack(">I", data[position + 8 + length:position + 12 + length])
        if zlib.crc32(kind + body) != crc:
            return [f"chunk {kind} has a bad checksum"]
        chunks.append((kind, body))
        position += 12 + length
    if chunks[0][0] != b"IHDR" or chunks[-1][0] != b"IEND":
        return ["chunks out of order"]
    width, height, depth, colour = struct.unpack(">IIBB", chunks[0][1][:10])
    channels = {0: 1, 2: 3, 4: 2, 6: 4}.get(colour)
    if (width, height) != (960, 540) or depth != 8 or channels is None:
        return [f"a {width} x {height} image, depth {depth}, colour type {colour}"]
    pixels = zlib.decompress(b"".join(body for kind, body in chunks if kind == b"IDAT"))
    if len(pixels) != height * (1 + width * channels):
        return [f"{len(pixels)} bytes of pixel rows, not {height * (1 + width * channels)}"]
    return []


def main():
    velmora = sys.argv[1]
    folder = tempfile.mkdtemp()
    failures = []
    for name, check, environment in (("run.svg", check_svg, {}), ("run.png", check_png, {}),
                                     ("nodisplay.png", check_png, {"QT_QPA_PLATFORM": "xcb", "DISPLAY": ":99"})):
        path = os.path.join(folder, name)
        run = subprocess.run([velmora, *RUN, "--chart", path], capture_output=True, text=True, timeout=300,
                             env={**os.environ, **environment})
        if run.returncode != 0 or run.stderr:
            failures.append(f"{name}: exit status {run.returncode}, stderr {run.stderr!r}")
            continue
        failures += [f"{name}: {problem}" for problem in check(path)]
    for failure in failures:
        print("FAIL", failure)
    if not failures:
        print("ok: the SVG has one line per test, the PNG is a whole 960 x 540 image")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
