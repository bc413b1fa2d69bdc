#!/usr/bin/env python3
"""End-to-end runs of AutoRun.exe under Wine against generated discs.

    autorun_e2e.py BUILD_DIR SCENARIO

Each scenario writes its own disc set (its own product name, executable and
GUID, so the registry entries of one installation never look like a previous
installation to another), puts the discs into the CD-ROM drives of the Wine
prefix named by ZK_WINE_PREFIX, runs AutoRun.exe, and checks the exit code and
what landed on disk against the disc set's manifest.
"""
import hashlib
import os
import re
import shutil
import signal
import subprocess
import sys
import threading
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tools"))

import autorun_run as ar  # noqa: E402

EXIT = {"installed": 0, "cancelled": 1, "bad command line": 2, "disc missing": 3,
        "bad destination": 4, "no space": 5, "copy failed": 6}

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
    return condition


class Scenario:
    def __init__(self, build, name):
        self.name = name
        self.prefix = ar.WinePrefix(build, os.environ.get("ZK_WINE_PREFIX", "e2e"))
        self.work = os.path.join(self.prefix.build, "e2e", name)
        ar.remove(self.work)
        os.makedirs(self.work)
        self.prefix.boot()
        self.prefix.eject_all()
        self.serial = 0

    def discs(self, discs=2, languages="en-us,fr-fr", autorun=None, **options):
        """A small disc set of the scenario's own product."""
        self.serial += 1
        # A name of its own for every run, so that nothing an earlier run left
        # in the prefix (folders, registry entries) can count as this one's.
        tag = "%s%d %x" % (self.name.replace("_", ""), self.serial, int(time.time() * 10) % 0xFFFFFF)
        out = os.path.join(self.work, "set%d" % self.serial)
        config = {"name": "ZK E2E %s" % tag, "executable": "%s.exe" % tag.replace(" ", "_")[:40],
                  "guid": guid_for(tag), "discs": discs, "languages": languages,
                  "seed": self.serial + len(self.name), "autorun": autorun or {}}
        config.update(options)
        manifest = ar.make_discs(out, config=config)
        manifest["root"] = out
        return manifest

    def insert(self, manifest, *letters):
        """Disc 1 into the first drive named, disc 2 into the second, ..."""
        for i, letter in enumerate(letters):
            self.prefix.insert(letter, os.path.join(manifest["root"], "Disk%d" % (i + 1)))

    def run(self, args, stdin_text=None, log=True):
        log_path = os.path.join(self.work, "autorun%d.log" % self.serial)
        ar.remove(log_path)
        if log:
            args = list(args) + ["/LOG=Z:" + log_path.replace("/", "\\")]
        code, output, seconds = self.prefix.autorun(args, stdin_text=stdin_text, timeout=300)
        text = ""
        if os.path.isfile(log_path):
            with open(log_path, encoding="latin-1") as f:
                text = f.read()
        return code, output, text, seconds

    def c_folder(self, leaf):
        """A fresh folder on drive C: for one installation."""
        windows = "C:\\ZKE2E\\%s\\%s" % (self.name, leaf)
        ar.remove(self.prefix.unix_path(windows))
        return windows


def guid_for(tag):
    h = hashlib.md5(tag.encode()).hexdigest().upper()
    # In registry form, with braces, as the library parses it to recognise an
    # earlier installation.
    return "{%s-%s-%s-%s-%s}" % (h[:8], h[8:12], h[12:16], h[16:20], h[20:32])


def expect_exit(code, want, output, log_text):
    if not check(code == EXIT[want], "exit code %d, expected %d (%s)" % (code, EXIT[want], want)):
        print(output[-3000:])
        print(log_text[-3000:])
        return False
    return True


def expect_tree(prefix, folder, manifest, install_type, language):
    expected = manifest["installs"]["%d/%s" % (install_type, language)]
    report = ar.compare_tree(prefix.unix_path(folder), expected)
    for line in ar.describe(report):
        print("   ", line)
    check(report["ok"], "installed tree of type %d (%s) in %s differs from the disc set" %
          (install_type, language, folder))
    return report


