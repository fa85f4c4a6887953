"""The DXF that karumenio-cli writes, read back with ezdxf and checked against world positions
computed here from the points themselves: survey (x, y) lands at
(x sin t + y cos t, x cos t - y sin t), labels where the TEXT script of the same run puts them
(horizontal, east of their points), the frame an axis-aligned sheet of the paper's size times
the scale, centred on the data's extent."""

import math
import os
import shutil
import random
import subprocess
import sys
import tempfile
import unittest

import ezdxf

CLI = os.environ["KARUMENIO_CLI"]
LIBRECAD = "/usr/bin/librecad"
DATA = os.environ["KARUMENIO_TEST_DATA"]

PAPERS = {"A1": (841, 594), "A2": (594, 420), "A3": (420, 297), "A4L": (297, 210), "A4P": (210, 297),
          "B4L": (364, 257), "B4P": (257, 364)}
SCALES = [100, 200, 250, 300, 400, 500, 1000, 2000, 3000, 5000]
LAYERS = {"P_WAKU": 7, "P_LINE": 2, "P_PROT": 3, "P_MOJI": 4}
LABEL_STYLE = "KST32B"
NAMES = ["K1", "測点12", "ﾎﾟｲﾝﾄ", "境界杭Ａ", "001", "No.15", "　中央　", "点-3"]


def run_cli(*args):
    return subprocess.run([CLI, *args], capture_output=True, timeout=60)


def contents(folder):
    files = {}
    for name in os.listdir(folder):
        with open(os.path.join(folder, name), "rb") as f:
            files[name] = f.read()
    return files


def world(x, y, degrees):
    t = math.radians(degrees)
    return (x * math.sin(t) + y * math.cos(t), x * math.cos(t) - y * math.sin(t))


def label_points(folder):
    """The label points of the TEXT script in the folder, in the survey system, slot by slot."""
    with open(os.path.join(folder, "TEXT.SCR"), "rb") as f:
        lines = f.read().decode("cp932").split("\r\n")
    points = []
    for i, line in enumerate(lines):
        if line == "TEXT J BL":
            x, y = lines[i + 1].split(",")
            points.append((float(x), float(y)))
    return points


class Sheet:
    """Rows as a surveyor pastes them: mark, name, X, Y, radius (always given, so the
    template's radius chain plays no part)."""

    def __init__(self, rows, paper="A1", scale=100, degrees=0, minutes=0, seconds=0, negative=False):
        self.rows = rows
        self.paper = paper
        self.scale = scale
        self.angle_text = "%s%d.%02d%02d" % ("-" if negative else "", degrees, minutes, seconds)
        self.degrees = (degrees + minutes / 60 + seconds / 3600) * (-1 if negative else 1)

    def tsv(self):
        return "".join("%s\t%s\t%r\t%r\t%r\r\n" % row for row in self.rows).encode("utf-8")

    def write(self, folder, extra=()):
        points = os.path.join(folder, "points.tsv")
        with open(points, "wb") as f:
            f.write(self.tsv())
        dxf = os.path.join(folder, "plan.dxf")
        result = run_cli("--edition", "2000", "--paper", self.paper, "--scale", str(self.scale),
                         "--angle", self.angle_text, "--out", folder, "--dxf", dxf, *extra, points)
        return result, dxf

    def expected_polylines(self):
        runs, current = [], []
        for slot, (mark, _, x, y, _) in enumerate(self.rows):
            if slot > 0 and mark != "":
                runs.append(current)
                current = []
            current.append(world(x, y, self.degrees))
        runs.append(current)
        return [run for run in runs if len(run) >= 2]

    def expected_circles(self):
        return [(world(x, y, self.degrees), abs(r)) for (_, _, x, y, r) in self.rows if r != 0]

    def expected_labels(self, folder):
        """Each name where the TEXT script written beside the DXF puts it, which lies on its
        point's horizontal, east of it."""
        labels = []
        for (_, name, x, y, _), (lx, ly) in zip(self.rows, label_points(folder)):
            if name.strip(" "):
                point, label = world(x, y, self.degrees), world(lx, ly, self.degrees)
                assert abs(label[1] - point[1]) <= 1e-6 * max(1, abs(point[1])), (point, label)
                assert label[0] > point[0], (point, label)
                labels.append((name.strip(" "), label))
        return labels

    def expected_frame(self):
        xs = [row[2] for row in self.rows]
        ys = [row[3] for row in self.rows]
        centre = world((max(xs) + min(xs)) / 2, (max(ys) + min(ys)) / 2, self.degrees)
        width, height = PAPERS[self.paper]
        factor = self.scale / 1000
        return [(centre, (width - 2 * inset) * factor, (height - 2 * inset) * factor, factor)
                for inset in (0, 15, 35)]


