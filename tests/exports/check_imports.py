#!/usr/bin/env python3
"""Fails when a shipped module imports anything but Windows system DLLs."""
import os
import re
import subprocess
import sys

SYSTEM = {"kernel32.dll", "user32.dll", "advapi32.dll", "shell32.dll", "ole32.dll",
          "oleaut32.dll", "version.dll", "msvcrt.dll", "gdi32.dll", "comctl32.dll",
          "shlwapi.dll", "comdlg32.dll", "zkinstall.dll"}
SHIPPED = ("ZKInstall.dll", "AutoRun.exe", "AutoRunGUI.dll", "ZKUninstall.exe")


def main():
    objdump, dll, bindir = sys.argv[1:4]
    bad = []
    checked = 0
    for name in SHIPPED:
        path = dll if name == "ZKInstall.dll" else os.path.join(bindir, name)
        if not os.path.exists(path):
            continue
        checked += 1
        out = subprocess.run([objdump, "-p", path], check=True, capture_output=True,
                             text=True).stdout
        for imp in re.findall(r"DLL Name: (\S+)", out):
            print("%s imports %s" % (name, imp))
            if imp.lower() not in SYSTEM:
                bad.append("%s imports %s" % (name, imp))
    for b in bad:
        print("FAIL:", b)
    sys.exit(1 if bad or checked == 0 else 0)


if __name__ == "__main__":
    main()
