"""The release zip: its contents and their form, reproducible packing, and the unpacked programs under Wine.

    TARVISK_RELEASE_ZIP=... TARVISK_BUILD=build/cross TARVISK_E2E=.../tarvisk_e2e.exe TARVISK_WINE_RUN=... \
        python3 test_release.py
"""
import os
import pathlib
import subprocess
import sys
import tempfile
import unittest
import zipfile

REPO = pathlib.Path(__file__).resolve().parents[2]
ZIP = pathlib.Path(os.environ["TARVISK_RELEASE_ZIP"])
BUILD = pathlib.Path(os.environ["TARVISK_BUILD"])
WINE_RUN = os.environ["TARVISK_WINE_RUN"]
VERSION = (REPO / "VERSION").read_text().strip()
FOLDER = f"tarvisk-{VERSION}/"
SHIPPED = ["tarvisk.exe", "tarvisk-lookup.exe", "86.dll", "98.dll", "fm.dll", "py.dll", "tarvisk.chm", "readme.txt",
           "NOTICE", "licenses/LGPL-3.txt", "licenses/GPL-3.txt"]


def wine(*args, cwd):
    """Runs a program of the unpacked zip through the build tree's Wine; (exit status, stdout)."""
    result = subprocess.run([WINE_RUN, "--build", str(BUILD), "--cwd", str(cwd), *args], capture_output=True,
                            timeout=150)
    sys.stderr.write(result.stderr.decode(errors="replace"))
    return result.returncode, result.stdout.decode("utf-8")


class Contents(unittest.TestCase):
    def test_names_order_times_and_bytes(self):
        with zipfile.ZipFile(ZIP) as archive:
            infos = archive.infolist()
            self.assertEqual([info.filename for info in infos], [FOLDER + name for name in SHIPPED])
            self.assertEqual(len({info.date_time for info in infos}), 1)
            for name, source in [("tarvisk.exe", BUILD / "bin/tarvisk.exe"), ("86.dll", REPO / "data/86.dll"),
                                 ("py.dll", REPO / "data/py.dll"), ("tarvisk.chm", BUILD / "help/tarvisk.chm")]:
                self.assertEqual(archive.read(FOLDER + name), source.read_bytes(), name)
            readme = archive.read(FOLDER + "readme.txt")
        self.assertTrue(readme.startswith(b"\xef\xbb\xbf"))
        self.assertNotIn(b"\n", readme.replace(b"\r\n", b""))
        text = readme.decode("utf-8-sig")
        for needed in [f"Tarvisk 五笔查码工具 {VERSION}", "双击 tarvisk.exe", "Windows 徽标键 + Z", "user.ini"]:
            self.assertIn(needed, text)

    def test_packing_and_the_help_built_again_give_the_same_bytes(self):
        with tempfile.TemporaryDirectory() as scratch:
            again = pathlib.Path(scratch) / ZIP.name
            subprocess.run([sys.executable, str(REPO / "tools/release/pack.py"), "--build", str(BUILD),
                            "--out", str(again)], check=True)
            self.assertEqual(again.read_bytes(), ZIP.read_bytes())
            subprocess.run(["bash", str(REPO / "tools/build-help.sh"), scratch], check=True, capture_output=True)
            with zipfile.ZipFile(ZIP) as archive:
                self.assertEqual((pathlib.Path(scratch) / "tarvisk.chm").read_bytes(),
                                 archive.read(FOLDER + "tarvisk.chm"))


class Unpacked(unittest.TestCase):
    def setUp(self):
        scratch = tempfile.TemporaryDirectory()
        self.addCleanup(scratch.cleanup)
        self.scratch = pathlib.Path(scratch.name)
        with zipfile.ZipFile(ZIP) as archive:
            archive.extractall(self.scratch)
        self.folder = self.scratch / FOLDER

    def test_the_window_starts_from_its_folder_and_looks_up(self):
        status, output = wine(os.environ["TARVISK_E2E"], "--gtest_filter=Release.*", "--release=" + str(self.folder),
                              cwd=self.scratch)
        self.assertEqual(status, 0, output)
        self.assertIn("[  PASSED  ] 1 test", output)

    def test_the_command_line_lookup_finds_the_dictionaries_beside_it(self):
        passage = "通向五笔高手之路：每天练习十分钟。"
        status, output = wine(str(self.folder / "tarvisk-lookup.exe"), "-f", "tsv", passage, cwd=self.scratch)
        self.assertEqual(status, 0, output)
        table = {}
        for token in (self.folder / "86.dll").read_bytes().split():
            table.setdefault(token[:2], token[2:].decode("gbk"))
        rows = [line.split("\t") for line in output.splitlines()[1:]]
        self.assertEqual([row[0] for row in rows], list(passage))
        for row in rows:
            if row[1] != "not-chinese":
                self.assertEqual((row[1], row[2]), ("found", table[row[0].encode("gbk")]))
        self.assertEqual(sum(row[1] == "not-chinese" for row in rows), 2)


if __name__ == "__main__":
    unittest.main(verbosity=2)