def random_sheet(rng, count):
    rows = []
    for slot in range(count):
        mark = rng.choice(["", "", "", "K", "*"]) if slot else rng.choice(["", "K"])
        x = round(rng.uniform(-5000, 5000), rng.choice([0, 1, 3]))
        y = round(rng.uniform(-5000, 5000), rng.choice([0, 1, 3]))
        radius = rng.choice([0, 0, 1, 2.5, -2])
        rows.append((mark, rng.choice(NAMES) + str(slot), x, y, radius))
    return Sheet(rows, rng.choice(list(PAPERS)), rng.choice(SCALES), rng.randrange(360),
                 rng.randrange(60), rng.randrange(60), rng.random() < 0.2)


class DxfTest(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix="karumenio-dxf-")

    def close(self, got, want, tolerance=1e-6):
        scale = max(1.0, abs(want[0]), abs(want[1]))
        self.assertAlmostEqual(got[0], want[0], delta=tolerance * scale)
        self.assertAlmostEqual(got[1], want[1], delta=tolerance * scale)

    def read(self, sheet):
        result, path = sheet.write(self.folder)
        self.assertEqual(result.returncode, 0, result.stderr.decode("utf-8", "replace"))
        doc = ezdxf.readfile(path)
        self.assertEqual(doc.dxfversion, "AC1009")
        self.assertEqual(doc.encoding, "cp932")
        return doc

    def check(self, sheet):
        doc = self.read(sheet)
        for name, colour in LAYERS.items():
            self.assertEqual(doc.layers.get(name).color, colour, name)
        msp = doc.modelspace()

        polylines = msp.query("POLYLINE")
        frames = [p for p in polylines if p.dxf.layer == "P_WAKU"]
        lines = [p for p in polylines if p.dxf.layer == "P_LINE"]
        self.assertEqual(len(frames), 3)
        for frame, (centre, width, height, factor) in zip(frames, sheet.expected_frame()):
            self.assertTrue(frame.is_closed)
            xs = [v.dxf.location.x for v in frame.vertices]
            ys = [v.dxf.location.y for v in frame.vertices]
            self.assertEqual(len(xs), 4)
            self.close(((min(xs) + max(xs)) / 2, (min(ys) + max(ys)) / 2), centre, 1e-5)
            # The sheet constants lie a few ten-thousandths of a millimetre off the sheet.
            self.assertAlmostEqual(max(xs) - min(xs), width, delta=1e-3 * max(1, factor))
            self.assertAlmostEqual(max(ys) - min(ys), height, delta=1e-3 * max(1, factor))

        expected = sheet.expected_polylines()
        self.assertEqual(len(lines), len(expected))
        for line, vertices in zip(lines, expected):
            self.assertFalse(line.is_closed)
            got = [(v.dxf.location.x, v.dxf.location.y) for v in line.vertices]
            self.assertEqual(len(got), len(vertices))
            for g, w in zip(got, vertices):
                self.close(g, w)

        circles = msp.query("CIRCLE")
        expected = sheet.expected_circles()
        self.assertEqual(len(circles), len(expected))
        for circle, (centre, radius) in zip(circles, expected):
            self.assertEqual(circle.dxf.layer, "P_PROT")
            self.close((circle.dxf.center.x, circle.dxf.center.y), centre)
            self.assertEqual(circle.dxf.radius, radius)

        texts = msp.query("TEXT")
        expected = sheet.expected_labels(self.folder)
        self.assertEqual(len(texts), len(expected))
        for text, (name, insert) in zip(texts, expected):
            self.assertEqual(text.dxf.layer, "P_MOJI")
            self.assertEqual(text.dxf.text, name)
            self.close((text.dxf.insert.x, text.dxf.insert.y), insert)
            self.assertEqual((text.dxf.halign, text.dxf.valign), (0, 1))
            self.assertEqual(text.dxf.align_point, text.dxf.insert)
            self.assertEqual((text.dxf.height, text.dxf.rotation), (3.0, 0.0))
            self.assertEqual(text.dxf.style, LABEL_STYLE)
        # The style's files are the stroke font with the Japanese big font.
        style = doc.styles.get(LABEL_STYLE)
        self.assertEqual((style.dxf.font, style.dxf.bigfont), ("romans.shx", "extfont.shx"))
        return doc

    def test_worked_example(self):
        with open(os.path.join(DATA, "worked_example.tsv"), "rb") as f:
            points = os.path.join(self.folder, "points.tsv")
            with open(points, "wb") as out:
                out.write(f.read())
        dxf = os.path.join(self.folder, "plan.dxf")
        result = run_cli("--edition", "2000", "--out", self.folder, "--dxf", dxf, points)
        self.assertEqual(result.returncode, 0, result.stderr.decode("utf-8", "replace"))
        self.assertIn(dxf, result.stdout.decode("utf-8"))
        msp = ezdxf.readfile(dxf).modelspace()
        lines = [p for p in msp.query("POLYLINE") if p.dxf.layer == "P_LINE"]
        self.close(tuple(lines[0].vertices[0].dxf.location)[:2], (0, 0))
        self.close(tuple(lines[1].vertices[0].dxf.location)[:2], (-60, 60))
        k1 = msp.query("TEXT")[0]
        self.assertEqual(k1.dxf.text, "K1")
        label = label_points(self.folder)[0]
        self.close((k1.dxf.insert.x, k1.dxf.insert.y), (label[1], label[0]))
        self.assertGreater(k1.dxf.insert.x, 0)
        outer = [p for p in msp.query("POLYLINE") if p.dxf.layer == "P_WAKU"][0]
        xs = [v.dxf.location.x for v in outer.vertices]
        ys = [v.dxf.location.y for v in outer.vertices]
        self.close((min(xs), min(ys)), (2.95, 0.30), 1e-4)
        self.close((max(xs), max(ys)), (87.05, 59.70), 1e-4)

    def test_random_sheets(self):
        rng = random.Random(20261208)
        for case in range(25):
            sheet = random_sheet(rng, rng.randrange(1, 60))
            with self.subTest(case=case, paper=sheet.paper, scale=sheet.scale, angle=sheet.angle_text):
                self.check(sheet)

    def test_3001_points_with_japanese_names(self):
        rng = random.Random(3001)
        sheet = random_sheet(rng, 3001)
        doc = self.check(sheet)
        self.assertEqual(len(doc.modelspace().query("TEXT")), 3001)

    def test_a_dxf_that_cannot_be_written_changes_none_of_the_files(self):
        sheet = Sheet([("", "A", 0.0, 0.0, 1), ("", "B", 10.0, 5.0, 0)])
        self.read(sheet)
        before = contents(self.folder)
        points = os.path.join(self.folder, "points.tsv")
        missing = os.path.join(self.folder, "no such folder", "plan.dxf")
        result = run_cli("--edition", "2000", "--angle", "45.0000", "--out", self.folder,
                         "--dxf", missing, points)
        self.assertEqual(result.returncode, 1)
        self.assertEqual(contents(self.folder), before)


