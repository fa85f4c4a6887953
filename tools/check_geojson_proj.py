#!/usr/bin/python3
"""Checks a GeoJSON file that Karumenio wrote against PROJ.

Every Point feature carries its survey coordinates as properties x and y; PROJ takes them from
the plane rectangular coordinate system given (1 to 19, EPSG:6669 to EPSG:6687) to latitude and
longitude (EPSG:6668), and the written position must agree within 1e-9 degrees plus the
rounding to 9 decimals. Polygons must be closed and their rings counter-clockwise; there must
be no "crs" member.

Usage: check_geojson_proj.py FILE SYSTEM
Prints the largest difference; exits 1 when a check fails, 77 when pyproj is missing.
"""

import json
import sys

TOLERANCE = 1e-9 + 0.5e-9


def ring_area2(ring):
    return sum(p[0] * q[1] - q[0] * p[1] for p, q in zip(ring, ring[1:]))


def main():
    if len(sys.argv) != 3:
        print(__doc__, file=sys.stderr)
        return 2
    try:
        import pyproj
    except ImportError:
        print("pyproj is missing: install python3-pyproj (Debian) to compare with PROJ",
              file=sys.stderr)
        return 77
    path, system = sys.argv[1], int(sys.argv[2])
    with open(path, encoding="utf-8") as f:
        collection = json.load(f)
    faults = []
    if collection.get("type") != "FeatureCollection" or "crs" in collection:
        faults.append("not a FeatureCollection without crs")
    inverse = pyproj.Transformer.from_crs(6668 + system, 6668)
    worst = 0.0
    points = 0
    for feature in collection["features"]:
        geometry = feature["geometry"]
        if geometry["type"] == "Point":
            properties = feature["properties"]
            latitude, longitude = inverse.transform(properties["x"], properties["y"])
            written_longitude, written_latitude = geometry["coordinates"]
            difference = max(abs(written_latitude - latitude), abs(written_longitude - longitude))
            worst = max(worst, difference)
            points += 1
            if difference > TOLERANCE:
                faults.append(f"point {properties['name']!r}: {difference:.3g} degrees from PROJ")
        elif geometry["type"] == "Polygon":
            for ring in geometry["coordinates"]:
                name = feature["properties"]["name"]
                if ring[0] != ring[-1] or len(ring) < 4:
                    faults.append(f"parcel {name!r}: ring not closed")
                elif ring_area2(ring) <= 0:
                    faults.append(f"parcel {name!r}: ring not counter-clockwise")
    print(f"{points} points, largest difference from PROJ {worst:.3g} degrees")
    for fault in faults:
        print(fault, file=sys.stderr)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
