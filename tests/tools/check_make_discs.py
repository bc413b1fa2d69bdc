#!/usr/bin/env python3
"""Checks the disc generator against itself and against Info-ZIP unzip.

    check_make_discs.py MAKE_DISCS_PY UNZIP
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
SET = ["--discs", "3", "--languages", "en-us,es,fr-fr", "--members-per-archive", "5",
       "--archives-per-disc", "3"]


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


class GeneratedDiscs(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.temp = tempfile.TemporaryDirectory()
        cls.addClassCleanup(cls.temp.cleanup)
        cls.out = os.path.join(cls.temp.name, "set")
        description = os.path.join(cls.temp.name, "description.json")
        with open(description, "w") as f:
            json.dump({"discs": 3, "languages": ["en-us", "es", "fr-fr"], "seed": 11,
                       "members_per_archive": 5, "autorun": {"DirectXVersion": "9.0c"}}, f)
        # The command line wins over the description.
        cls.manifest = generate(cls.out, "--config", description, "--archives-per-disc", "3")

    def disc(self, n):
        return os.path.join(self.out, "Disk%d" % n)

    def test_archives_test_clean_with_unzip_and_use_every_level(self):
        archives = [os.path.join(self.disc(n), f) for n in (1, 2, 3)
                    for f in os.listdir(self.disc(n)) if f.endswith(".zip")]
        self.assertEqual(3 * (3 + 3), len(archives))  # 3 common and 3 languages a disc
        methods = set()
        for path in archives:
            self.assertRegex(os.path.basename(path), r"^\d((en-us|es|fr-fr)_)?compressed\.zip$")
            result = subprocess.run([UNZIP, "-tq", path], capture_output=True, text=True)
            self.assertEqual(0, result.returncode, result.stdout + result.stderr)
            listing = subprocess.run([UNZIP, "-v", path], capture_output=True, text=True).stdout
            methods.update(re.findall(r"\b(Stored|Defl:[NXFS])\b", listing))
        self.assertLessEqual({"Defl:N", "Defl:X", "Defl:F"}, methods)

    def test_installed_files_come_from_a_disc_or_an_archive_as_recorded(self):
        checked = 0
        for key, install in self.manifest["installs"].items():
            prefix = key.split("/")[1]
            for f in install["files"]:
                disc, _, where = f["origin"].partition(":")
                root = self.disc(int(disc[len("disc"):]))
                if where.endswith(".zip"):
                    target = os.path.join(self.temp.name, "unzipped", disc, where)
                    if not os.path.isdir(target):
                        os.makedirs(target)
                        subprocess.run([UNZIP, "-qq", os.path.join(root, where), "-d", target],
                                       check=True)
                    data = read(target, f["path"])
                elif where == "Support":
                    data = read(root, "Support\\%s\\%s" % (prefix, f["path"].split("\\")[-1]))
                elif where == "ReadMe":
                    data = read(root, "ReadMe\\%s_readme.txt" % prefix)
                else:
                    data = read(root, f["path"])
                self.assertEqual((f["size"], f["crc32"]),
                                 (len(data), "%08x" % (zlib.crc32(data) & 0xFFFFFFFF)), f)
                checked += 1
        self.assertGreater(checked, 100)

    def test_types_grow_and_logs_have_the_log_format(self):
        for prefix in ("en-us", "es", "fr-fr"):
            previous, sizes = set(), []
            for t in (1, 2, 3, 4):
                install = self.manifest["installs"]["%d/%s" % (t, prefix)]
                paths = {f["path"] for f in install["files"]}
                self.assertLessEqual(previous, paths)
                previous = paths
                sizes.append(install["counted"])
                # Every byte counted is a file that was copied (the readme is not counted).
                self.assertEqual(install["counted"], sum(f["size"] for f in install["files"]
                                                         if not f["origin"].endswith(":ReadMe")))
                log = install["log"]
                self.assertEqual(["0,0,cache.dat", "0,0,C_TMP00_.DAT", "1,1,Support\\*.*",
                                  "1,1,Support\\%s\\*.*" % prefix], log[:4])
                for line in log:
                    self.assertRegex(line, r"^\d,\d,[^/]*( /s)?$")
                # Every archive member is in the log of every installation type.
                for disc in install["discs"]:
                    members = self.manifest["archives"]["%d/%s" % (disc, prefix)]["log"]
                    self.assertLessEqual(set(members), set(log), (t, prefix))
            self.assertEqual(sorted(sizes), sizes)
            self.assertLess(sizes[0], sizes[3])

    def test_lists_are_sorted_and_well_formed(self):
        levels = set()
        for name in ["common"] + ["en-us", "es", "fr-fr"]:
            keys = []
            for line in read_lines(os.path.join(self.disc(1), name + "_filelist.txt")):
                m = re.match(r"^(\d+),(\d+),(.*)$", line)
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

    def test_identity_and_configuration_files(self):
        guid = self.manifest["options"]["guid"]
        for n in (1, 2, 3):
            inf = read_lines(os.path.join(self.disc(n), "AutoRun.inf"))
            self.assertEqual(["[Special]", "Disk=%d" % n, "ProductGuiID=" + guid], inf)
        cfg = dict(line.split("=", 1) for line in
                   read_lines(os.path.join(self.disc(1), "AutoRun", "autorun.cfg")))
        expected = {"DirectXVersion": "9.0c", "ProductGuiID": guid, "English US": "1",
                    "Spanish": "1", "French": "1"}
        for t, key in enumerate(("InstallMinimum", "InstallSatisfactory", "InstallFull",
                                 "InstallFullNoStreaming"), start=1):
            expected[key] = str(self.manifest["installs"]["%d/en-us" % t]["counted"])
        self.assertEqual(expected, {k: cfg.get(k) for k in expected})
        self.assertTrue(os.path.isfile(os.path.join(self.disc(1), "ReadMe", "es_readme.txt")))
        self.assertTrue(os.path.isdir(os.path.join(self.disc(1), "Support", "fr-fr")))

    def test_same_description_gives_the_same_discs_and_bad_ones_are_refused(self):
        with tempfile.TemporaryDirectory() as other:
            again = generate(other, "--seed", "11", *SET)
            self.assertEqual(self.manifest["installs"], again["installs"])
            changed = generate(other, "--seed", "12", *SET)
            self.assertNotEqual(self.manifest["installs"], changed["installs"])
            for args in (["--discs", "0"], ["--languages", "xx"], ["--archives-per-disc", "11"]):
                result = subprocess.run([sys.executable, MAKE_DISCS, "--out", other] + args,
                                        capture_output=True)
                self.assertNotEqual(0, result.returncode, args)


if __name__ == "__main__":
    MAKE_DISCS, UNZIP = sys.argv[1], sys.argv[2]
    unittest.main(argv=sys.argv[:1], verbosity=1)