# --- scenarios -------------------------------------------------------------------

def full_install(s):
    """Two discs, archives on both, chosen language and folder."""
    m = s.discs()
    s.insert(m, "d", "e")
    folder = s.c_folder("full")
    code, out, log, _ = s.run(["/S", "/LANG=fr-fr", "/DIR=" + folder])
    if expect_exit(code, "installed", out, log):
        expect_tree(s.prefix, folder, m, 3, "fr-fr")
        check(ar.log_value(log, "language") == "French (fr-fr)", "language line in the log")


def default_folder(s):
    """No folder, no language: the game's default folder, the automatic language,
    the minimum type; discs in the later drives."""
    m = s.discs(languages="en-us,de")
    s.insert(m, "e", "f")  # disc 1 in E:, disc 2 in F:, D: empty
    code, out, log, _ = s.run(["/SILENT", "/TYPE=minimum"])
    if expect_exit(code, "installed", out, log):
        folder = ar.log_value(log, "install folder") or ""
        check(folder.lower().startswith("c:\\program files\\vantorel\\"),
              "default folder under Program Files: " + folder)
        language = (ar.log_value(log, "language") or "").rpartition("(")[2].rstrip(")")
        check(language in ("en-us", "de"), "an offered language was chosen: " + language)
        expect_tree(s.prefix, folder, m, 1, language)


def missing_second_disc(s):
    """Disc 2 never comes: a bounded wait, then the disc-missing code."""
    m = s.discs()
    s.insert(m, "d")
    folder = s.c_folder("nodisc2")
    code, out, log, seconds = s.run(["/S", "/DISCWAIT=3", "/DIR=" + folder])
    expect_exit(code, "disc missing", out, log)
    check(seconds < 120, "gave up within bounds (%.0f s)" % seconds)
    check("waiting up to 3 s for disc 2" in log, "the log names the disc waited for")
    check("giving up" in log, "the log says the wait ended")


def missing_first_disc(s):
    """No disc at all: the library would end the process with 0 (success) when
    its disc request is given up; AutoRun must end it with the disc code."""
    s.discs()
    code, out, log, seconds = s.run(["/S", "/DISCWAIT=2"])
    expect_exit(code, "disc missing", out, log)
    check(seconds < 120, "gave up within bounds (%.0f s)" % seconds)
    check("exit code 3" in log, "the log records the exit code")


def disc_arrives_late(s):
    """Disc 2 is put in while AutoRun waits for it: the installation completes."""
    m = s.discs()
    s.insert(m, "d")
    folder = s.c_folder("late")
    log_path = os.path.join(s.work, "late.log")
    proc = subprocess.Popen([s.prefix.run_sh, os.path.join(s.prefix.bin, "AutoRun.exe"), "/S",
                             "/DISCWAIT=120", "/DIR=" + folder,
                             "/LOG=Z:" + log_path.replace("/", "\\")],
                            env=s.prefix.env(), cwd=s.prefix.bin, stdout=subprocess.PIPE,
                            stderr=subprocess.STDOUT)
    output = []
    reader = threading.Thread(target=lambda: output.append(proc.stdout.read()))
    reader.start()
    deadline = time.monotonic() + 300
    inserted = False
    while proc.poll() is None and time.monotonic() < deadline:
        if not inserted and os.path.isfile(log_path):
            with open(log_path, encoding="latin-1") as f:
                if "for disc 2" in f.read():
                    s.insert(m, "d", "e")
                    inserted = True
        time.sleep(0.2)
    if proc.poll() is None:
        proc.kill()
    proc.wait()
    reader.join()
    with open(log_path, encoding="latin-1") as f:
        log = f.read()
    check(inserted, "AutoRun asked for disc 2")
    if expect_exit(proc.returncode, "installed", output[0].decode("latin-1"), log):
        expect_tree(s.prefix, folder, m, 3, "en-us")


