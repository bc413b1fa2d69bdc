#!/usr/bin/env python3
"""Writes a set of game discs for ZKInstall, and what installing them must give.

    make_discs.py --out DIR [--config DESCRIPTION.json] [options]

Every option may also be given in the JSON description (same name, with "_"
for "-"); options on the command line win.  The description's "autorun"
object adds or replaces autorun.cfg keys.  The discs are written as DIR/Disk1
... DIR/DiskN, so DIR can also serve as a "Disk Images" folder.

With --programs FOLDER, disc 1 also carries the installer's programs found there
(AutoRun.exe, AutoRunGUI.dll, ZKInstall.dll, ZKUninstall.exe) at its root, as a
game's disc does: the registration places the uninstaller and the library from
beside AutoRun.exe into the install folder.

Each disc holds AutoRun.inf ([Special] Disk, ProductGuiID), AutoRun/autorun.cfg,
plain files and folders named by the file lists, and numbered zip archives made
with Info-ZIP zip: "<n>compressed.zip" (common) and "<n><prefix>_compressed.zip"
(per language), compression levels spread over them.  Disc 1 also holds
common_filelist.txt, one "<prefix>_filelist.txt" per language, Support/<prefix>/
and ReadMe/<prefix>_readme.txt.  List entries are "disc,level,path" lines with
the installation levels 1-4 spread over them: single files, a folder, a
wildcard set and a recursive tree per disc, and an empty-path line that brings
in each later disc.

What an installation must produce is written to DIR/manifest.json and, for
programs that read plain text, to DIR/expected/:

  install_<type>_<prefix>.txt   installation of type 1-4 in a language
  archives_<disc>_<prefix>.txt  extracting one disc's archives for a language

one tab-separated record a line:

  counted <bytes>                  bytes the progress totals must reach
  disc <n>                         a disc whose archives are extracted
  file <path> <size> <crc32> <origin>   a file under the install folder
  folder <path>                    a folder that must exist
  log <line>                       the install log's lines, in order

Paths are relative to the install folder, with backslashes.  The install log
itself (filelist.txt) is not listed as a file.
"""
import argparse
import fnmatch
import json
import os
import random
import shutil
import subprocess
import sys
import zlib

# name, prefix, readme file name of every language the installer knows.
LANGUAGES = [
    ("English US", "en-us", "readme.txt"), ("French", "fr-fr", "lisezmoi.txt"),
    ("German", "de", "readme.txt"), ("Italian", "it", "readme.txt"),
    ("Spanish", "es", "leeme.txt"), ("Swedish", "sv", "readme.txt"),
    ("Finnish", "fi", "readme.txt"), ("Dutch", "nl", "readme.txt"),
    ("Danish", "da", "readme.txt"), ("PortBrzl", "pt-br", "readme.txt"),
    ("Czech", "cs", "readme.txt"), ("Hebrew", "he", "readme.txt"),
    ("Greek", "el", "readme.txt"), ("Japanese", "ja", "readme.txt"),
    ("Korean", "ko", "readme.txt"), ("Russian", "ru", "readme.txt"),
    ("Chinese (Simplified)", "zh-cn", "readme.txt"),
    ("Chinese (Traditional)", "zh-tw", "readme.txt"), ("English UK", "en-uk", "readme.txt"),
    ("Polish", "pl", "readme.txt"), ("Thai", "th", "readme.txt"),
    ("Norwegian", "no", "readme.txt"), ("Portuguese", "pt-pt", "readme.txt"),
    ("Hungarian", "hu", "readme.txt"), ("Spanish (Mexican)", "es-mex", "leeme.txt"),
]
BY_PREFIX = {prefix: (name, readme) for name, prefix, readme in LANGUAGES}

DEFAULTS = {
    "name": "Zone Keeper",
    "company": "Vantorel",
    "guid": "5A1C0E77-3B2D-4F60-9E1A-7C4D2B8F0A11",
    "version": "1.0",
    "executable": "ZoneKeeper.exe",
    "executable_from": "",
    "discs": 2,
    "languages": "en-us,fr-fr",
    "seed": 1,
    "files_per_disc": 6,
    "language_files": 2,
    "wildcard_files": 3,
    "tree_files": 3,
    "archives_per_disc": 2,
    "language_archives_per_disc": 1,
    "members_per_archive": 4,
    "support_files": 2,
    "min_size": 100,
    "max_size": 20000,
    "disc_markers": True,
    "programs": "",
    "autorun": {},
}

