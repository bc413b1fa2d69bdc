#!/usr/bin/env python3
"""ZKUninstall's windows on a virtual X display: a small game installed in German
with AutoRun.exe /S, then the command of its Uninstall entry started without
switches while uninstalldriver.exe answers the boxes, No first (exit 1, the game
stays), then Yes.  Checks the German texts, the progress window, the exit codes,
and that the install folder and the game's App Paths entry are gone.  Skips (exit
code 77) when no virtual display can start.

  uninstall_windows_e2e.py BUILD_DIR [SCREENS_DIR]
"""
import os
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tools"))
import autorun_run as ar  # noqa: E402

SKIP = 77
DISPLAY = ":92"  # the wizard's test has :91
GAME = {"name": "Zone Keeper Entfernen", "executable": "ZoneRemove.exe", "discs": 1,
        "languages": "en-us,de", "seed": 92, "files_per_disc": 8}
FOLDER = "C:\\Games\\Zone Keeper Entfernen"
APP_PATHS = "hkey_local_machine\\software\\microsoft\\windows\\currentversion\\app paths\\"
UNINSTALL = "hkey_local_machine\\software\\microsoft\\windows\\currentversion\\uninstall\\"


def reg_text(exported):
    return exported[1:-1].replace('\\"', '"').replace("\\\\", "\\")


def uninstall(prefix, command, answer, screens=None):
    """Starts the command as Windows would, with the driver answering; waits for the
    whole prefix (the first run ends as soon as its copy starts).  Returns
    (uninstaller's exit code, driver's exit code, driver's lines).  With screens,
    the question, the progress window and the last box are saved there as
    uninstall-<kind>.png."""
    env = dict(prefix.env(), ZK_DISPLAY=DISPLAY)
    uninstaller = subprocess.Popen([prefix.run_sh, command], env=env, cwd=prefix.bin,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    driver = subprocess.Popen([prefix.run_sh, os.path.join(prefix.bin, "uninstalldriver.exe"),
                               answer], env=env, cwd=prefix.bin, stdout=subprocess.PIPE,
                              stderr=subprocess.STDOUT)
    lines = []
    for raw in driver.stdout:
        line = raw.decode("utf-8", "replace").rstrip()
        lines.append(line)
        print("  " + line)
        kind = line.split(":")[0]
        if screens and kind in ("question", "progress", "final"):
            time.sleep(0.3)  # the driver looks a second before it answers
            subprocess.run(["import", "-display", DISPLAY, "-window", "root", "-trim", "+repage",
                            "-strip", os.path.join(screens, "uninstall-%s.png" % kind)])
    driver.wait(timeout=300)
    code = uninstaller.wait(timeout=300)
    prefix.wait_idle()
    return code, driver.returncode, lines


def said(lines, kind, *words):
    return any(l.startswith(kind + ": ") and all(w in l for w in words) for l in lines)


def main(argv):
    xvfb, why = ar.start_display(DISPLAY)
    if not xvfb:
        print("SKIPPED: " + why)
        return SKIP
    try:
        prefix = ar.WinePrefix(argv[1], "unwindows")
        work = os.path.join(prefix.build, "unwindows")
        ar.remove(work)
        os.makedirs(work)
        ar.make_discs(os.path.join(work, "discs"), config=GAME)
        prefix.reset()
        prefix.boot()
        prefix.draw_title_bars()  # for the screenshots
        prefix.insert("d", os.path.join(work, "discs", "Disk1"))
        code, out, _ = prefix.autorun(["/S", "/LANG=de", "/DIR=" + FOLDER], timeout=300)
        hklm = prefix.export_registry("HKLM\\SOFTWARE")
        app = APP_PATHS + GAME["executable"].lower()
        entries = [v for k, v in hklm.items() if k.startswith(UNINSTALL) and
                   reg_text(v.get("displayname", '""')) == GAME["name"]]
        if code != 0 or app not in hklm or len(entries) != 1:
            print(out)
            print("FAILED: the German installation (exit %d, App Paths %s, %d Uninstall entries)"
                  % (code, app in hklm, len(entries)))
            return 1
        command = reg_text(entries[0]["uninstallstring"])
        # A wineserver still up from the runs without a display would keep
        # its desktop without one: the windowed runs start a fresh one.
        prefix.wait_idle()
        folder = prefix.unix_path(FOLDER)
        print("== No (%s)" % command)
        code, driven, lines = uninstall(prefix, command, "no")
        checks = [(driven == 0, "the driver answered No"),
                  (code == 1, "No: ZKUninstall ended with 1 (got %d)" % code),
                  (os.path.isfile(os.path.join(folder, GAME["executable"])), "No: the game stayed")]
        print("== Yes")
        code, driven, lines = uninstall(prefix, command, "yes",
                                        os.path.abspath(argv[2]) if len(argv) > 2 else None)
        left = prefix.export_registry("HKLM\\SOFTWARE")
        checks += [(driven == 0, "the driver saw the question, the progress window and the end"),
                   (said(lines, "question", "Möchten Sie", GAME["name"], FOLDER),
                    "the question was German and named the game and its folder"),
                   (said(lines, "title", GAME["name"] + " deinstallieren"), "the German title"),
                   (said(lines, "yes", "&Ja") and said(lines, "no", "&Nein"),
                    "the German buttons"),
                   (said(lines, "progress", GAME["name"] + " wird entfernt"),
                    "the progress window said what it removed"),
                   (said(lines, "final", GAME["name"] + " wurde entfernt"), "the German last box"),
                   (code == 0, "Yes: ZKUninstall ended with 0 (got %d)" % code),
                   (not os.path.exists(folder), "the install folder is gone"),
                   (app not in left, "the App Paths entry is gone")]
        for ok, what in checks:
            print("  %s %s" % ("ok  " if ok else "FAIL", what))
        failed = [what for ok, what in checks if not ok]
        for what in failed:
            print("FAILED: " + what)
        return 1 if failed else 0
    finally:
        xvfb.kill()
        xvfb.wait()


if __name__ == "__main__":
    sys.exit(main(sys.argv))
