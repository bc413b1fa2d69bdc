#!/usr/bin/env python3
"""Checks the disc generator's output against itself and against Info-ZIP unzip.

    check_make_discs.py MAKE_DISCS_PY UNZIP

Writes disc sets into a temporary folder and checks that every archive tests
clean with unzip, that every file an installation is said to produce really is
on a disc or in an archive with that size and CRC, that lists and identity
files are well formed, that bigger installation types include the smaller
ones, and that the same description gives the same discs.
"""
import json
import os
import re
import subprocess
import sys
import tempfile
import unittest
import zlib

MAKE_DISCS = None
UNZIP = None
LINE = re.compile(r"^(\d+),(\d+),(.*)$")


def generate(out, *args):
    subprocess.run([sys.executable, MAKE_DISCS, "--out", out] + list(args), check=True)
    with open(os.path.join(out, "manifest.json")) as f:
        return json.load(f)


def read_lines(path):
    with open(path, "rb") as f:
        data = f.read()
    assert data.endswith(b"\r\n"), path
    return data.decode("latin-1").split("\r\n")[:-1]


def read(root, path):
    with open(os.path.join(root, *path.split("\\")), "rb") as f:
        return f.read()


def crc(data):
    return "%08x" % (zlib.crc32(data) & 0xFFFFFFFF)