# The installer's programs a disc carries beside AutoRun.exe (--programs).
PROGRAMS = ("AutoRun.exe", "AutoRunGUI.dll", "ZKInstall.dll", "ZKUninstall.exe")

TYPES = (1, 2, 3, 4)
ZIP_LEVELS = (0, 1, 6, 9)
FIXED_LOG = ["0,0,cache.dat", "0,0,C_TMP00_.DAT", "1,1,Support\\*.*"]


class DiscSet:
    def __init__(self, opts):
        self.o = opts
        self.rng = random.Random(opts["seed"])
        self.prefixes = [p for p in opts["languages"].split(",") if p]
        for p in self.prefixes:
            if p not in BY_PREFIX:
                raise SystemExit("unknown language prefix: %s" % p)
        self.discs = opts["discs"]
        # Files on the discs: (disc, path with backslashes) -> bytes
        self.content = {}
        # Archives: (disc, file name) -> [(member name, bytes or None for a folder)]
        self.archives = {}
        self.common = []     # lines of common_filelist.txt
        self.language = {}   # prefix -> lines of its list
        self.support = {}    # prefix -> {name: bytes}
        self.readme = {}     # prefix -> bytes

    # --- content -------------------------------------------------------------
    def data(self, tag):
        size = self.rng.randint(self.o["min_size"], self.o["max_size"])
        words = [tag.encode(), b"zone", b"keeper", b"level", b"disc", b"\r\n"]
        # Half words, half noise: the archives have something to compress.
        text = b" ".join(self.rng.choices(words, k=size // 8 + 1))[:size // 2]
        return text + self.rng.randbytes(size - len(text))

    def put(self, disc, path, data):
        self.content[(disc, path)] = data

    # --- layout --------------------------------------------------------------
    def build(self):
        o = self.o
        level = 0

        def next_level():
            nonlocal level
            level += 1
            return (level - 1) % 4 + 1

        exe = self.executable_bytes()
        self.put(1, o["executable"], exe)
        self.common.append((1, 1, o["executable"], False))
        for disc in range(1, self.discs + 1):
            if disc > 1 and o["disc_markers"]:
                self.common.append((disc, 1, "", False))
            for i in range(o["files_per_disc"]):
                folder = "Data%d" % disc if i % 2 == 0 else "Data%d\\Sub%d" % (disc, i % 3)
                path = "%s\\file%d.dat" % (folder, i)
                self.put(disc, path, self.data(path))
                self.common.append((disc, next_level(), path, False))
            self.common.append((disc, next_level(), "Saves%d\\" % disc, False))
            if o["wildcard_files"]:
                for i in range(o["wildcard_files"]):
                    path = "Movies%d\\clip%d.bik" % (disc, i)
                    self.put(disc, path, self.data(path))
                # Beside the set but not matched by it: never installed.
                self.put(disc, "Movies%d\\notes.txt" % disc, self.data("notes"))
                self.common.append((disc, next_level(), "Movies%d\\*.bik" % disc, False))
            if o["tree_files"]:
                for i in range(o["tree_files"]):
                    sub = ["", "Sub\\", "Sub\\Deeper\\"][i % 3]
                    path = "Maps%d\\%sarea%d.map" % (disc, sub, i)
                    self.put(disc, path, self.data(path))
                # The blank before the mark stays part of the path.
                self.common.append((disc, next_level(), "Maps%d\\*.* " % disc, True))
            for prefix in self.prefixes:
                lines = self.language.setdefault(prefix, [])
                for i in range(o["language_files"]):
                    path = "Localized\\%s\\text%d_%d.txt" % (prefix, disc, i)
                    self.put(disc, path, self.data(path))
                    lines.append((disc, (i % 4) + 1, path, False))
            for n in range(o["archives_per_disc"]):
                self.make_archive(disc, "%dcompressed.zip" % n, "Archive%d_%d" % (disc, n))
            for prefix in self.prefixes:
                for n in range(o["language_archives_per_disc"]):
                    self.make_archive(disc, "%d%s_compressed.zip" % (n, prefix),
                                      "Voices\\%s\\Pack%d_%d" % (prefix, disc, n))
        for prefix in self.prefixes:
            self.support[prefix] = {
                "%s_eula.txt" % prefix: self.data("eula " + prefix),
                "%s_tools_eula.txt" % prefix: self.data("tools " + prefix),
            }
            for i in range(max(0, o["support_files"] - 2)):
                self.support[prefix]["help%d.htm" % i] = self.data("help")
            self.readme[prefix] = self.data("readme " + prefix)
        # The lists are in ascending order of disc, then level.
        self.common.sort(key=lambda e: (e[0], e[1]))
        for lines in self.language.values():
            lines.sort(key=lambda e: (e[0], e[1]))

    def executable_bytes(self):
        source = self.o["executable_from"]
        if source:
            with open(source, "rb") as f:
                return f.read()
        return self.data("executable")

    def make_archive(self, disc, name, folder):
        # Folders as entries of their own, every level, as "zip -r" stores them.
        base = folder.replace("\\", "/")
        parts = base.split("/")
        members = [("/".join(parts[:i + 1]) + "/", None) for i in range(len(parts))]
        for i in range(self.o["members_per_archive"]):
            sub = "" if i % 2 == 0 else "Inner/"
            if sub and (base + "/" + sub, None) not in members:
                members.append((base + "/" + sub, None))
            member = "%s/%sitem%d.pak" % (base, sub, i)
            members.append((member, self.data(member)))
        self.archives[(disc, name)] = members

    # --- writing ---------------------------------------------------------------
    def write(self, out):
        o = self.o
        shutil.rmtree(out, ignore_errors=True)
        os.makedirs(out)
        sizes = {t: self.simulate(t, self.prefixes[0])["counted"] for t in TYPES}
        for disc in range(1, self.discs + 1):
            root = os.path.join(out, "Disk%d" % disc)
            os.makedirs(os.path.join(root, "AutoRun"))
            write_text(os.path.join(root, "AutoRun.inf"),
                       ["[Special]", "Disk=%d" % disc, "ProductGuiID=%s" % o["guid"]])
            write_text(os.path.join(root, "AutoRun", "autorun.cfg"), self.autorun(sizes))
        for (disc, path), data in self.content.items():
            write_bytes(disc_path(out, disc, path), data)
        root1 = os.path.join(out, "Disk1")
        write_text(os.path.join(root1, "common_filelist.txt"),
                   [format_entry(e) for e in self.common])
        for prefix, lines in self.language.items():
            write_text(os.path.join(root1, "%s_filelist.txt" % prefix),
                       [format_entry(e) for e in lines])
        for prefix, files in self.support.items():
            for name, data in files.items():
                write_bytes(os.path.join(root1, "Support", prefix, name), data)
            write_bytes(os.path.join(root1, "ReadMe", "%s_readme.txt" % prefix),
                        self.readme[prefix])
        for name in PROGRAMS if o["programs"] else ():
            if os.path.isfile(os.path.join(o["programs"], name)):
                shutil.copy(os.path.join(o["programs"], name), os.path.join(root1, name))
        for index, ((disc, name), members) in enumerate(sorted(self.archives.items())):
            self.write_archive(out, disc, name, members, ZIP_LEVELS[index % len(ZIP_LEVELS)])

    def autorun(self, sizes):
        o = self.o
        keys = [
            ("AppName", o["name"]),
            ("Executable", o["executable"]),
            ("Icon", o["executable"]),
            ("ProductGuiID", o["guid"]),
            ("Registry", "%s\\%s" % (o["company"], o["name"])),
            ("Version", o["version"]),
            ("InstallMinimum", sizes[1]),
            ("InstallSatisfactory", sizes[2]),
            ("InstallFull", sizes[3]),
            ("InstallFullNoStreaming", sizes[4]),
            ("CacheMinimum", 0),
            ("CacheSatisfactory", 0),
            ("CacheFull", 0),
            ("StartupCD", 1),
            ("DirectXVersion", ""),
        ]
        keys += [(BY_PREFIX[p][0], 1) for p in self.prefixes]
        extra = dict(o["autorun"])
        lines = ["%s=%s" % (k, extra.pop(k, v)) for k, v in keys]
        lines += ["%s=%s" % (k, v) for k, v in extra.items()]
        return lines

    def write_archive(self, out, disc, name, members, level):
        stage = os.path.join(out, ".stage")
        shutil.rmtree(stage, ignore_errors=True)
        os.makedirs(stage)
        # Fixed dates, so the same description gives the same archives.
        moment = 1178366400 + 2 * self.rng.randint(0, 5000000)
        paths = []
        for member, data in members:
            path = os.path.join(stage, *member.rstrip("/").split("/"))
            if data is None:
                os.makedirs(path, exist_ok=True)
            else:
                write_bytes(path, data)
            paths.append((path, member.rstrip("/")))
        for path, _ in reversed(paths):
            os.utime(path, (moment, moment))
        target = os.path.join(out, "Disk%d" % disc, name)
        # Without -r zip takes exactly the names given, in that order.
        subprocess.run(["zip", "-q", "-X", "-%d" % level, target] + [m for _, m in paths],
                       cwd=stage, check=True)
        shutil.rmtree(stage)

    # --- what an installation gives ----------------------------------------------
    def archive_members(self, disc, prefix):
        """Members of a disc's archives in extraction order."""
        for n in range(10):
            for name in ("%dcompressed.zip" % n, "%d%s_compressed.zip" % (n, prefix)):
                for member, data in self.archives.get((disc, name), []):
                    yield name, member, data

    def extract(self, result, disc, prefix):
        result["discs"].append(disc)
        for archive, member, data in self.archive_members(disc, prefix):
            path = member.replace("/", "\\")
            result["log"].append("1,1,%s" % path)
            if data is None:
                result["folders"].add(path.rstrip("\\"))
            else:
                add_file(result, path, data, "disc%d:%s" % (disc, archive))
                result["counted"] += len(data)

    def merged_list(self, prefix):
        work = [format_entry(e) for e in self.common]
        cursor = 0
        for line in (format_entry(e) for e in self.language.get(prefix, [])):
            if not work:
                work.append(line)
                continue
            key = entry_key(line)
            if key is None:
                continue
            while cursor < len(work):
                other = entry_key(work[cursor])
                if other is not None and (other[0] > key[0] or
                                          (other[0] == key[0] and other[1] > key[1])):
                    work.insert(cursor, line)
                    break
                cursor += 1
            else:
                work.append(line)
        return work

    def simulate(self, install_type, prefix):
        result = {"counted": 0, "discs": [], "files": {}, "folders": set(),
                  "log": FIXED_LOG + ["1,1,Support\\%s\\*.*" % prefix]}
        readme_name = BY_PREFIX[prefix][1]
        for name, data in self.support.get(prefix, {}).items():
            add_file(result, "Support\\%s\\%s" % (prefix, name), data, "disc1:Support")
            result["counted"] += len(data)
        current = 1
        self.extract(result, 1, prefix)
        done = {1}

        def copy_readme():
            if prefix in self.readme:
                add_file(result, "Support\\" + readme_name, self.readme[prefix], "disc1:ReadMe")
                result["log"].append("1,1,Support\\" + readme_name)

        for line in self.merged_list(prefix):
            mark = line.find("/s")
            if mark < 0:
                mark = line.find("/S")
            recursive = mark >= 0
            if recursive:
                line = line[:mark]
            parts = line.split(",", 2)
            if len(parts) < 3:
                continue
            disc, level, path = leading_int(parts[0]), leading_int(parts[1]), parts[2]
            if level == 0 or (path == "" and disc == 1):
                continue
            if path:
                result["log"].append("%d,%d,%s%s" % (disc, level, path,
                                                       " /s" if recursive else ""))
            if disc != current and current == 1:
                copy_readme()
            if level > install_type:
                continue
            if disc != current:
                current = disc
                if disc not in done:
                    self.extract(result, disc, prefix)
                    done.add(disc)
            if not path:
                continue
            if path.endswith("\\"):
                result["folders"].add(path.rstrip("\\"))
            elif "*" in path or "?" in path or recursive:
                self.xcopy(result, disc, path, recursive)
            else:
                add_file(result, path, self.content[(disc, path)], "disc%d" % disc)
                result["counted"] += len(self.content[(disc, path)])
        if current == 1:
            copy_readme()
        return result

    def xcopy(self, result, disc, entry, recursive):
        folder, _, pattern = entry.rpartition("\\")
        pattern = pattern.rstrip(" ")
        for (d, path), data in sorted(self.content.items()):
            if d != disc:
                continue
            parent, _, name = path.rpartition("\\")
            inside = parent == folder or (recursive and parent.startswith(folder + "\\"))
            if inside and windows_match(name, pattern):
                add_file(result, path, data, "disc%d" % disc)
                result["counted"] += len(data)
                if parent != folder:
                    below = parent
                    while below != folder:
                        result["folders"].add(below)
                        below = below.rpartition("\\")[0]


def windows_match(name, pattern):
    if pattern == "*.*":
        return True
    return fnmatch.fnmatch(name.lower(), pattern.lower())


def leading_int(text):
    text = text.lstrip()
    digits = ""
    for i, c in enumerate(text):
        if c.isdigit() or (i == 0 and c in "+-"):
            digits += c
        else:
            break
    try:
        return int(digits)
    except ValueError:
        return 0


def entry_key(line):
    if "," not in line:
        return None
    first, rest = line.split(",", 1)
    return leading_int(first), leading_int(rest)


def format_entry(entry):
    disc, level, path, recursive = entry
    return "%d,%d,%s%s" % (disc, level, path, "/s" if recursive else "")


def add_file(result, path, data, origin):
    result["files"][path] = (len(data), zlib.crc32(data) & 0xFFFFFFFF, origin)
    parent = path.rpartition("\\")[0]
    while parent:
        result["folders"].add(parent)
        parent = parent.rpartition("\\")[0]


def disc_path(out, disc, path):
    return os.path.join(out, "Disk%d" % disc, *path.rstrip(" ").split("\\"))


def write_bytes(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def write_text(path, lines):
    write_bytes(path, "".join(line + "\r\n" for line in lines).encode("latin-1"))


def expectation_lines(result):
    lines = ["counted\t%d" % result["counted"]]
    lines += ["disc\t%d" % d for d in result["discs"]]
    for path, (size, crc, origin) in sorted(result["files"].items()):
        lines.append("file\t%s\t%d\t%08x\t%s" % (path, size, crc, origin))
    lines += ["folder\t%s" % f for f in sorted(result["folders"])]
    lines += ["log\t%s" % line for line in result["log"]]
    return lines


def as_json(result):
    return {
        "counted": result["counted"],
        "discs": result["discs"],
        "files": [{"path": p, "size": s, "crc32": "%08x" % c, "origin": o}
                  for p, (s, c, o) in sorted(result["files"].items())],
        "folders": sorted(result["folders"]),
        "log": result["log"],
    }


def parse_options(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--out", required=True)
    parser.add_argument("--config")
    for key, value in DEFAULTS.items():
        if key == "autorun":
            continue
        flag = "--" + key.replace("_", "-")
        if isinstance(value, bool):
            parser.add_argument(flag, type=lambda s: s.lower() in ("1", "true", "yes"))
        else:
            parser.add_argument(flag, type=type(value))
    args = parser.parse_args(argv)
    opts = dict(DEFAULTS)
    if args.config:
        with open(args.config) as f:
            description = json.load(f)
        unknown = set(description) - set(DEFAULTS)
        if unknown:
            raise SystemExit("unknown keys in %s: %s" % (args.config, ", ".join(sorted(unknown))))
        opts.update(description)
    for key in DEFAULTS:
        value = getattr(args, key, None)
        if value is not None:
            opts[key] = value
    if isinstance(opts["languages"], list):
        opts["languages"] = ",".join(opts["languages"])
    if opts["discs"] < 1 or opts["discs"] > 9:
        raise SystemExit("discs must be 1 to 9")
    if opts["archives_per_disc"] > 10 or opts["language_archives_per_disc"] > 10:
        raise SystemExit("at most 10 archives of a kind per disc")
    if opts["min_size"] < 0 or opts["max_size"] < opts["min_size"]:
        raise SystemExit("sizes must satisfy 0 <= min-size <= max-size")
    return args.out, opts


def main(argv):
    out, opts = parse_options(argv)
    discs = DiscSet(opts)
    discs.build()
    discs.write(out)
    expected = os.path.join(out, "expected")
    os.makedirs(expected)
    manifest = {"options": opts, "discs": ["Disk%d" % d for d in range(1, discs.discs + 1)],
                "installs": {}, "archives": {}}
    for prefix in discs.prefixes:
        for install_type in TYPES:
            result = discs.simulate(install_type, prefix)
            manifest["installs"]["%d/%s" % (install_type, prefix)] = as_json(result)
            write_text(os.path.join(expected, "install_%d_%s.txt" % (install_type, prefix)),
                       expectation_lines(result))
        for disc in range(1, discs.discs + 1):
            result = {"counted": 0, "discs": [], "files": {}, "folders": set(), "log": []}
            discs.extract(result, disc, prefix)
            manifest["archives"]["%d/%s" % (disc, prefix)] = as_json(result)
            write_text(os.path.join(expected, "archives_%d_%s.txt" % (disc, prefix)),
                       expectation_lines(result))
    with open(os.path.join(out, "manifest.json"), "w") as f:
        json.dump(manifest, f, indent=1, sort_keys=True)


if __name__ == "__main__":
    main(sys.argv[1:])
