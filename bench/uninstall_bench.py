#!/usr/bin/env python3
"""Uninstallation benchmark: ZKUninstall.exe against Wine's rd /s /q of the same
tree, and the uninstaller's file removal against the length of the install log.

    uninstall_bench.py BUILD_DIR [--runs N] [--keep-discs] [--lines N,N,...]

1. Before every run the installation benchmark's disc set is installed with
   AutoRun.exe /S into C:\\BenchInstall and the installed tree is copied twice
   beside it (natively, untimed).  Then, in an order that turns from run to
   run, on the same prefix and disk, each after a sync:
   (a) the uninstallation: the command of the game's Uninstall entry, started
       as Windows starts it (the stored path unquoted, through zkfixture.exe
       --start) with /S and /LOG=, timed until the copy that the uninstaller
       relaunches from the temporary folder has ended;
   (b) the reference: Wine's cmd.exe /c rd /s /q of one copy;
   (c) the removal step alone: remove_files.exe times CZKUninstall::removeFiles
       on the other copy, registered as an installation of its own.
2. For each log length (default 25,000, 50,000 and 100,000 lines), a folder with
   as many files (empty, 100 to a folder) and an install log naming each one,
   removed by remove_files.exe: seconds and time per line; the removal counts as
   linear when each length's time per line is within 25 % of their mean.
"""
import argparse
import os
import re
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import install_bench as ib  # noqa: E402
from install_bench import ar  # noqa: E402

INSTALL_DIR = ib.INSTALL_DIR
RD_DIR = "C:\\BenchRd"
STEP_DIR = "C:\\BenchStep"
LINES_DIR = "C:\\BenchLines"
UNINSTALL_ROOT = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
FILES_PER_FOLDER = 100


def running(prefix, program):
    """Whether a process of this prefix runs `program` (a file name)."""
    wanted = ("WINEPREFIX=" + prefix.root).encode()
    for pid in os.listdir("/proc"):
        if not pid.isdigit():
            continue
        try:
            with open("/proc/%s/cmdline" % pid, "rb") as f:
                cmdline = f.read().lower()
            if program.lower().encode() not in cmdline:
                continue
            with open("/proc/%s/environ" % pid, "rb") as f:
                if wanted in f.read().split(b"\0"):
                    return True
        except OSError:
            continue
    return False


def log_stamp(line):
    """Seconds of the day of a ZKUninstall log line's time stamp."""
    hours, minutes, seconds = line[11:23].split(":")
    return int(hours) * 3600 + int(minutes) * 60 + float(seconds)


def uninstall_command(prefix, guid):
    code, out, _ = prefix.run("reg", ["query", UNINSTALL_ROOT + guid, "/v", "UninstallString"])
    found = re.search(r"UninstallString\s+REG_SZ\s+(.*)", out)
    if code != 0 or not found:
        raise SystemExit("no Uninstall entry for %s: %s" % (guid, out))
    return found.group(1).strip()


def temp_folder(prefix):
    users = os.path.join(prefix.root, "drive_c", "users")
    for name in os.listdir(users):
        folder = os.path.join(users, name, "Temp")
        if name != "Public" and os.path.isdir(folder):
            return folder
    raise SystemExit("no temporary folder in " + users)


def run_uninstall(prefix, work, guid, index):
    """(seconds from the command's start to the end of the relaunched copy,
    seconds of the copy's removal run from its log)."""
    # Each run is a first uninstallation: a copy left in the temporary folder
    # by an earlier one would cost the preparation a second of waiting.
    for name in ("ZKUninstall.exe", "ZKInstall.dll"):
        ar.remove(os.path.join(temp_folder(prefix), name))
    command = uninstall_command(prefix, guid)
    log = os.path.join(work, "uninstall%d.log" % index)
    ar.remove(log)
    fixture = os.path.join(prefix.bin, "zkfixture.exe")
    os.sync()
    start = time.monotonic()
    code, output, _ = prefix.run(fixture, ["--start", command + " /S /LOG=Z:" + log.replace("/", "\\")])
    text = ""
    while True:
        if os.path.isfile(log):
            with open(log, encoding="latin-1") as f:
                text = f.read()
        ended = " has been removed." in text or " still registered" in text
        if ended and not running(prefix, "zkuninstall.exe"):
            break
        if time.monotonic() - start > 600 or (code != 0 and not running(prefix, "zkuninstall.exe")):
            print(output + text)
            raise SystemExit("the uninstallation did not end (exit code %d)" % code)
        time.sleep(0.01)
    seconds = time.monotonic() - start
    lines = text.splitlines()
    begin = [log_stamp(l) for l in lines if re.search(r"\] Removing .*\.\.\.$", l)]
    end = [log_stamp(l) for l in lines if l.endswith(" has been removed.")]
    if not end or os.path.isdir(prefix.unix_path(INSTALL_DIR)):
        print(text)
        raise SystemExit("the uninstallation left %s or its entries" % INSTALL_DIR)
    return seconds, end[-1] - begin[-1]


