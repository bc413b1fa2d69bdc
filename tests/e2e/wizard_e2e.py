#!/usr/bin/env python3
"""AutoRun's wizard on a virtual X display: wizarddriver.exe clicks through it
in German and in English (one install each; the German one finds disc 2 missing
and must see its request go by itself once it is in) while the test checks the texts
the pages showed and, as the unattended runs do, the installed files against
the disc set.  Skips (exit code 77) when no virtual display can start.

  wizard_e2e.py BUILD_DIR [SCREENS_DIR]
With SCREENS_DIR, each page is also saved there as LANGUAGE-PAGE.png (ImageMagick's
import).
"""
import os
import re
import shutil
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
# What each run's welcome page says once its language is picked, and its type page.
RUNS = [("German", "de", "Willkommen", "Installationsart"),
        ("English", "en-us", "Welcome", "installation type")]
TITLE = "[%s " % GAME["name"]  # every page's window title names the game
# The screenshots' names: the pages in the order these runs show them, and
# "picked" (the welcome page in the language picked), "disc" and "box".
PAGES = ["welcome", "type", "folder", "group", "confirm", "copy", "finish"]


def install(prefix, work, run, language, screens, shoot, extra=(), disc2=None):
    """One run named `run`, picking `language`; with disc2 (its folder) drive E:
    stays empty until the wizard asks for the disc, and is filled a moment
    later.  With screens, the driver's lines of the kinds in `shoot` are
    screenshots there."""
    folder = "C:\\Wizard\\" + run
    log = os.path.join(work, run + ".log")
    env = dict(prefix.env(), ZK_DISPLAY=DISPLAY)
    autorun = subprocess.Popen([prefix.run_sh, "D:\\AutoRun.exe", "/LOG=Z:" + log.replace("/", "\\")],
                               env=env, cwd=prefix.bin, stdout=subprocess.DEVNULL,
                               stderr=subprocess.STDOUT)
    driver = subprocess.Popen([prefix.run_sh, os.path.join(prefix.bin, "wizarddriver.exe"),
                               language, folder] + list(extra), env=env, cwd=prefix.bin,
                              stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    lines, pages, previous = [], 0, None
    for raw in driver.stdout:
        line = raw.decode("latin-1").rstrip()
        lines.append(line)
        print("  " + line)
        kind = line.split(":")[0]
        if kind == "page":
            pages += 1
            kind = PAGES[pages - 1] if pages <= len(PAGES) else "page%d" % pages
        if screens and line.split(":")[0] in shoot:
            time.sleep(0.3)  # the driver waits a second before it answers
            name = os.path.join(screens, "%s-%s.png" % (run.lower(), kind))
            # The display's black around the window is trimmed away.  A shot
            # just like the one before means that page had already moved on:
            # the earlier name goes.
            subprocess.run(["import", "-display", DISPLAY, "-window", "root", "-trim",
                            "+repage", "-strip", name])
            if previous and open(name, "rb").read() == open(previous, "rb").read():
                os.remove(previous)
            previous = name
        if disc2 and line.startswith("disc:"):
            time.sleep(2)  # the request must wait for the disc, not give up
            lines.append("still running: %s" % (autorun.poll() is None))
            prefix.insert("e", disc2)
    driven = driver.wait()
    code = autorun.wait(timeout=300)
    with open(log, encoding="latin-1") as f:
        said = f.read()
    # Wine hands a Unix parent only the low 8 bits of an exit code: the log
    # has it whole.
    logged = re.findall(r"exit code (-?\d+)", said)
    return driven, int(logged[-1]) if logged else code, lines, folder


def report(name, checks, failures):
    for ok, what in checks:
        print("  %s %s" % ("ok  " if ok else "FAIL", what))
        if not ok:
            failures.append(name + ": " + what)


def directx_discs(build, work):
    """A one-disc game carrying a DirectX setup (the test's fake) that shows a
    licence and asks for a restart."""
    m = ar.make_discs(os.path.join(work, "dxdiscs"),
                      config=dict(GAME, name="Zone Keeper DirectX", discs=1, seed=78,
                                  guid="5A1D0C3E-0F1B-4C2D-9E3F-7A8B9C0D1E2F",
                                  autorun={"DirectXVersion": "9.0c"}, programs=os.path.join(build, "bin")))
    directx = os.path.join(work, "dxdiscs", "Disk1", "DirectX")
    os.makedirs(directx, exist_ok=True)
    shutil.copy(os.path.join(build, "bin", "dsetup", "v904", "dsetup.dll"), directx)
    with open(os.path.join(directx, "dsetup.ini"), "w") as f:
        f.write("[dsetup]\nSetupResult=1\n[eula]\n9=ZK licence of DirectX\n")
    return m


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
        prefix.draw_title_bars()  # for the screenshots
        disc2 = os.path.join(work, "discs", "Disk2")
        prefix.insert("d", os.path.join(work, "discs", "Disk1"))
        failures = []
        shoot = ("page", "picked", "box", "disc")
        for language, prefix_name, welcome, type_text in RUNS:
            print("== %s" % language)
            # The German run finds drive E: empty: disc 2 is asked for.
            late = disc2 if language == "German" else None
            if late:
                prefix.eject("e")
            driven, code, lines, folder = install(prefix, work, language, language, screens,
                                                  [s for s in shoot if s != "picked" or late],
                                                  disc2=late)
            prefix.insert("e", disc2)
            text = "\n".join(lines)
            tree = ar.compare_tree(prefix.unix_path(folder), manifest["installs"]["3/" + prefix_name])
            checks = [(driven == 0, "the driver reached the finish page"),
                      (code == 0, "AutoRun ended with 0 (got %d)" % code),
                      ("picked: " + welcome in text, "the welcome page turned to '%s'" % welcome),
                      (type_text in text, "the type page said '%s'" % type_text),
                      (all(TITLE in l for l in lines if l.startswith("page:")),
                       "every page's title names the game"),
                      (tree["ok"], "the installed files match the discs"),
                      (any(re.match(r"copying, the window answered in \d{1,3} ms$", l) for l in lines),
                       "the window answered within a second during the copy")]
            if late:
                checks.append(("still running: True" in lines and "disc box closed by itself" in lines
                               and any(l.startswith("disc: ") and "D:" in l and " 2 " in l
                                       for l in lines),
                               "disc 2 was asked for in drive D:, and the request went when it came"))
            report(language, checks, failures)
        # Cancel during the copy: asked, then everything copied goes again.
        print("== Cancel")
        driven, code, lines, folder = install(prefix, work, "Cancel", "English", None, (),
                                              ["cancel"])
        left = prefix.unix_path(folder)
        files = [f for _, _, fs in os.walk(left) for f in fs] if os.path.isdir(left) else []
        report("cancel", [(driven == 0, "the driver reached the last page"),
                          (code == 1, "AutoRun ended with 1, cancelled (got %d)" % code),
                          (not files, "the rollback left no file (%d left)" % len(files))], failures)
        # A disc with DirectX: its licence is a page, accepted; the setup asks
        # for a restart, which the finish page offers and the driver declines.
        print("== DirectX")
        dx = directx_discs(build, work)
        prefix.insert("d", os.path.join(work, "dxdiscs", "Disk1"))
        prefix.eject("e")
        calls = os.path.join(work, "dxdiscs", "Disk1", "DirectX", "dsetup.log")
        driven, code, lines, folder = install(prefix, work, "DirectX", "English", screens,
                                              ("licence", "finish"))
        text = "\n".join(lines)
        tree = ar.compare_tree(prefix.unix_path(folder), dx["installs"]["3/en-us"])
        setup = open(calls).read() if os.path.exists(calls) else ""
        report("directx", [(driven == 0, "the driver reached the finish page"),
                           ("licence: ZK licence of DirectX" in text, "the licence was a page"),
                           ("DirectXSetupA(" in setup, "the DirectX setup ran"),
                           ("finish: " in text and "restart" in text.split("finish: ")[-1].lower(),
                            "the finish page says a restart is needed"),
                           (code == 3010, "AutoRun ended with 3010, restart later (got %d)" % code),
                           (tree["ok"], "the installed files match the disc")], failures)
        for line in failures:
            print("FAILED: " + line)
        return 1 if failures else 0
    finally:
        xvfb.kill()
        xvfb.wait()


if __name__ == "__main__":
    sys.exit(main(sys.argv))
