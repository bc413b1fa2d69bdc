#!/usr/bin/env python3
"""Installation benchmark: AutoRun.exe against xcopy + unzip of the same data.

    install_bench.py BUILD_DIR [--runs N] [--keep-discs]

Generates a ~500 MB two-disc set (thousands of small files, one large one,
about half of the bytes in zip archives), mounts it as CD-ROM drives D: and E:
of a Wine prefix of its own, and times, alternately and on the same prefix
and disk:

  (a) the installation: AutoRun.exe /S into C:\\BenchInstall;
  (b) the reference: Wine's own xcopy /E /I of the same plain folders (one
      cmd.exe running a batch of xcopy commands) plus Debian's unzip of the
      same archives into C:\\BenchRef.

Prints the median of each and two ratios: as measured, and with the copy
thread's two fixed costs taken out, each timed on its own by fixed_costs.exe
(its one-second start pause, and the extraction's message pump: one
PeekMessage before every 8 KB chunk); both stay in the product.  Also the CPU
time of AutoRun's own thread while it polled the copy (from its log) and the
copy thread's time.  The first installation is checked file by file against
the disc set, so a fast but wrong install cannot pass.
"""
import argparse
import os
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tools"))

import autorun_run as ar  # noqa: E402

LARGE_FILE_BYTES = 64 * 1048576
DISC_SET = {
    "name": "Zone Keeper Bench",
    "executable": "ZoneKeeper.exe",
    "discs": 2,
    "languages": "en-us",
    "seed": 500,
    "files_per_disc": 800,
    "wildcard_files": 50,
    "tree_files": 80,
    "language_files": 20,
    "archives_per_disc": 10,
    "language_archives_per_disc": 2,
    "members_per_archive": 100,
    "support_files": 4,
    "min_size": 0,
    "max_size": 200000,
    # Every level is installed by "full without streaming".
    "autorun": {"GameII": "1"},
}
INSTALL_DIR = "C:\\BenchInstall"
REFERENCE_DIR = "C:\\BenchRef"


def make_large_file(path, size):
    if os.path.isfile(path) and os.path.getsize(path) == size:
        return
    with open(path, "wb") as f:
        chunk = os.urandom(1 << 20)
        for _ in range(size >> 20):
            f.write(chunk)


def generate(work, keep):
    root = os.path.join(work, "discs")
    manifest_path = os.path.join(root, "manifest.json")
    large = os.path.join(work, "large.bin")
    make_large_file(large, LARGE_FILE_BYTES)
    config = dict(DISC_SET, executable_from=large)
    if keep and os.path.isfile(manifest_path):
        import json
        with open(manifest_path) as f:
            manifest = json.load(f)
        if manifest["options"].get("seed") == config["seed"]:
            manifest["root"] = root
            return manifest
    print("generating the disc set (a few minutes) ...", flush=True)
    manifest = ar.make_discs(root, config=config)
    manifest["root"] = root
    return manifest


def reference_batch(prefix, manifest, work):
    """xcopy commands for the plain folders and files the installation copies."""
    expected = manifest["installs"]["4/en-us"]["files"]
    folders, files = set(), set()
    for entry in expected:
        origin = entry["origin"]
        if ":" in origin and not origin.endswith(":Support") and not origin.endswith(":ReadMe"):
            continue  # an archive member: unzip's part
        disc = int(origin[4])
        path = entry["path"]
        if origin.endswith(":ReadMe"):
            continue  # one small file, renamed on the way; left out
        top = path.split("\\")[0]
        if "\\" in path:
            folders.add((disc, top))
        else:
            files.add((disc, path))
    letters = {1: "D", 2: "E"}
    lines = ["@echo off"]
    for disc, top in sorted(folders):
        lines.append("xcopy %s:\\%s %s\\%s /E /I /Q /Y >NUL" %
                     (letters[disc], top, REFERENCE_DIR, top))
    for disc, name in sorted(files):
        lines.append("copy /Y %s:\\%s %s\\%s >NUL" % (letters[disc], name, REFERENCE_DIR, name))
    batch = os.path.join(work, "reference.bat")
    with open(batch, "w") as f:
        f.write("\r\n".join(lines) + "\r\n")
    return batch


def archives_to_unzip(manifest):
    root = manifest["root"]
    result = []
    for disc in (1, 2):
        for n in range(10):
            for name in ("%dcompressed.zip" % n, "%den-us_compressed.zip" % n):
                path = os.path.join(root, "Disk%d" % disc, name)
                if os.path.isfile(path):
                    result.append(path)
    return result


def log_seconds(line):
    """Seconds of the day of an AutoRun log line's time stamp."""
    hours, minutes, seconds = line[11:23].split(":")
    return int(hours) * 3600 + int(minutes) * 60 + float(seconds)


