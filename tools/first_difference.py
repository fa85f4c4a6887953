#!/usr/bin/env python3
"""Prints where each pair of files first differs: the byte and line, both lines as text (code
page 932, as the scripts, the DXF and the SIMA file are written) and the bytes there; then
how many lines differ and of which kind: "code page 932 text" where either side has "?" or a
byte above 0x7F at the first difference (or just before it), else "numbers".

Usage: first_difference.py LINUX_FOLDER WINDOWS_FOLDER NAME...
"""

import sys
from pathlib import Path


def kind(a, b, offset):
    # A character converted differently shows as "?" or a byte of a double-byte code on one
    # side, or as a different second byte after the same first; anything else is a number
    # written differently.
    if offset > 0 and a[offset - 1] > 0x7F:
        return "code page 932 text"
    for data in (a, b):
        if offset < len(data) and (data[offset] == ord("?") or data[offset] > 0x7F):
            return "code page 932 text"
    return "numbers"


def first_offset(a, b):
    return next((i for i, (x, y) in enumerate(zip(a, b)) if x != y), min(len(a), len(b)))


def kinds_of_lines(a, b):
    """How many lines differ by kind, when both files have the same lines; else None."""
    lines_a, lines_b = a.split(b"\n"), b.split(b"\n")
    if len(lines_a) != len(lines_b):
        return None
    counts = {}
    for x, y in zip(lines_a, lines_b):
        if x != y:
            k = kind(x, y, first_offset(x, y))
            counts[k] = counts.get(k, 0) + 1
    return counts


def describe(name, a, b):
    offset = first_offset(a, b)
    start = a.rfind(b"\n", 0, offset) + 1
    line = a.count(b"\n", 0, offset) + 1
    if offset == min(len(a), len(b)):
        where = f"one ends at byte {offset} (Linux {len(a)} bytes, Windows {len(b)})"
    else:
        where = f"first difference at byte {offset}, line {line}"
    counts = kinds_of_lines(a, b)
    if counts is None:
        lines = f"the line counts differ, first in {kind(a, b, offset)}"
    else:
        lines = ", ".join(f"{n} in {k}" for k, n in sorted(counts.items()))
    print(f"  {name}: {where}; lines differing: {lines}")
    for side, data in (("Linux  ", a), ("Windows", b)):
        end = data.find(b"\n", start)
        text = data[start:end if end >= 0 else len(data)].rstrip(b"\r")
        print(f"      {side} {text.decode('cp932', 'backslashreplace')}")
    print(f"      bytes   Linux {a[offset:offset + 4].hex(' ')} / "
          f"Windows {b[offset:offset + 4].hex(' ')}")


def main():
    linux, windows = Path(sys.argv[1]), Path(sys.argv[2])
    for name in sys.argv[3:]:
        describe(name, (linux / name).read_bytes(), (windows / name).read_bytes())


if __name__ == "__main__":
    main()