def reinstall_over_previous(s):
    """A second run of the same game, without a folder, goes into the folder of
    the completed first installation."""
    m = s.discs(languages="en-us")
    s.insert(m, "d", "e")
    folder = s.c_folder("first")
    code, out, log, _ = s.run(["/S", "/TYPE=1", "/DIR=" + folder])
    if not expect_exit(code, "installed", out, log):
        return
    code, out, log, _ = s.run(["/S"])
    if expect_exit(code, "installed", out, log):
        check("already installed in " + folder in log, "the earlier installation was found")
        check(ar.log_value(log, "install folder") == folder, "the earlier folder was kept")
        check("copying from D:" in log, "the copy starts from disc 1, not from where the "
                                        "earlier installation ended")
        report = ar.compare_tree(s.prefix.unix_path(folder), m["installs"]["3/en-us"])
        for line in ar.describe(report):
            print("   ", line)
        # The library leaves its own copy, already in the folder, out of the
        # new install log (so an uninstall would leave it behind); the rest of
        # the installation must be exact.
        if report["placed_unlogged"]:
            print("    known: placed but not logged again:", ", ".join(report["placed_unlogged"]))
        exact = (not report["missing"] and not report["different"] and not report["extra"]
                 and not report["folders_missing"])
        check(exact, "the reinstalled tree matches the disc set")
        log_lines = ar.read_log(s.prefix.unix_path(folder)) or []
        check(log_lines[:len(m["installs"]["3/en-us"]["log"])] == m["installs"]["3/en-us"]["log"],
              "the install log holds the disc set's entries")


def bad_destinations(s):
    m = s.discs(languages="en-us")
    s.insert(m, "d", "e")
    cases = [
        ("Games\\ZK", "a relative folder"),
        ("C:\\", "a drive's root"),
        ("C:\\windows\\ZK Game", "inside the Windows folder"),
        ("C:\\Games\\A|B", "a character paths may not hold"),
        ("C:\\" + "x" * 130, "a path of 128 characters or more"),
        ("D:\\Game", "a CD-ROM drive"),
        ("Q:\\Game", "a drive that does not exist"),
        ("\\\\server\\share\\Game", "a network path"),
    ]
    for folder, why in cases:
        code, out, log, _ = s.run(["/S", "/DIR=" + folder])
        check(code == EXIT["bad destination"],
              "%s (%s): exit %d, expected %d" % (folder, why, code, EXIT["bad destination"]))
        check("copy ended" not in log, "%s: no copy started" % folder)
    # A trailing backslash names the same folder, and is fine.
    folder = s.c_folder("trailing")
    code, out, log, _ = s.run(["/S", "/DIR=" + folder + "\\"])
    if expect_exit(code, "installed", out, log):
        expect_tree(s.prefix, folder, m, 3, "en-us")


def insufficient_space(s):
    m = s.discs(languages="en-us", autorun={"InstallFull": "1000000000000000"})
    s.insert(m, "d", "e")
    folder = s.c_folder("space")
    code, out, log, _ = s.run(["/S", "/DIR=" + folder])
    expect_exit(code, "no space", out, log)
    check(not os.path.exists(s.prefix.unix_path(folder)), "nothing was created")
    # The minimum type needs what the disc set says, and fits.
    code, out, log, _ = s.run(["/S", "/TYPE=1", "/DIR=" + folder])
    if expect_exit(code, "installed", out, log):
        expect_tree(s.prefix, folder, m, 1, "en-us")


