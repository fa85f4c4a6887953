#!/usr/bin/env python3
"""Writes the points files that tools/compare-windows.sh feeds to the Linux and the Windows
build, and a list of them with the options each is run with.

Usage: comparison_sheets.py FOLDER [COUNT] [SEED]

The same seed gives the same files. Between them the sheets take every edition, paper and
scale; packed angles with sign (the quarter turns among them); points at the origin and on
the axes; break marks; radii (negative ones too) from the file and from --radius; names in
kanji, half-width katakana and the characters whose code page 932 form differs between
converters; files in UTF-8, UTF-8 with byte order mark and code page 932, TAB- and
comma-separated, and SIMA. The list, FOLDER/sheets.txt, has one line per sheet: the file
name, a short description, then the options, TAB-separated.
"""

import random
import re
import sys
from pathlib import Path

TOP = Path(__file__).resolve().parent.parent


def table_tokens(header, table):
    """The tokens of a choice table in the program's own header (the first field of each
    row), in its order, so that a new paper, scale or edition is compared too."""
    text = (TOP / header).read_text(encoding="utf-8")
    rows = text[text.index(table):]
    rows = rows[:rows.index("});")]
    return re.findall(r'^\s*\{"([^"]*)"', rows, re.M)


EDITIONS = table_tokens("plan/edition.h", "kEditions") + ["12"]  # 12: an edition the table lacks
PAPERS = table_tokens("plan/papersize.h", "kPaperSizes")
SCALES = table_tokens("plan/drawingscale.h", "kDrawingScales")
# Quarter turns, where sine and cosine should give exact zeros, and other awkward angles.
ANGLES = ["0", "0.0000", "90", "90.0000", "180", "180.0000", "270", "270.0000", "-90",
          "-180.0000", "33.2547", "-127.0559", "359.5959", "45", "45.3000", "-0.0001",
          "0.0030", "720.0000", "12.30456", "-270"]

# The nine characters that code page 932 converters map differently from Unicode.
NINE = "¢£¥¬—‖‾−〜"
KANJI = ["境界", "杭", "測点", "基準点", "道路", "水路", "角", "丁目", "番地", "髙橋", "﨑", "辻"]
KATAKANA = ["ｱ", "ｷｮｳｶｲ", "ｸｲ", "ﾃﾞﾝﾁｭｳ", "ﾊﾟｲﾌﾟ", "ｰ"]
# Characters code page 932 holds twice (NEC and JIS rows), or that are only in its extensions.
DOUBLES = ["≒", "∵", "∪", "①", "Ⅲ", "№", "㈱", "￤"]
KANA = ["あ", "さくら", "カ", "ヴ", "ゑ"]
# Outside code page 932 altogether: written as "?" with a warning.
OUTSIDE = ["𠮷", "한", "é"]


def cp932_safe(text):
    if any(c in NINE for c in text):
        return False
    try:
        return text.encode("cp932").decode("cp932") == text
    except UnicodeError:
        return False


def number(rng, axis_zero=False):
    if axis_zero:
        return rng.choice(["0", "0.0", "0.000", "-0"])
    kind = rng.random()
    if kind < 0.1:
        value = rng.uniform(-50000, 50000)
    elif kind < 0.2:
        value = rng.uniform(-1, 1)
    else:
        value = rng.uniform(-1500, 1500)
    return f"{value:.{rng.randint(0, 4)}f}"


def name(rng, index, cp932):
    parts = [rng.choice(["K", "T", "P", "No.", ""])]
    for _ in range(rng.randint(1, 3)):
        pool = rng.choice([KANJI, KATAKANA, KANA, [NINE], DOUBLES, [c for c in NINE], OUTSIDE,
                           KANJI, KATAKANA])
        parts.append(rng.choice(pool))
    text = "".join(parts) + str(index)
    if cp932:
        text = "".join(c for c in text if cp932_safe(c))
    return text