def ink(ppm):
    """Pixels that are not white in a binary PPM picture, as Ghostscript writes it."""
    with open(ppm, "rb") as f:
        data = f.read()
    fields, at = [], 0
    while len(fields) < 4:
        while data[at:at + 1].isspace():
            at += 1
        if data[at:at + 1] == b"#":
            at = data.index(b"\n", at)
            continue
        end = at
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[at:end])
        at = end
    width, height = int(fields[1]), int(fields[2])
    pixels = data[at + 1:at + 1 + width * height * 3]
    return sum(1 for i in range(0, len(pixels), 3) if pixels[i:i + 3] != b"\xff\xff\xff")


class LibreCadTest(unittest.TestCase):
    """LibreCAD's dxf2pdf draws the labels with glyphs, Japanese ones included, where it would
    draw a box for each character of a font that has none."""

    def render(self, folder, dxf, name):
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
        pdf = os.path.join(folder, name + ".pdf")
        subprocess.run(["timeout", "120", LIBRECAD, "dxf2pdf", "-o", pdf, dxf],
                       env=env, capture_output=True, cwd=folder)
        self.assertTrue(os.path.exists(pdf) and os.path.getsize(pdf) > 0)
        picture = os.path.join(folder, name + ".ppm")
        subprocess.run(["gs", "-q", "-dNOPAUSE", "-dBATCH", "-sDEVICE=ppmraw", "-r100",
                        "-sOutputFile=" + picture, pdf], check=True, capture_output=True)
        return ink(picture)

    def test_japanese_labels_are_drawn_as_glyphs(self):
        if not os.path.exists(LIBRECAD) or not shutil.which("gs"):
            self.skipTest("LibreCAD or Ghostscript is not installed")
        folder = tempfile.mkdtemp(prefix="karumenio-librecad-")
        points = os.path.join(folder, "points.tsv")
        # Names only, with no boundary line or circle: the ink is the labels'.
        with open(points, "wb") as f:
            f.write("\t境界杭測点\t0\t0\r\n\tﾎﾟｲﾝﾄ\t40\t0\r\n\t東西南北\t20\t30\r\n".encode("utf-8"))
        dxf = os.path.join(folder, "plan.dxf")
        result = run_cli("--edition", "2000", "--out", folder, "--dxf", dxf, points)
        self.assertEqual(result.returncode, 0, result.stderr.decode("utf-8", "replace"))
        drawn = self.render(folder, dxf, "plan")
        # The same drawing in a style whose font has no Japanese glyphs (boxes), and without
        # labels: what the labels add is compared.
        with open(dxf, "rb") as f:
            boxed = f.read().replace(LABEL_STYLE.encode(), b"ROMANS")
        other = os.path.join(folder, "boxed.dxf")
        with open(other, "wb") as f:
            f.write(boxed)
        boxes = self.render(folder, other, "boxed")
        bare = ezdxf.readfile(dxf)
        for text in bare.modelspace().query("TEXT"):
            bare.modelspace().delete_entity(text)
        unlabelled = os.path.join(folder, "bare.dxf")
        bare.saveas(unlabelled)
        frame = self.render(folder, unlabelled, "bare")
        self.assertGreater(boxes, frame)
        self.assertGreater(drawn - frame, 2 * (boxes - frame), "labels drawn as boxes")


if __name__ == "__main__":
    unittest.main()