def run_rd(prefix, folder):
    os.sync()
    code, output, seconds = prefix.run("cmd.exe", ["/c", "rd", "/s", "/q", folder])
    if code != 0 or os.path.isdir(prefix.unix_path(folder)):
        print(output)
        raise SystemExit("rd /s /q %s failed (exit code %d)" % (folder, code))
    return seconds


def remove_files(prefix, folder):
    """(log lines, seconds of removeFiles) for a folder with its install log."""
    os.sync()
    code, output, _ = prefix.run(os.path.join(prefix.bin, "remove_files.exe"), [folder])
    fields = output.split()
    if code != 0 or len(fields) < 3:
        print(output)
        raise SystemExit("remove_files.exe %s failed with exit code %d" % (folder, code))
    lines, seconds, left = int(fields[-3]), float(fields[-2]), int(fields[-1])
    if left or os.path.isdir(prefix.unix_path(folder)):
        raise SystemExit("removeFiles left %d entries in %s" % (left, folder))
    return lines, seconds


def copy_tree(prefix, source, target):
    ar.remove(prefix.unix_path(target))
    subprocess.run(["cp", "-a", prefix.unix_path(source), prefix.unix_path(target)], check=True)


def tree_size(root):
    files = folders = size = 0
    for folder, dirs, names in os.walk(root):
        folders += len(dirs)
        files += len(names)
        size += sum(os.path.getsize(os.path.join(folder, n)) for n in names)
    return files, folders, size


