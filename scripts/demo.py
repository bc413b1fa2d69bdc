#!/usr/bin/env python3
"""The demo's installation and report (run by scripts/demo after the build).

    demo.py BUILD_DIR

Generates a two-disc sample game (disc 1 carries AutoRun.exe, the library and
the uninstaller), puts the discs into drives D: and E: of a fresh Wine prefix
of its own, runs D:\AutoRun.exe unattended into the game's default folder, and
reports what was installed against what the disc set prescribes.  The verdict
comes from reading the installed files back.
"""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tools"))

import autorun_run as ar  # noqa: E402

# A few hundred files, some megabytes, archives on both discs, two languages.
SAMPLE = {
    "name": "Zone Keeper Demo",
    "executable": "ZoneKeeper.exe",
    "discs": 2,
    "languages": "en-us,de",
    "seed": 2024,
    "files_per_disc": 40,
    "wildcard_files": 15,
    "tree_files": 20,
    "language_files": 8,
    "archives_per_disc": 3,
    "language_archives_per_disc": 1,
    "members_per_archive": 15,
    "support_files": 4,
    "min_size": 1000,
    "max_size": 60000,
}

EXIT_NAMES = {0: "installed", 1: "cancelled", 2: "bad command line", 3: "disc missing",
              4: "bad destination", 5: "insufficient space", 6: "copy failed", 7: "failed"}


def megabytes(n):
    return "%.1f MB" % (n / 1048576.0)


def disc_set_summary(root, manifest):
    files = archives = size = 0
    for disc in manifest["discs"]:
        for folder, _, names in os.walk(os.path.join(root, disc)):
            for name in names:
                files += 1
                archives += name.lower().endswith(".zip")
                size += os.path.getsize(os.path.join(folder, name))
    return files, archives, size


def main(argv):
    build = argv[1]
    prefix = ar.WinePrefix(build, "demo")
    work = os.path.join(prefix.build, "demo")
    ar.remove(work)
    os.makedirs(work)

    print("== Generating a two-disc sample game")
    discs_root = os.path.join(work, "discs")
    manifest = ar.make_discs(discs_root, config=dict(SAMPLE, programs=prefix.bin))
    files, archives, size = disc_set_summary(discs_root, manifest)

    print("== Booting a fresh Wine prefix with two CD-ROM drives (D:, E:)")
    prefix.reset()
    prefix.boot()
    prefix.insert("d", os.path.join(discs_root, "Disk1"))
    prefix.insert("e", os.path.join(discs_root, "Disk2"))

    print("== Installing: D:\\AutoRun.exe /S (default folder, automatic language, full type)")
    log_path = os.path.join(work, "AutoRun.log")
    code, output, seconds = prefix.run("D:\\AutoRun.exe",
                                       ["/S", "/LOG=Z:" + log_path.replace("/", "\\")])
    print(output.rstrip())
    host_log = open(log_path, encoding="latin-1").read() if os.path.isfile(log_path) else ""
    prefix.eject_all()

    folder = ar.log_value(host_log, "install folder")
    language = (ar.log_value(host_log, "language") or "").rpartition("(")[2].rstrip(")")
    key = "3/%s" % language
    report = None
    if code == 0 and folder and key in manifest["installs"]:
        report = ar.compare_tree(prefix.unix_path(folder), manifest["installs"][key])

    print()
    print("ZKInstall demo")
    print("  disc set       %d discs, %d files (%s), %d of them zip archives; languages %s" %
          (len(manifest["discs"]), files, megabytes(size), archives, SAMPLE["languages"]))
    print("  AutoRun.exe    exit code %d (%s) after %.1f s" %
          (code, EXIT_NAMES.get(code, "?"), seconds))
    print("  install folder %s" % (folder or "-"))
    print("  language       %s, installation type 3 (full)" %
          (ar.log_value(host_log, "language") or "-"))
    if report:
        print("  files          %d of %d installed with identical contents; %s of %s" %
              (report["files_ok"], report["files_expected"], megabytes(report["bytes_ok"]),
               megabytes(report["bytes_expected"])))
        print("  install log    filelist.txt: %d lines, %s" %
              (report["log_found"], "as the disc set prescribes" if report["log_matches"]
               else "expected %d other lines" % report["log_expected"]))
        if report["placed"]:
            print("  uninstaller    %s placed by the registration" % ", ".join(report["placed"]))
        for line in ar.describe(report)[1:]:
            print("  problem        " + line)
    print("  AutoRun's log  %s" % log_path)
    for line in host_log.splitlines()[-6:]:
        print("                 " + line)
    verdict = bool(report and report["ok"])
    print("  verdict        %s" % ("PASS: the installed game is exactly what the discs hold"
                                   if verdict else "FAIL"))
    return 0 if verdict else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