class GeneratedDiscs(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.temp = tempfile.TemporaryDirectory()
        cls.out = os.path.join(cls.temp.name, "set")
        description = os.path.join(cls.temp.name, "description.json")
        with open(description, "w") as f:
            json.dump({"discs": 3, "languages": ["en-us", "es", "fr-fr"], "seed": 11,
                       "members_per_archive": 5, "autorun": {"DirectXVersion": "9.0c"}}, f)
        # The command line wins over the description.
        cls.manifest = generate(cls.out, "--config", description, "--archives-per-disc", "3")

    @classmethod
    def tearDownClass(cls):
        cls.temp.cleanup()

    def disc(self, n):
        return os.path.join(self.out, "Disk%d" % n)

    def test_every_archive_tests_clean_with_unzip(self):
        archives = [os.path.join(self.disc(n), f) for n in (1, 2, 3)
                    for f in os.listdir(self.disc(n)) if f.endswith(".zip")]
        self.assertEqual(3 * (3 + 3), len(archives))  # 3 common and 3 languages a disc
        for path in archives:
            name = os.path.basename(path)
            self.assertRegex(name, r"^\d(compressed|(en-us|es|fr-fr)_compressed)\.zip$")
            result = subprocess.run([UNZIP, "-tq", path], capture_output=True, text=True)
            self.assertEqual(0, result.returncode, result.stdout + result.stderr)

    def test_zip_levels_are_spread_over_the_archives(self):
        methods = set()
        for n in (1, 2, 3):
            for f in os.listdir(self.disc(n)):
                if f.endswith(".zip"):
                    listing = subprocess.run([UNZIP, "-v", os.path.join(self.disc(n), f)],
                                             capture_output=True, text=True, check=True).stdout
                    methods.update(re.findall(r"\b(Stored|Defl:[NXFS])\b", listing))
        self.assertIn("Defl:N", methods)
        self.assertIn("Defl:X", methods)
        self.assertIn("Defl:F", methods)

    def unpacked(self, root, archive):
        """The archive unpacked once by unzip."""
        target = os.path.join(self.temp.name, "unzipped", os.path.basename(root), archive)
        if not os.path.isdir(target):
            os.makedirs(target)
            subprocess.run([UNZIP, "-qq", os.path.join(root, archive), "-d", target], check=True)
        return target

    def test_installed_files_come_from_a_disc_or_an_archive_as_recorded(self):
        checked = 0
        for key, install in self.manifest["installs"].items():
            prefix = key.split("/")[1]
            for f in install["files"]:
                disc, _, where = f["origin"].partition(":")
                root = self.disc(int(disc[len("disc"):]))
                if where.endswith(".zip"):
                    data = read(self.unpacked(root, where), f["path"])
                elif where == "Support":
                    data = read(root, "Support\\%s\\%s" % (prefix, f["path"].split("\\")[-1]))
                elif where == "ReadMe":
                    data = read(root, "ReadMe\\%s_readme.txt" % prefix)
                else:
                    data = read(root, f["path"])
                self.assertEqual(f["size"], len(data), f)
                self.assertEqual(f["crc32"], crc(data), f)
                checked += 1
        self.assertGreater(checked, 100)

    def test_larger_types_include_smaller_ones(self):
        for prefix in ("en-us", "es", "fr-fr"):
            previous = set()
            sizes = []
            for t in (1, 2, 3, 4):
                install = self.manifest["installs"]["%d/%s" % (t, prefix)]
                paths = {f["path"] for f in install["files"]}
                self.assertLessEqual(previous, paths)
                previous = paths
                sizes.append(install["counted"])
                # Every byte counted is a file that was copied (the readme is not counted).
                self.assertEqual(install["counted"],
                                 sum(f["size"] for f in install["files"]
                                     if not f["origin"].endswith(":ReadMe")))
            self.assertEqual(sorted(sizes), sizes)
            self.assertLess(sizes[0], sizes[3])

    def test_lists_are_sorted_and_well_formed(self):
        root = self.disc(1)
        names = ["common_filelist.txt"] + ["%s_filelist.txt" % p for p in ("en-us", "es", "fr-fr")]
        levels = set()
        for name in names:
            keys = []
            for line in read_lines(os.path.join(root, name)):
                m = LINE.match(line)
                self.assertIsNotNone(m, line)
                disc, level, path = int(m.group(1)), int(m.group(2)), m.group(3)
                self.assertTrue(1 <= disc <= 3 and 1 <= level <= 4, line)
                self.assertNotIn("/", path.replace("/s", ""), line)
                keys.append((disc, level))
                levels.add(level)
                if path and not path.endswith("\\") and "*" not in path:
                    self.assertTrue(os.path.isfile(os.path.join(self.disc(disc),
                                                                *path.split("\\"))), line)
            self.assertEqual(sorted(keys), keys, name)
        self.assertEqual({1, 2, 3, 4}, levels)

    def test_install_logs_have_the_log_format(self):
        for key, install in self.manifest["installs"].items():
            log = install["log"]
            self.assertEqual(["0,0,cache.dat", "0,0,C_TMP00_.DAT", "1,1,Support\\*.*",
                              "1,1,Support\\%s\\*.*" % key.split("/")[1]], log[:4])
            for line in log:
                self.assertRegex(line, r"^\d,\d,[^/]*( /s)?$")
            # Every archive member is in the log of every installation type.
            for disc in install["discs"]:
                members = self.manifest["archives"]["%d/%s" % (disc, key.split("/")[1])]["log"]
                self.assertTrue(set(members) <= set(log), key)

    def test_identity_and_configuration_files(self):
        guid = self.manifest["options"]["guid"]
        for n in (1, 2, 3):
            inf = read_lines(os.path.join(self.disc(n), "AutoRun.inf"))
            self.assertEqual(["[Special]", "Disk=%d" % n, "ProductGuiID=" + guid], inf)
        cfg = dict(line.split("=", 1) for line in
                   read_lines(os.path.join(self.disc(1), "AutoRun", "autorun.cfg")))
        self.assertEqual("9.0c", cfg["DirectXVersion"])
        self.assertEqual(guid, cfg["ProductGuiID"])
        for language in ("English US", "Spanish", "French"):
            self.assertEqual("1", cfg[language])
        for t, key in enumerate(("InstallMinimum", "InstallSatisfactory", "InstallFull",
                                 "InstallFullNoStreaming"), start=1):
            self.assertEqual(str(self.manifest["installs"]["%d/en-us" % t]["counted"]), cfg[key])
        self.assertTrue(os.path.isfile(os.path.join(self.disc(1), "ReadMe", "es_readme.txt")))
        self.assertTrue(os.path.isdir(os.path.join(self.disc(1), "Support", "fr-fr")))

    def test_same_description_gives_the_same_discs(self):
        with tempfile.TemporaryDirectory() as other:
            again = generate(other, "--discs", "3", "--languages", "en-us,es,fr-fr",
                             "--seed", "11", "--members-per-archive", "5",
                             "--archives-per-disc", "3")
            self.assertEqual(self.manifest["installs"], again["installs"])
            changed = generate(other, "--discs", "3", "--languages", "en-us,es,fr-fr",
                               "--seed", "12", "--members-per-archive", "5",
                               "--archives-per-disc", "3")
            self.assertNotEqual(self.manifest["installs"], changed["installs"])

    def test_bad_descriptions_are_refused(self):
        with tempfile.TemporaryDirectory() as other:
            for args in (["--discs", "0"], ["--languages", "xx"], ["--archives-per-disc", "11"]):
                result = subprocess.run([sys.executable, MAKE_DISCS, "--out", other] + args,
                                        capture_output=True)
                self.assertNotEqual(0, result.returncode, args)


if __name__ == "__main__":
    MAKE_DISCS, UNZIP = sys.argv[1], sys.argv[2]
    unittest.main(argv=sys.argv[:1], verbosity=1)
