#!/usr/bin/env python3
"""Reads back the links that api.shortcuts.xp made, independently of Windows.

Each manifest line is tab-separated: the link's Unix path, then for a .lnk the
target, arguments, working folder, icon and description it must hold ("" for
none), for a .url its address.  .lnk files are read with lnkinfo
(liblnk-utils), .url files as text.
"""
import subprocess
import sys

FIELDS = [  # manifest column -> lnkinfo label
    ("target", "Local path"),
    ("arguments", "Command line arguments"),
    ("working folder", "Working directory"),
    ("icon", "Icon location"),
    ("description", "Description"),
]


def lnk_fields(path):
    out = subprocess.run(["lnkinfo", path], capture_output=True, text=True, check=True).stdout
    fields = {}
    for line in out.splitlines():
        label, sep, value = line.strip().partition(":")
        if sep:
            fields.setdefault(label.strip(), value.strip())
    return fields


def check(line):
    path, *expected = line.rstrip("\n").split("\t")
    problems = []
    if path.endswith(".url"):
        with open(path, "rb") as f:
            text = f.read().decode("latin-1")
        want = "[InternetShortcut]\r\nURL=%s\r\n" % expected[0]
        if text != want:
            problems.append("holds %r, wants %r" % (text, want))
        return problems
    fields = lnk_fields(path)
    for (name, label), want in zip(FIELDS, expected):
        got = fields.get(label, "")
        if got.lower() != want.lower():  # Windows paths: any case
            problems.append("%s %r, wants %r" % (name, got, want))
    if fields.get("Icon index", "0") != "0":
        problems.append("icon index %s" % fields.get("Icon index"))
    return problems


def main():
    with open(sys.argv[1], encoding="latin-1") as f:
        lines = [l for l in f if l.strip()]
    if len(lines) < 2:
        print("manifest lists %d links" % len(lines))
        return 1
    failed = 0
    for line in lines:
        path = line.split("\t")[0]
        problems = check(line)
        print("%s %s" % ("FAIL" if problems else "ok  ", path))
        for p in problems:
            print("    " + p)
        failed += bool(problems)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
