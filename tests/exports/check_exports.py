#!/usr/bin/env python3
"""Checks a built ZKInstall.dll's export table against the catalogue.

The catalogue lists, for every declaration of include/ZKInstall.h, the name
clang gives it under the Microsoft ABI and whether the library implements it.
Every export must be such a name (so correctly decorated), nothing of the
ZKINSTALL_ family may be exported outside the catalogue, every entry must be
exported (Windows refuses to start a host that binds to a missing one), and
every name must demangle.
"""
import subprocess
import sys


def exported_names(objdump, dll):
    out = subprocess.run([objdump, "-p", dll], check=True, capture_output=True,
                         text=True).stdout
    names, inside = [], False
    for line in out.splitlines():
        if line.startswith("[Ordinal/Name Pointer] Table"):
            inside = True
            continue
        if inside:
            if not line.strip():
                break
            names.append(line.split("]", 1)[1].strip())
    return names


def main():
    dll, catalogue, objdump = sys.argv[1:4]
    entries = {}
    with open(catalogue) as f:
        for line in f:
            name, kind, implemented = line.split()
            entries[name] = implemented == "yes"
    exports = exported_names(objdump, dll)
    problems = []
    for name in exports:
        if name not in entries:
            problems.append("export outside the catalogue: " + name)
    for name, implemented in entries.items():
        if implemented and name not in exports:
            problems.append("implemented but not exported: " + name)
    undname = subprocess.run(["llvm-undname"] + exports, capture_output=True, text=True)
    if undname.returncode != 0 or "error" in undname.stdout.lower():
        problems.append("names that do not demangle:\n" + undname.stdout)
    missing = [n for n in entries if n not in exports]
    print("%d exports, %d catalogue entries, %d missing" %
          (len(exports), len(entries), len(missing)))
    for name in missing:
        if not entries[name]:  # an implemented one is already reported above
            problems.append("not exported: " + name)
    for p in problems:
        print("FAIL:", p)
    sys.exit(1 if problems or not exports else 0)


if __name__ == "__main__":
    main()