def bad_command_lines(s):
    m = s.discs(languages="en-us,de")
    s.insert(m, "d", "e")
    syntax = [["/BOGUS"], ["/TYPE=9"], ["/DIR="], ["install"], ["/DISCWAIT=soon"], ["/S=yes"]]
    for args in syntax:
        code, out, _, _ = s.run(args, log=False)
        check(code == EXIT["bad command line"], "%s: exit %d" % (args, code))
        check("Usage: AutoRun.exe" in out, "%s: usage shown" % args)
    # Understood, but not possible with this disc or this machine.
    for args in (["/S", "/LANG=xx"], ["/S", "/LANG=French"], ["/S", "/TYPE=nostreaming"],
                 ["/S", "/LOG=Q:\\no\\such\\folder\\setup.log"], ["/S", "/SOURCE=Q:\\nowhere"]):
        code, out, _, _ = s.run(args, log=False)
        check(code == EXIT["bad command line"], "%s: exit %d" % (args, code))
    code, out, _, _ = s.run(["/?"], log=False)
    check(code == 0 and "/DISCWAIT" in out, "/? prints the usage")


def copy_failure(s):
    """A listed file is missing from disc 1: retried a few times, then given up."""
    m = s.discs(languages="en-us")
    lost = next(f["path"] for f in m["installs"]["1/en-us"]["files"]
                if f["origin"] == "disc1")
    os.unlink(os.path.join(m["root"], "Disk1", *lost.split("\\")))
    s.insert(m, "d", "e")
    folder = s.c_folder("copyfail")
    code, out, log, _ = s.run(["/S", "/DIR=" + folder])
    expect_exit(code, "copy failed", out, log)
    check(log.count("answer: Retry") == 3, "three retries of the lost file")
    check("answer: Cancel" in log and "answer: Yes" in log, "gave up and confirmed the quit")


def interactive(s):
    """Questions answered on standard input: type, folder, confirmation.  The
    disc set's sizes are those of its first language, so with that language
    the progress must end at exactly 100 %."""
    m = s.discs(languages="en-us,fr-fr")
    s.insert(m, "d", "e")
    folder = s.c_folder("interactive")
    # The type, the folder, Enter for the suggested yes.
    code, out, log, _ = s.run(["/LANG=en-us"], stdin_text="1\n%s\n\n" % folder)
    if expect_exit(code, "installed", out, log):
        check(re.search(r"\[#{20}\] 100[.,]0%", out) is not None, "the progress bar reached its end")
        check(folder in out, "the chosen folder was confirmed")
        expect_tree(s.prefix, folder, m, 1, "en-us")


def interactive_quit_at_disc_prompt(s):
    """The user declines to insert disc 2 and confirms quitting."""
    m = s.discs(languages="en-us")
    s.insert(m, "d")
    folder = s.c_folder("quit")
    # folder, confirm (Enter: yes), disc prompt: Cancel, quit?: Yes
    answers = "%s\n\nc\n1\n" % folder
    code, out, log, _ = s.run(["/TYPE=full"], stdin_text=answers)
    expect_exit(code, "cancelled", out, log)
    check("disc 2" in out, "the disc prompt names the disc")


def ctrl_c_during_copy(s):
    """Ctrl+C while the copy runs asks whether to cancel; yes ends the run as
    cancelled.  The copy thread waits a second before it starts, so the
    interrupt sent as soon as the copy is announced lands inside the copy."""
    m = s.discs(languages="en-us")
    s.insert(m, "d", "e")
    folder = s.c_folder("ctrlc")
    log_path = os.path.join(s.work, "ctrlc.log")
    with open(os.path.join(s.work, "ctrlc.out"), "wb") as out:
        proc = subprocess.Popen([s.prefix.run_sh, os.path.join(s.prefix.bin, "AutoRun.exe"),
                                 "/TYPE=full", "/DIR=" + folder,
                                 "/LOG=Z:" + log_path.replace("/", "\\")],
                                env=s.prefix.env(), cwd=s.prefix.bin, stdin=subprocess.PIPE,
                                stdout=out, stderr=subprocess.STDOUT)
        # Enter confirms the installation; "y" answers the cancel question.
        proc.stdin.write(b"\ny\n")
        proc.stdin.flush()
        deadline = time.monotonic() + 120
        sent = False
        while proc.poll() is None and time.monotonic() < deadline:
            if not sent and os.path.isfile(log_path):
                with open(log_path, encoding="latin-1") as f:
                    if "Copying the game files" in f.read():
                        os.kill(proc.pid, signal.SIGINT)
                        sent = True
            time.sleep(0.05)
        if proc.poll() is None:
            proc.kill()
        code = proc.wait()
    with open(log_path, encoding="latin-1") as f:
        log = f.read()
    with open(os.path.join(s.work, "ctrlc.out"), encoding="latin-1") as f:
        output = f.read()
    check(sent, "the copy started")
    expect_exit(code, "cancelled", output, log)
    check("the user cancels the installation" in log, "the cancel question was answered")
    check("cancel flag 1" in log, "the copy thread was told to stop")