def run_install(prefix, work, index):
    """(seconds from start to exit, host thread CPU ms, seconds of the copy)."""
    ar.remove(prefix.unix_path(INSTALL_DIR))
    log_path = os.path.join(work, "install%d.log" % index)
    code, output, seconds = prefix.autorun(
        ["/S", "/TYPE=nostreaming", "/DIR=" + INSTALL_DIR,
         "/LOG=Z:" + log_path.replace("/", "\\")])
    if code != 0:
        print(output)
        raise SystemExit("AutoRun.exe failed with exit code %d" % code)
    with open(log_path, encoding="latin-1") as f:
        text = f.read()
    cpu = ar.log_value(text, "host thread cpu")
    lines = text.splitlines()
    start = [log_seconds(l) for l in lines if l.endswith("Copying the game files...")]
    end = [log_seconds(l) for l in lines if " copy ended after " in l]
    copy = end[-1] - start[-1] if start and end else None
    return seconds, int(cpu.split()[0]) if cpu else None, copy


def run_reference(prefix, batch, archives):
    target = prefix.unix_path(REFERENCE_DIR)
    ar.remove(target)
    os.makedirs(target)
    start = time.monotonic()
    code, output, _ = prefix.run("cmd.exe", ["/c", "Z:" + batch.replace("/", "\\")])
    if code != 0:
        print(output)
        raise SystemExit("the reference xcopy failed with exit code %d" % code)
    for archive in archives:
        subprocess.run(["unzip", "-o", "-q", archive, "-d", target], check=True)
    return time.monotonic() - start


def pump_turns(expected):
    """Message-pump turns of the extraction: one before every 8 KB read of a
    member, the last read being the one that finds its end."""
    return sum((f["size"] + 8191) // 8192 + 1 for f in expected["files"] if ".zip" in f["origin"])


def fixed_cost(prefix, *args):
    """Seconds that fixed_costs.exe measures: "pump", N (that many pump turns
    on a window-less thread) or "pause" (a thread's one-second start)."""
    code, output, _ = prefix.run(os.path.join(prefix.bin, "fixed_costs.exe"), [str(a) for a in args])
    if code != 0:
        raise SystemExit("fixed_costs.exe failed with exit code %d" % code)
    return float(output.split()[-1])


def main(argv):
    parser = argparse.ArgumentParser()
    parser.add_argument("build")
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--keep-discs", action="store_true",
                        help="reuse a disc set generated by an earlier run")
    args = parser.parse_args(argv[1:])

    prefix = ar.WinePrefix(args.build, "bench")
    work = os.path.join(prefix.build, "bench")
    os.makedirs(work, exist_ok=True)
    manifest = generate(work, args.keep_discs)
    expected = manifest["installs"]["4/en-us"]
    total = sum(f["size"] for f in expected["files"])
    in_archives = sum(f["size"] for f in expected["files"] if ".zip" in f["origin"])
    print("disc set: %d files to install, %.0f MB, %.0f%% of the bytes from zip archives" %
          (len(expected["files"]), total / 1048576.0, 100.0 * in_archives / total))

    prefix.boot()
    prefix.keep_server(True)
    prefix.insert("d", os.path.join(manifest["root"], "Disk1"))
    prefix.insert("e", os.path.join(manifest["root"], "Disk2"))
    batch = reference_batch(prefix, manifest, work)
    archives = archives_to_unzip(manifest)

    # A warm-up of each, so that every timed run reads the discs from the
    # page cache alike; the first installation is also checked.
    run_install(prefix, work, 0)
    report = ar.compare_tree(prefix.unix_path(INSTALL_DIR), expected)
    if not report["ok"]:
        print("\n".join(ar.describe(report)))
        raise SystemExit("the installation does not match the disc set")
    run_reference(prefix, batch, archives)

    installs, references, cpus, copies = [], [], [], []
    for i in range(1, args.runs + 1):
        seconds, cpu, copy = run_install(prefix, work, i)
        installs.append(seconds)
        cpus.append(cpu)
        copies.append(copy)
        references.append(run_reference(prefix, batch, archives))
        print("run %d: install %.2f s (copy thread %.2f s, host thread cpu %s ms), "
              "reference %.2f s" % (i, installs[-1], copy or 0.0, cpu, references[-1]),
              flush=True)
    turns = pump_turns(expected)
    pumps = statistics.median([fixed_cost(prefix, "pump", turns) for _ in range(3)])
    pause = statistics.median([fixed_cost(prefix, "pause") for _ in range(3)])
    ar.remove(prefix.unix_path(INSTALL_DIR))
    ar.remove(prefix.unix_path(REFERENCE_DIR))
    prefix.eject_all()
    prefix.keep_server(False)

    install = statistics.median(installs)
    reference = statistics.median(references)
    print()
    print("median install   %.2f s" % install)
    print("median reference %.2f s  (xcopy %d commands + unzip %d archives)" %
          (reference, sum(1 for _ in open(batch)) - 1, len(archives)))
    print("ratio            %.3f  as measured (target <= 1.15)" % (install / reference))
    print("ratio            %.3f  without the start pause and the message pump" %
          ((install - pause - pumps) / reference))
    copy = statistics.median([c for c in copies if c is not None] or [0.0])
    print("installation     copy thread %.2f s, outside the copy %.2f s" % (copy, install - copy))
    print("start pause      %.2f s on its own" % pause)
    print("message pump     %d turns during the extraction take %.2f s on their own" %
          (turns, pumps))
    print("host thread cpu  %s ms per installation (median)" %
          statistics.median([c for c in cpus if c is not None] or [0]))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
