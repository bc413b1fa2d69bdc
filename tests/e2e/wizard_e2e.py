#!/usr/bin/env python3
"""AutoRun's wizard on a virtual X display: wizarddriver.exe clicks through it
in German and in English (one install each) while the test checks the texts
the pages showed and, as the unattended runs do, the installed files against
the disc set.  Skips (exit code 77) when no virtual display can start.

  wizard_e2e.py BUILD_DIR [SCREENS_DIR]
With SCREENS_DIR, each page is also saved there as a PNG (ImageMagick's import).
"""
import os
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tools"))
import autorun_run as ar  # noqa: E402

SKIP = 77
DISPLAY = ":91"
GAME = {"name": "Zone Keeper Wizard", "executable": "ZoneKeeper.exe", "discs": 2,
        "languages": "en-us,de", "seed": 77, "files_per_disc": 30, "min_size": 20000,
        "max_size": 400000}
# What each run's type page must say, in its language.
RUNS = [("German", "de", "Installationsart"), ("English", "en-us", "installation type")]
TITLE = "[%s " % GAME["name"]  # every page's window title names the game


def install(prefix, work, manifest, language, screens, extra=()):
    folder = "C:\\Wizard\\" + language + "".join(extra)
    log = os.path.join(work, language + ".log")
    env = dict(prefix.env(), ZK_DISPLAY=DISPLAY)
    autorun = subprocess.Popen([prefix.run_sh, "D:\\AutoRun.exe", "/LOG=Z:" + log.replace("/", "\\")],
                               env=env, cwd=prefix.bin, stdout=subprocess.DEVNULL,
                               stderr=subprocess.STDOUT)
    driver = subprocess.Popen([prefix.run_sh, os.path.join(prefix.bin, "wizarddriver.exe"),
                               language, folder] + list(extra), env=env, cwd=prefix.bin,
                              stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    lines, shots = [], 0
    for raw in driver.stdout:
        line = raw.decode("latin-1").rstrip()
        lines.append(line)
        print("  " + line)
        if screens and line.startswith(("page:", "box:")):
            time.sleep(0.3)  # the driver waits a second before it answers
            shots += 1
            name = "%s-%02d.png" % (language.lower(), shots)
            # The display's black around the window is trimmed away.
            subprocess.run(["import", "-display", DISPLAY, "-window", "root", "-trim",
                            "+repage", os.path.join(screens, name)])
    driven = driver.wait()
    code = autorun.wait(timeout=300)
    return driven, code, lines, folder


def main(argv):
    build = argv[1]
    screens = os.path.abspath(argv[2]) if len(argv) > 2 else None
    xvfb, why = ar.start_display(DISPLAY)
    if not xvfb:
        print("SKIPPED: " + why)
        return SKIP
    try:
        prefix = ar.WinePrefix(build, "wizard")
        work = os.path.join(prefix.build, "wizard")
        ar.remove(work)
        os.makedirs(work)
        manifest = ar.make_discs(os.path.join(work, "discs"), config=dict(GAME, programs=prefix.bin))
        prefix.reset()
        prefix.boot()
        prefix.insert("d", os.path.join(work, "discs", "Disk1"))
        prefix.insert("e", os.path.join(work, "discs", "Disk2"))
        failures = []
        for language, prefix_name, type_text in RUNS:
            print("== %s" % language)
            driven, code, lines, folder = install(prefix, work, manifest, language, screens)
            text = "\n".join(lines)
            report = ar.compare_tree(prefix.unix_path(folder), manifest["installs"]["3/" + prefix_name])
            for ok, what in ((driven == 0, "the driver reached the finish page"),
                             (code == 0, "AutoRun ended with 0 (got %d)" % code),
                             (type_text in text, "the type page said '%s'" % type_text),
                             (all(TITLE in l for l in lines if l.startswith("page:")),
                              "every page's title names the game"),
                             (report["ok"], "the installed files match the discs")):
                print("  %s %s" % ("ok  " if ok else "FAIL", what))
                if not ok:
                    failures.append(language + ": " + what)
        # Cancel during the copy: asked, then everything copied goes again.
        print("== Cancel")
        driven, code, lines, folder = install(prefix, work, manifest, "English", None, ["cancel"])
        left = prefix.unix_path(folder)
        files = [f for _, _, fs in os.walk(left) for f in fs] if os.path.isdir(left) else []
        for ok, what in ((driven == 0, "the driver reached the last page"),
                         (code == 1, "AutoRun ended with 1, cancelled (got %d)" % code),
                         (not files, "the rollback left no file (%d left)" % len(files))):
            print("  %s %s" % ("ok  " if ok else "FAIL", what))
            if not ok:
                failures.append("cancel: " + what)
        for line in failures:
            print("FAILED: " + line)
        return 1 if failures else 0
    finally:
        xvfb.kill()
        xvfb.wait()


if __name__ == "__main__":
    sys.exit(main(sys.argv))
