#!/usr/bin/python3
"""Reference values for the plane rectangular coordinate systems, computed by PROJ.

For each of the nineteen JGD2011 systems (EPSG:6669 to EPSG:6687) it takes the origin and a
grid of points over the system's area of use, rounds their plane coordinates to the millimetre
as surveyed coordinates are, and asks PROJ for their latitude and longitude (EPSG:6668).
One row a point:

    number epsg roman X Y latitude longitude

X and Y in metres with 3 decimals, latitude and longitude in degrees with 14 decimals; the
roman numeral is the one in PROJ's name of the system. "#" lines are comments.

Usage: plane_systems_reference.py [--grid N] [--out FILE]
The committed table tests/data/plane_systems_proj.txt is made with the default grid (4).
Exits with 77 when pyproj is missing, which the tests take as "skipped".
"""

import argparse
import sys

FIRST_EPSG = 6669
SYSTEMS = 19
GEOGRAPHIC_EPSG = 6668
NAME_PREFIX = "JGD2011 / Japan Plane Rectangular CS "


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--grid", type=int, default=4, help="points per side of each grid")
    parser.add_argument("--out", help="file to write (default: standard output)")
    args = parser.parse_args()
    if args.grid < 2:
        parser.error("--grid takes 2 or more")

    try:
        import pyproj
    except ImportError:
        print("pyproj is missing: install python3-pyproj (Debian) to compare with PROJ",
              file=sys.stderr)
        return 77

    lines = [
        "# Plane rectangular coordinate systems of JGD2011 and their latitude and longitude by",
        f"# PROJ {pyproj.proj_version_str}, made by tools/plane_systems_reference.py --grid {args.grid}.",
        "# number epsg roman X Y latitude longitude",
    ]
    for number in range(1, SYSTEMS + 1):
        epsg = FIRST_EPSG + number - 1
        crs = pyproj.CRS.from_epsg(epsg)
        if not crs.name.startswith(NAME_PREFIX):
            print(f"EPSG:{epsg} is {crs.name!r}, not a plane rectangular system", file=sys.stderr)
            return 1
        roman = crs.name[len(NAME_PREFIX):]
        forward = pyproj.Transformer.from_crs(GEOGRAPHIC_EPSG, epsg)
        inverse = pyproj.Transformer.from_crs(epsg, GEOGRAPHIC_EPSG)

        # The grid is laid over the area of use in latitude and longitude, then taken to the
        # plane and rounded to the millimetre; the origin comes first.
        area = crs.area_of_use
        plane = [(0.0, 0.0)]
        steps = args.grid - 1
        for i in range(args.grid):
            latitude = area.south + (area.north - area.south) * i / steps
            for j in range(args.grid):
                longitude = area.west + (area.east - area.west) * j / steps
                x, y = forward.transform(latitude, longitude)
                plane.append((round(x, 3), round(y, 3)))
        for x, y in plane:
            latitude, longitude = inverse.transform(x, y)
            lines.append(f"{number} {epsg} {roman} {x:.3f} {y:.3f} {latitude:.14f} {longitude:.14f}")

    text = "\n".join(lines) + "\n"
    if args.out:
        with open(args.out, "w", encoding="ascii", newline="\n") as out:
            out.write(text)
    else:
        sys.stdout.write(text)
    return 0


if __name__ == "__main__":
    sys.exit(main())
