"""The survey map in the DXF, read back with ezdxf and checked against values computed here
from the SIMA example's coordinates: the map's layers with the plan's frozen, the area table's
texts (those of the area CSV), each side's length (cut to the millimetre) at its midpoint and
along it, and the north arrow towards survey X at 0 and 30 degrees."""

import csv
import io
import math
import os
import subprocess
import tempfile
import unittest
from decimal import Decimal
from math import isqrt

import ezdxf

SAMPLE = os.environ["KARUMENIO_SURVEYMAP_SAMPLE"]
EXAMPLE = os.path.join(os.environ["KARUMENIO_EXAMPLES"], "two_parcels.sim")

# The example's points and parcels, as the SIMA file holds them.
POINTS = {
    "No.1": ("-23795.960", "-32832.251"),
    "No.2": ("-23782.105", "-32832.002"),
    "No.3": ("-23782.230", "-32824.310"),
    "No.4": ("-23796.080", "-32824.560"),
    "No.5": ("-23768.330", "-32831.760"),
    "No.6": ("-23768.452", "-32824.058"),
}
PARCELS = {"669-1": ["No.1", "No.2", "No.3", "No.4"], "669-2": ["No.2", "No.5", "No.6", "No.3"]}
SCALE = 250
UNIT = SCALE / 1000  # drawing units per millimetre of paper


def world(x, y, degrees):
    t = math.radians(degrees)
    return (x * math.sin(t) + y * math.cos(t), x * math.cos(t) - y * math.sin(t))


def millimetres(text):
    return int(Decimal(text) * 1000)


def length_text(a, b):
    dx = millimetres(POINTS[b][0]) - millimetres(POINTS[a][0])
    dy = millimetres(POINTS[b][1]) - millimetres(POINTS[a][1])
    mm = isqrt(dx * dx + dy * dy)
    return "%d.%03d" % (mm // 1000, mm % 1000)


class SurveyMapDxfTest(unittest.TestCase):
    def run_sample(self, degrees):
        folder = tempfile.mkdtemp(prefix="karumenio-surveymap-")
        angle = "%d.0000" % degrees
        result = subprocess.run([SAMPLE, EXAMPLE, "B4L", str(SCALE), angle, folder],
                                capture_output=True, timeout=60)
        self.assertEqual(result.returncode, 0, result.stderr.decode("utf-8", "replace"))
        doc = ezdxf.readfile(os.path.join(folder, "plan.dxf"))
        with open(os.path.join(folder, "area.csv"), encoding="utf-8-sig", newline="") as f:
            rows = list(csv.reader(f))
        return doc, rows

    def test_layers_and_the_area_table(self):
        doc, rows = self.run_sample(0)
        self.assertEqual(doc.encoding, "cp932")
        layers = {layer.dxf.name: layer.color for layer in doc.layers}
        for name, colour in {"P_WAKU": 7, "P_LINE": 2, "P_PROT": 3, "P_MOJI": 4,
                             "P_ZUWAKU": 7, "P_HIKKAI": 2, "P_KIGOU": 3, "P_TENMEI": 4,
                             "P_HENCHO": 1, "P_KYUSEKI": 7}.items():
            self.assertEqual(layers.get(name), colour, name)
        # The plan's own layers are frozen: the map shows its names at paper size itself.
        frozen = {layer.dxf.name for layer in doc.layers if layer.is_frozen()}
        self.assertEqual(frozen, {"P_WAKU", "P_LINE", "P_PROT", "P_MOJI"})
        msp = doc.modelspace()
        table = [t.dxf.text for t in msp.query('TEXT[layer=="P_KYUSEKI"]')]
        self.assertEqual(rows[0], ["区画", "点名", "X", "Y", "Yn+1-Yn-1", "Xn(Yn+1-Yn-1)"])
        # Every field of the CSV, the header included, is a text of the table.
        for row in rows:
            for field in row:
                if field:
                    self.assertIn(field, table)
        self.assertIn("106.57", table)  # 106.5770675 m², cut
        self.assertIn("地積測量図", table)
        # One text style for the labels and the map: the one whose fonts hold Japanese.
        self.assertEqual({text.dxf.style for text in msp.query("TEXT")}, {"KST32B"})

    def test_lengths_at_the_midpoints(self):
        for degrees in (0, 30):
            doc, _ = self.run_sample(degrees)
            labels = [(t.dxf.text, (t.dxf.align_point.x, t.dxf.align_point.y), t.dxf.rotation,
                       t.dxf.height)
                      for t in doc.modelspace().query('TEXT[layer=="P_HENCHO"]')]
            sides = set()
            for corners in PARCELS.values():
                for a, b in zip(corners, corners[1:] + corners[:1]):
                    sides.add(tuple(sorted((a, b))))
            # The shared side No.2–No.3 once.
            self.assertEqual(len(labels), len(sides))
            for a, b in sides:
                pa = world(float(POINTS[a][0]), float(POINTS[a][1]), degrees)
                pb = world(float(POINTS[b][0]), float(POINTS[b][1]), degrees)
                middle = ((pa[0] + pb[0]) / 2, (pa[1] + pb[1]) / 2)
                length = math.dist(pa, pb)
                along = ((pb[0] - pa[0]) / length, (pb[1] - pa[1]) / length)
                label = min(labels, key=lambda l: math.dist(l[1], middle))
                self.assertEqual(label[0], length_text(a, b), (a, b))
                # On the perpendicular through the midpoint, a gap of 0.75 mm from the side
                # (or the gap and the text's height, below the side).
                offset = (label[1][0] - middle[0], label[1][1] - middle[1])
                self.assertAlmostEqual(offset[0] * along[0] + offset[1] * along[1], 0, places=6)
                distance = math.hypot(*offset)
                self.assertTrue(math.isclose(distance, 0.75 * UNIT, abs_tol=1e-6) or
                                math.isclose(distance, 0.75 * UNIT + label[3], abs_tol=1e-6),
                                distance)
                self.assertAlmostEqual(label[3], 2.0 * UNIT)
                # Along the side and readable.
                r = math.radians(label[2])
                self.assertAlmostEqual(abs(math.cos(r) * along[0] + math.sin(r) * along[1]), 1,
                                       places=9)
                self.assertTrue(-90 < label[2] <= 90, label[2])

    def test_north_arrow_points_to_survey_x(self):
        for degrees in (0, 30):
            doc, _ = self.run_sample(degrees)
            msp = doc.modelspace()
            frames = [p for p in msp.query('POLYLINE[layer=="P_ZUWAKU"]')]
            xs = [v.dxf.location.x for v in frames[0].vertices]
            centre_x = (min(xs) + max(xs)) / 2
            # The arrow is the only part of the map left of the sheet's centre: its shaft of
            # two points and its head.
            left = [p for p in msp.query('POLYLINE[layer=="P_KYUSEKI"]')
                    if all(v.dxf.location.x < centre_x for v in p.vertices)]
            shafts = [p for p in left if len(p.vertices) == 2]
            self.assertEqual(len(shafts), 1)
            tail, head = [v.dxf.location for v in shafts[0].vertices]
            length = math.dist((tail.x, tail.y), (head.x, head.y))
            self.assertAlmostEqual(length, 20 * UNIT)
            north = world(1, 0, degrees)
            self.assertAlmostEqual((head.x - tail.x) / length, north[0], places=9)
            self.assertAlmostEqual((head.y - tail.y) / length, north[1], places=9)
            letters = [t for t in msp.query('TEXT[layer=="P_KYUSEKI"]') if t.dxf.text == "N"]
            self.assertEqual(len(letters), 1)


if __name__ == "__main__":
    unittest.main()
