#!/usr/bin/env python3
"""Writes the survey-map examples of the examples folder: a concave parcel of 14 points, a
parcel of 60 points along a hedge, and a block of 12 parcels. Coordinates are metres in
a plane rectangular system (X north, Y east), three decimals, rows as a spreadsheet copies
them: mark, name, X, Y, the closing row repeating the first point.

    tools/survey_map_examples.py examples/"""

import math
import os
import sys

ORIGIN = (-23800.0, -32850.0)


def rows(mark, names, points):
    lines = []
    for k, ((x, y), name) in enumerate(zip(points + points[:1], names + names[:1])):
        lines.append("%s\t%s\t%.3f\t%.3f" % (mark if k == 0 else "", name,
                                               ORIGIN[0] + x, ORIGIN[1] + y))
    return lines


def concave14():
    # A lot with a notch and a bend, 26 m by 21 m.
    points = [(0, 0), (0, 9.5), (3.2, 9.8), (3.4, 15.2), (0.2, 15.5), (0.4, 21.0),
              (11.8, 20.6), (12.1, 13.4), (17.6, 13.1), (18.0, 20.2), (26.1, 19.8),
              (25.7, 6.3), (14.9, 6.6), (14.6, 0.3)]
    names = ["P%d" % (k + 1) for k in range(len(points))]
    return rows("512-3", names, points)


def sixty():
    # A lot of 34 m by 42 m along an old hedge: 60 corners, 2 to 3.5 m apart, each a little
    # off the straight line.
    sides = [((0, 0), (34.0, 0.6), 13), ((34.0, 0.6), (33.2, 42.0), 17),
             ((33.2, 42.0), (-0.8, 41.2), 13), ((-0.8, 41.2), (0, 0), 17)]
    points = []
    for (x0, y0), (x1, y1), count in sides:
        for k in range(count):
            t = k / count
            wobble = 0.45 * math.sin(2.9 * len(points) + 0.7) if k > 0 else 0.0
            nx, ny = -(y1 - y0), x1 - x0
            norm = math.hypot(nx, ny)
            points.append((x0 + (x1 - x0) * t + wobble * nx / norm,
                           y0 + (y1 - y0) * t + wobble * ny / norm))
    names = ["K%d" % (k + 1) for k in range(len(points))]
    return rows("1024", names, points)


def twelve():
    # A block of 4 × 3 lots with corners a little off the grid; the lots share their sides.
    nx, ny = 4, 3
    width, depth = 11.0, 16.0
    corner = {}
    for i in range(nx + 1):
        for j in range(ny + 1):
            jx = 0.35 * math.sin(1.7 * i + 2.3 * j) if 0 < i < nx or 0 < j < ny else 0.0
            jy = 0.35 * math.cos(2.1 * i + 1.3 * j) if 0 < i < nx or 0 < j < ny else 0.0
            corner[(i, j)] = (j * depth + jx, i * width + jy)
    lines = []
    number = 1
    for j in range(ny):
        for i in range(nx):
            keys = [(i, j), (i, j + 1), (i + 1, j + 1), (i + 1, j)]
            names = ["%d" % (100 + 10 * k[0] + k[1]) for k in keys]
            lines += rows("300-%d" % number, names, [corner[k] for k in keys])
            number += 1
    return lines


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else "examples"
    for name, lines in [("survey_concave14.tsv", concave14()), ("survey_60points.tsv", sixty()),
                        ("survey_12parcels.tsv", twelve())]:
        with open(os.path.join(folder, name), "w", newline="") as f:
            f.write("\r\n".join(lines) + "\r\n")


if __name__ == "__main__":
    main()
