"""The Windows build of the command-line tool, run through Wine, with Japanese file and folder
names: under a Japanese locale (ANSI code page 932) and under Western ones (1252), so that
the names are seen to travel in UTF-16 whatever the ANSI code page holds.

Environment: KARUMENIO_CLI (the .exe), KARUMENIO_TEST_DATA, optionally KARUMENIO_WINE and
WINEPREFIX. Missing locales are generated with localedef when run as root.
"""

import os
import shutil
import subprocess
import tempfile
import unittest
from pathlib import Path

CLI = os.environ.get("KARUMENIO_CLI", "")
DATA = Path(os.environ.get("KARUMENIO_TEST_DATA", Path(__file__).parent.parent / "data"))
WINE = os.environ.get("KARUMENIO_WINE", "wine")
SCRIPTS = ("ZAHYOU.SCR", "LINE.SCR", "PLOT.SCR", "TEXT.SCR")
OPTIONS = ["--edition", "2000", "--paper", "A1", "--scale", "100"]

# Each locale with the ANSI code page Wine gives Windows programs under it.
LOCALES = {"ja_JP.UTF-8": "932", "en_US.UTF-8": "1252", "C.UTF-8": "1252"}


def locale_available(name):
    listed = subprocess.run(["locale", "-a"], capture_output=True, text=True).stdout.split()
    wanted = name.lower().replace("-", "")
    return any(entry.lower().replace("-", "") == wanted for entry in listed)


def ensure_locale(name):
    """Generates the locale when it is missing; a reason to skip when that is not possible."""
    if locale_available(name):
        return None
    language, charset = name.split(".")
    if os.geteuid() != 0:
        return (f"locale {name} missing; generate it with: "
                f"sudo localedef -i {language} -f {charset} {name}")
    if not Path("/usr/share/i18n/locales", language).exists():
        subprocess.run(["apt-get", "update", "-qq"], check=True)
        subprocess.run(["apt-get", "install", "-y", "-qq", "locales"], check=True,
                       env=dict(os.environ, DEBIAN_FRONTEND="noninteractive"),
                       stdout=subprocess.DEVNULL)
    subprocess.run(["localedef", "-i", language, "-f", charset, name], check=True)
    return None


class Run:
    def __init__(self, status, out, err):
        self.status, self.out, self.err = status, out, err


class WindowsPathsTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        if not CLI:
            raise unittest.SkipTest("KARUMENIO_CLI does not name the Windows build")
        cls.top = Path(tempfile.mkdtemp(prefix="karumenio-windows-paths-"))
        cls.prefix = os.environ.get("WINEPREFIX") or str(
            Path(tempfile.gettempdir(), f"karumenio-wine-{os.getuid()}"))
        # What the tool writes through plain names; every other run must give the same bytes.
        plain = cls.top / "plain"
        plain.mkdir()
        shutil.copy(DATA / "worked_example.tsv", plain / "points.tsv")
        run = cls.run_cli("C.UTF-8", cls.top, OPTIONS + [
            "--out", "plain", "--dxf", "plain/plan.dxf", "--sima-out", "plain/site.sim",
            "plain/points.tsv"])
        if run.status != 0:
            raise AssertionError(f"the run with plain names failed: {run.err}")
        cls.expected = {name: (plain / name).read_bytes() for name in SCRIPTS + ("plan.dxf",)}
        # The site name in the SIMA file is the file's own name.
        cls.expected_sima = (plain / "site.sim").read_bytes().replace(
            b"G00,01,site,", "G00,01,現場,".encode("cp932"), 1)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.top, ignore_errors=True)

    @classmethod
    def wine_environment(cls, locale):
        env = {k: v for k, v in os.environ.items() if not k.startswith("LC_")}
        env.update(LANG=locale, WINEPREFIX=cls.prefix, WINEDEBUG="-all")
        return env

    @classmethod
    def run_cli(cls, locale, folder, arguments, extra_env=None):
        # Files, not pipes: the Wine server outlives the program and would hold a pipe open.
        out, err = cls.top / "stdout", cls.top / "stderr"
        env = cls.wine_environment(locale)
        env.update(extra_env or {})
        with open(out, "wb") as o, open(err, "wb") as e:
            status = subprocess.run([WINE, CLI] + arguments, cwd=folder, env=env,
                                    stdin=subprocess.DEVNULL, stdout=o, stderr=e).returncode
        return Run(status, out.read_bytes().decode("utf-8", "replace"),
                   err.read_bytes().decode("utf-8", "replace"))

    def ansi_code_page(self, locale):
        out = self.top / "acp"
        with open(out, "wb") as o:
            subprocess.run([WINE, "reg", "query",
                            r"HKLM\System\CurrentControlSet\Control\Nls\CodePage", "/v", "ACP"],
                           env=self.wine_environment(locale), stdin=subprocess.DEVNULL, stdout=o,
                           stderr=subprocess.DEVNULL)
        fields = out.read_bytes().decode("ascii", "replace").split()
        return fields[fields.index("REG_SZ") + 1] if "REG_SZ" in fields else None

    def test_japanese_names_under_each_locale(self):
        for locale, code_page in LOCALES.items():
            with self.subTest(locale=locale):
                reason = ensure_locale(locale)
                if reason:
                    self.skipTest(reason)
                # Without this the test could pass under a code page that holds no kanji at all.
                self.assertEqual(self.ansi_code_page(locale), code_page)
                self.check_locale(locale)

    def check_locale(self, locale):
        work = self.top / locale
        (work / "測量").mkdir(parents=True)
        (work / "出力先").mkdir()
        shutil.copy(DATA / "worked_example.tsv", work / "測量" / "座標.tsv")

        # 𠮷 is in neither code page and takes two UTF-16 units.
        run = self.run_cli(locale, work, OPTIONS + [
            "--out", "出力先", "--dxf", "出力先/図面𠮷.dxf", "--sima-out", "出力先/現場.sim",
            "測量/座標.tsv"])
        self.assertEqual(run.status, 0, run.err)
        for name in SCRIPTS:
            self.assertEqual((work / "出力先" / name).read_bytes(), self.expected[name], name)
            self.assertIn("出力先\\" + name, run.out, "the tool names each file it wrote")
        self.assertEqual((work / "出力先" / "図面𠮷.dxf").read_bytes(), self.expected["plan.dxf"])
        self.assertEqual((work / "出力先" / "現場.sim").read_bytes(), self.expected_sima)
        self.assertIn("出力先/図面𠮷.dxf", run.out)

        # The drive folder from the environment, when --out is not given.
        (work / "ドライブＣ").mkdir()
        run = self.run_cli(locale, work, OPTIONS + ["測量/座標.tsv"],
                           {"KARUMENIO_DRIVE_C": "ドライブＣ"})
        self.assertEqual(run.status, 0, run.err)
        self.assertEqual((work / "ドライブＣ" / "TEXT.SCR").read_bytes(),
                         self.expected["TEXT.SCR"])

        # A message names the file as it was typed.
        run = self.run_cli(locale, work, OPTIONS + ["--out", "出力先", "測量/無い座標.tsv"])
        self.assertEqual(run.status, 1)
        self.assertIn("測量/無い座標.tsv", run.err)
        self.assertIn("実行時エラー 75", run.err)


if __name__ == "__main__":
    unittest.main()