def make_lines_folder(prefix, lines):
    """LINES_DIR with `lines` empty files, 100 to a folder, and their install log."""
    root = prefix.unix_path(LINES_DIR)
    ar.remove(root)
    log = []
    for i in range(lines):
        folder = "Data%04d" % (i // FILES_PER_FOLDER)
        if i % FILES_PER_FOLDER == 0:
            os.makedirs(os.path.join(root, folder))
        name = "file%06d.dat" % i
        open(os.path.join(root, folder, name), "wb").close()
        log.append("1,1,%s\\%s" % (folder, name))
    with open(os.path.join(root, "filelist.txt"), "w", newline="") as f:
        f.write("\r\n".join(log) + "\r\n")


def programs_logged(install_root):
    """Programs the install log names: removeFiles unregisters each (regsvr32
    /UnregServer) and waits a second after it, by design."""
    return sum(1 for line in ar.read_log(install_root) if line.lower().endswith(".exe"))


def bench_tree(prefix, manifest, work, runs):
    guid = manifest["options"]["guid"]
    timings = {"uninstall": [], "run": [], "outside": [], "rd": [], "step": []}
    for i in range(runs + 1):  # the first is a warm-up
        ib.run_install(prefix, work, 100 + i)
        if i == 0:
            files, folders, size = tree_size(prefix.unix_path(INSTALL_DIR))
            with open(os.path.join(prefix.unix_path(INSTALL_DIR), "filelist.txt")) as f:
                logged = sum(1 for _ in f)
            programs = programs_logged(prefix.unix_path(INSTALL_DIR))
            print("installed tree: %d files, %d folders, %.0f MB, install log %d lines "
                  "naming %d programs" % (files, folders, size / 1048576.0, logged, programs),
                  flush=True)
        copy_tree(prefix, INSTALL_DIR, RD_DIR)
        copy_tree(prefix, INSTALL_DIR, STEP_DIR)
        steps = [lambda: ("uninstall", run_uninstall(prefix, work, guid, i)),
                 lambda: ("rd", run_rd(prefix, RD_DIR)),
                 lambda: ("step", remove_files(prefix, STEP_DIR)[1])]
        result = {}
        for k in range(3):
            what, value = steps[(i + k) % 3]()
            result[what] = value
        if i == 0:
            continue
        timings["uninstall"].append(result["uninstall"][0])
        timings["run"].append(result["uninstall"][1])
        timings["outside"].append(timings["uninstall"][-1] - timings["run"][-1])
        timings["rd"].append(result["rd"])
        timings["step"].append(result["step"])
        print("run %d: uninstallation %.2f s (its removal run %.2f s), rd /s /q %.2f s, "
              "removeFiles alone %.2f s" % (i, timings["uninstall"][-1], timings["run"][-1],
                                             timings["rd"][-1], timings["step"][-1]), flush=True)
    medians = {k: statistics.median(v) for k, v in timings.items()}
    medians["programs"] = programs
    return medians


def bench_lines(prefix, sizes, runs):
    seconds = {n: [] for n in sizes}
    for i in range(runs):
        for n in (sizes if i % 2 == 0 else list(reversed(sizes))):
            make_lines_folder(prefix, n)
            lines, s = remove_files(prefix, LINES_DIR)
            if lines != n:
                raise SystemExit("the log has %d lines, not %d" % (lines, n))
            seconds[n].append(s)
        print("run %d: %s" % (i + 1, ", ".join("%d lines %.2f s" % (n, seconds[n][-1])
                                               for n in sizes)), flush=True)
    return {n: statistics.median(v) for n, v in seconds.items()}


def main(argv):
    parser = argparse.ArgumentParser()
    parser.add_argument("build")
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--keep-discs", action="store_true",
                        help="reuse a disc set generated by an earlier run")
    parser.add_argument("--lines", default="25000,50000,100000",
                        help="install-log lengths of the linearity runs")
    args = parser.parse_args(argv[1:])
    sizes = [int(n) for n in args.lines.split(",")]

    prefix = ar.WinePrefix(args.build, "bench")
    work = os.path.join(prefix.build, "bench")
    os.makedirs(work, exist_ok=True)
    manifest = ib.generate(work, args.keep_discs)
    prefix.boot()
    prefix.keep_server(True)
    prefix.insert("d", os.path.join(manifest["root"], "Disk1"))
    prefix.insert("e", os.path.join(manifest["root"], "Disk2"))
    try:
        tree = bench_tree(prefix, manifest, work, args.runs)
        lines = bench_lines(prefix, sizes, args.runs)
        pause = statistics.median([ib.fixed_cost(prefix, "pause") for _ in range(3)])
    finally:
        for folder in (INSTALL_DIR, RD_DIR, STEP_DIR, LINES_DIR):
            ar.remove(prefix.unix_path(folder))
        prefix.eject_all()
        prefix.keep_server(False)

    print()
    print("median uninstallation   %.2f s  (Uninstall entry's command to the end of its "
          "relaunched copy)" % tree["uninstall"])
    print("  of it, removal run    %.2f s  (the copy's log, from \"Removing\" to its end)" %
          tree["run"])
    print("  outside it            %.2f s  (the command's start, the first run, the relaunch)" %
          tree["outside"])
    print("median removeFiles      %.2f s  (the removal step alone)" % tree["step"])
    print("median rd /s /q         %.2f s" % tree["rd"])
    pauses = tree["programs"] * pause
    print("design's pauses         %.2f s  (a %.2f s wait after unregistering each of the %d "
          "programs)" % (pauses, pause, tree["programs"]))
    print("ratio                   %.3f  uninstallation / rd" % (tree["uninstall"] / tree["rd"]))
    print("ratio                   %.3f  removeFiles / rd" % (tree["step"] / tree["rd"]))
    print("ratio                   %.3f  removeFiles without the design's pauses / rd" %
          ((tree["step"] - pauses) / tree["rd"]))
    print()
    per_line = {n: lines[n] / n * 1e6 for n in sizes}
    mean = statistics.mean(per_line.values())
    for n in sizes:
        print("log of %6d lines      %.2f s, %.1f us a line (%+.0f %% of the mean)" %
              (n, lines[n], per_line[n], 100.0 * (per_line[n] - mean) / mean))
    linear = all(abs(v - mean) <= 0.25 * mean for v in per_line.values())
    print("time per line %s within 25 %% of the mean: %s" %
          ("stays" if linear else "does NOT stay", "linear" if linear else "not linear"))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