def points(rng, count):
    """Rows of mark, x, y, radius; the first points sit on the origin and the axes."""
    rows = []
    for i in range(count):
        special = i < 4 and rng.random() < 0.7
        x = number(rng, special and i in (0, 1))
        y = number(rng, special and i in (0, 2))
        mark = rng.choice(["K", "区切", "x"]) if i > 0 and rng.random() < 0.2 else ""
        radius = None
        r = rng.random()
        if r < 0.15:
            radius = f"-{rng.uniform(0, 5):.{rng.randint(0, 3)}f}"
        elif r < 0.35:
            radius = f"{rng.uniform(0, 10):.{rng.randint(0, 3)}f}"
        elif r < 0.45:
            radius = rng.choice(["0", ""])
        rows.append((mark, x, y, radius))
    return rows


def csv_field(text):
    return '"' + text.replace('"', '""') + '"' if any(c in text for c in ',"') else text


def delimited(rng, index, rows, separator, cp932):
    lines = []
    header = rng.random() < 0.3
    if header:
        lines.append(separator.join(["印", "点名", "X", "Y", "半径"]))
    for i, (mark, x, y, radius) in enumerate(rows):
        fields = [mark, name(rng, i + 1, cp932), x, y]
        if radius is not None:
            fields.append(radius)
        if separator == ",":
            fields = [csv_field(f) for f in fields]
        lines.append(separator.join(fields))
    ending = rng.choice(["\n", "\r\n"])
    return ending.join(lines) + ending, ("header " if header else "")


def sima(rng, rows, cp932):
    """Every point as A01, then two parcels over them that share points."""
    lines = ["G00,01,現場,", "A00,"]
    for i, (_, x, y, _) in enumerate(rows):
        lines.append(f"A01,{i + 1},{name(rng, i + 1, cp932)},{x},{y},,")
    lines.append("A99,")
    half = max(2, len(rows) // 2)
    for parcel, members in enumerate([range(1, half + 1), range(len(rows), half - 1, -1)]):
        lines.append(f"D00,{parcel + 1},区画{parcel + 1},1,")
        lines.extend(f"B01,{n},," for n in members)
        lines.append("D99,")
    return "\r\n".join(lines) + "\r\n"


def sheet(rng, index):
    edition = EDITIONS[index % len(EDITIONS)]
    paper = PAPERS[index % len(PAPERS)]
    scale = SCALES[(index // len(PAPERS)) % len(SCALES)]
    options = [f"--edition={edition}", f"--paper={paper}", f"--scale={scale}"]
    if index < len(ANGLES):
        angle = ANGLES[index]
    elif rng.random() < 0.1:
        angle = None
    else:
        angle = (f"{rng.choice(['', '-'])}{rng.randint(0, 359)}."
                 f"{rng.randint(0, 59):02d}{rng.randint(0, 59):02d}")
    if angle is not None:
        options.append(f"--angle={angle}")
    if rng.random() < 0.25:
        options.append(f"--radius={rng.choice(['', '-'])}{rng.uniform(0, 3):.{rng.randint(0, 2)}f}")

    encoding = ["utf-8", "utf-8-sig", "cp932"][index % 3]
    cp932 = encoding == "cp932"
    rows = points(rng, rng.randint(1, 40))
    if index % 25 == 7:
        rows += points(rng, 4)
        kind, extension, text, extra = "SIMA", "sim", sima(rng, rows, cp932), ""
    elif index % 2 == 0:
        kind, extension = "TSV", "tsv"
        text, extra = delimited(rng, index, rows, "\t", cp932)
    else:
        kind, extension = "CSV", "csv"
        text, extra = delimited(rng, index, rows, ",", cp932)
    file_name = f"{index:03d}-{kind.lower()}.{extension}"
    description = (f"{kind} {encoding} {extra}{len(rows)} points, edition {edition} {paper} "
                   f"1:{scale} angle {angle if angle is not None else '(default)'}")
    return file_name, text.encode(encoding), description, options


def main():
    folder = Path(sys.argv[1])
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 120
    rng = random.Random(int(sys.argv[3]) if len(sys.argv) > 3 else 20240611)
    folder.mkdir(parents=True, exist_ok=True)
    with open(folder / "sheets.txt", "w", encoding="utf-8") as listing:
        for index in range(count):
            file_name, data, description, options = sheet(rng, index)
            (folder / file_name).write_bytes(data)
            listing.write("\t".join([file_name, description] + options) + "\n")


if __name__ == "__main__":
    main()