def stdin_closed(s):
    """An interactive run whose input is closed carries on with the unattended
    answers instead of waiting or looping."""
    m = s.discs(languages="en-us")
    s.insert(m, "d", "e")
    code, out, log, seconds = s.run([], stdin_text="")
    if expect_exit(code, "installed", out, log):
        check("going on unattended" in log, "the switch to unattended answers is logged")
        folder = ar.log_value(log, "install folder")
        expect_tree(s.prefix, folder, m, 3, "en-us")


def from_disc_images(s):
    """Discs copied to the hard disk as "Disk Images\DiskN" folders, no CD-ROM
    drive at all: /SOURCE names disc 1, disc 2 is found beside it."""
    m = s.discs()
    images = s.prefix.unix_path("C:\\ZKE2E\\%s\\Disk Images" % s.name)
    ar.remove(images)
    shutil.copytree(m["root"], images, ignore=shutil.ignore_patterns("expected", "*.json"))
    folder = s.c_folder("images")
    code, out, log, _ = s.run(["/S", "/DISCWAIT=5", "/LANG=en-us", "/DIR=" + folder,
                               "/SOURCE=C:\\ZKE2E\\%s\\Disk Images\\Disk1" % s.name])
    if expect_exit(code, "installed", out, log):
        expect_tree(s.prefix, folder, m, 3, "en-us")


def runs_from_the_disc(s):
    """AutoRun.exe and its libraries on disc 1, started from elsewhere: the disc
    it lies on is the source."""
    m = s.discs(languages="en-us")
    for name in ("AutoRun.exe", "ZKInstall.dll", "AutoRunGUI.dll"):
        source = os.path.join(s.prefix.bin, name)
        if os.path.isfile(source):
            shutil.copy(source, os.path.join(m["root"], "Disk1", name))
    # Disc 1 in F:, which the library's own drive search reaches last.
    s.prefix.insert("e", os.path.join(m["root"], "Disk2"))
    s.prefix.insert("f", os.path.join(m["root"], "Disk1"))
    folder = s.c_folder("fromdisc")
    log_path = os.path.join(s.work, "fromdisc.log")
    code, out, _ = s.prefix.run("F:\\AutoRun.exe", ["/S", "/DIR=" + folder,
                                                      "/LOG=Z:" + log_path.replace("/", "\\")])
    log = open(log_path, encoding="latin-1").read() if os.path.isfile(log_path) else ""
    if expect_exit(code, "installed", out, log):
        check("source: F:\\" in log, "the program's own disc is the source")
        expect_tree(s.prefix, folder, m, 3, "en-us")


SCENARIOS = {f.__name__: f for f in (
    full_install, default_folder, reinstall_over_previous, missing_second_disc, missing_first_disc, disc_arrives_late,
    bad_destinations, insufficient_space, bad_command_lines, copy_failure, interactive,
    interactive_quit_at_disc_prompt, ctrl_c_during_copy, stdin_closed, from_disc_images,
    runs_from_the_disc)}


def main(argv):
    if len(argv) != 3 or argv[2] not in SCENARIOS:
        print("usage: autorun_e2e.py BUILD_DIR {%s}" % ",".join(SCENARIOS))
        return 2
    scenario = Scenario(argv[1], argv[2])
    try:
        SCENARIOS[argv[2]](scenario)
    finally:
        scenario.prefix.eject_all()
    for f in failures:
        print("FAILED:", f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
