#!/usr/bin/env python3
"""End-to-end runs of AutoRun.exe under Wine against generated discs: autorun_e2e.py
BUILD_DIR SCENARIO. Every disc set is of a product of its own (name, executable, GUID),
so that nothing earlier runs left in the prefix (ZK_WINE_PREFIX) looks like an earlier
installation; exit codes and installed files are checked against the set's manifest."""
import hashlib
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tools"))
sys.path.insert(0, os.path.join(HERE, "..", "api", "shortcuts"))

import autorun_run as ar  # noqa: E402
from check_links import lnk_fields  # noqa: E402

EXIT = {"installed": 0, "cancelled": 1, "bad command line": 2, "disc missing": 3,
        "bad destination": 4, "no space": 5, "copy failed": 6, "restart required": 3010}

# Where the library puts its run-once links (all users) in a 64-bit prefix.
STARTUP = "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\StartUp"

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
    return condition


def restart_links(prefix):
    folder = prefix.unix_path(STARTUP)
    names = os.listdir(folder) if os.path.isdir(folder) else []
    return sorted(os.path.join(folder, n) for n in names if n.upper().startswith("ZK_RESTART_"))


def remove_restart_links(prefix):
    """No run-once link may outlive a scenario: a restarted prefix would run it."""
    for path in restart_links(prefix):
        os.unlink(path)


def read_text(path):
    if not os.path.isfile(path):
        return ""
    with open(path, encoding="latin-1") as f:
        return f.read()


class Scenario:
    def __init__(self, build, name):
        self.name = name
        self.prefix = ar.WinePrefix(build, os.environ.get("ZK_WINE_PREFIX", "e2e"))
        self.work = os.path.join(self.prefix.build, "e2e", name)
        ar.remove(self.work)
        os.makedirs(self.work)
        self.prefix.boot()
        self.prefix.eject_all()
        remove_restart_links(self.prefix)
        self.serial = 0

    def discs(self, languages="en-us,fr-fr", autorun=None, discs=2, programs=False, **options):
        """A small disc set of a product of its own."""
        self.serial += 1
        stamp = int(time.time() * 10) % 0xFFFFFF
        tag = "%s%d %x" % (self.name.replace("_", ""), self.serial, stamp)
        h = hashlib.md5(tag.encode()).hexdigest().upper()
        out = os.path.join(self.work, "set%d" % self.serial)
        manifest = ar.make_discs(out, config={
            "name": "ZK E2E %s" % tag, "executable": "%s.exe" % tag.replace(" ", "_")[:40],
            # In registry form, as the library parses it to recognise an earlier installation.
            "guid": "{%s-%s-%s-%s-%s}" % (h[:8], h[8:12], h[12:16], h[16:20], h[20:32]),
            "discs": discs, "languages": languages, "seed": self.serial + len(self.name),
            "autorun": autorun or {}, "programs": self.prefix.bin if programs else "",
            **options})
        manifest["root"] = out
        return manifest

    def insert(self, manifest, *letters):
        """Disc 1 into the first drive named, disc 2 into the second, ...; others empty."""
        for letter in "def":
            if letter in letters:
                disc = "Disk%d" % (letters.index(letter) + 1)
                self.prefix.insert(letter, os.path.join(manifest["root"], disc))
            else:
                self.prefix.eject(letter)

    def run(self, args, stdin_text=None, log=True, program=None, trigger=None, action=None):
        """(exit code, output, log, seconds); with `trigger`, action(process) is called
        once the log shows it."""
        log_path = os.path.join(self.work, "autorun%d.log" % self.serial)
        ar.remove(log_path)
        args = list(args) + (["/LOG=Z:" + log_path.replace("/", "\\")] if log else [])
        program = program or os.path.join(self.prefix.bin, "AutoRun.exe")
        # The questions asked here are the console's (windows are the default).
        if program.lower().endswith("autorun.exe") and "/S" not in args:
            args.append("/CONSOLE")
        if not trigger:
            code, out, seconds = self.prefix.run(program, args, stdin_text=stdin_text, timeout=300)
            return code, out, read_text(log_path), seconds
        start, acted = time.monotonic(), False
        with tempfile.TemporaryFile() as out:
            proc = subprocess.Popen([self.prefix.run_sh, program] + args, env=self.prefix.env(),
                                    cwd=self.prefix.bin, stdin=subprocess.PIPE, stdout=out,
                                    stderr=subprocess.STDOUT)
            proc.stdin.write((stdin_text or "").encode())
            proc.stdin.flush()
            while proc.poll() is None and time.monotonic() < start + 300:
                if not acted and trigger in read_text(log_path):
                    action(proc)
                    acted = True
                time.sleep(0.05)
            if proc.poll() is None:
                proc.kill()
            code = proc.wait()
            proc.stdin.close()
            out.seek(0)
            check(acted, "the log showed '%s'" % trigger)
            return code, out.read().decode("latin-1"), read_text(log_path), time.monotonic() - start

    def expect(self, want, args, tree=None, **kw):
        """Runs AutoRun and checks its exit code, then the installed folder against
        tree = (manifest, folder, "type/language"[, strict]). (ok, output, log, seconds)."""
        code, out, log, seconds = self.run(args, **kw)
        # A Unix parent gets the low 8 bits of a Windows exit code: a code above
        # 255 is taken whole from AutoRun's log.
        ok = check(code == EXIT[want] & 0xFF and (EXIT[want] < 256 or not kw.get("log", True) or
                                                   "exit code %d" % EXIT[want] in log),
                   "%s: exit %d, not %d (%s)" % (args, code, EXIT[want], want))
        if not ok:
            print(out[-3000:] + "\n" + log[-3000:])
        elif tree:
            expect_tree(self.prefix, *tree)
        return ok, out, log, seconds

    def c_folder(self, leaf, fresh=True):
        """A fresh folder on drive C: for one installation."""
        windows = "C:\\ZKE2E\\%s\\%s" % (self.name, leaf)
        if fresh:
            ar.remove(self.prefix.unix_path(windows))
        return windows


def expect_tree(prefix, manifest, folder, key, strict=True):
    """Not strict: the library's own copy, already in the folder, may be left out of the
    install log of a second installation into it."""
    report = ar.compare_tree(prefix.unix_path(folder), manifest["installs"][key])
    for line in ar.describe(report):
        print("   ", line)
    check(report["ok"] if strict else not (report["missing"] or report["different"] or
                                           report["extra"] or report["folders_missing"]),
          "installed tree %s in %s differs from the disc set" % (key, folder))


def rolled_back(s, folder, log):
    """A cancelled copy leaves nothing of the game behind."""
    check("has been removed" in log, "the rollback ran and ended")
    check(not os.path.exists(s.prefix.unix_path(folder)), "%s was removed" % folder)


# --- scenarios -------------------------------------------------------------------

def two_disc_install(s):
    """Two discs, chosen language, type and folder; then a second run without a folder
    goes into the earlier installation's folder and completes the full type."""
    m = s.discs()
    s.insert(m, "d", "e")
    folder = s.c_folder("first")
    ok, _, log, _ = s.expect("installed", ["/S", "/LANG=fr-fr", "/TYPE=1", "/DIR=" + folder],
                             (m, folder, "1/fr-fr"))
    check(ar.log_value(log, "language") == "French (fr-fr)", "language line in the log")
    if not ok:
        return
    ok, _, log, _ = s.expect("installed", ["/S", "/LANG=fr-fr"], (m, folder, "3/fr-fr", False))
    if ok:
        check(ar.log_value(log, "install folder") == folder, "the earlier folder was kept")
        check("copying from D:" in log, "the copy starts from disc 1")
        expected = m["installs"]["3/fr-fr"]["log"]
        check((ar.read_log(s.prefix.unix_path(folder)) or [])[:len(expected)] == expected,
              "the install log holds the set's entries")


def default_folder(s):
    """No folder, no language: the game's default folder and an offered language, with
    discs in the later drives; closed input in an interactive run: unattended answers."""
    m = s.discs(languages="en-us,de")
    s.insert(m, "e", "f")
    ok, _, log, _ = s.expect("installed", ["/SILENT", "/TYPE=minimum"])
    folder = ar.log_value(log, "install folder") or ""
    language = (ar.log_value(log, "language") or "").rpartition("(")[2].rstrip(")")
    if ok and check(folder.lower().startswith("c:\\program files\\vantorel\\") and
                    language in ("en-us", "de"), "folder %s, language %s" % (folder, language)):
        expect_tree(s.prefix, m, folder, "1/" + language)
    m = s.discs(languages="en-us")
    s.insert(m, "d", "e")
    ok, _, log, _ = s.expect("installed", [], stdin_text="")
    if ok and check("going on unattended" in log, "the switch to unattended answers is logged"):
        expect_tree(s.prefix, m, ar.log_value(log, "install folder"), "3/en-us")


def missing_discs(s):
    """The library would end with 0 when a disc request is given up: AutoRun ends with
    the disc code after a bounded wait; a disc put in meanwhile is used."""
    m = s.discs()
    _, _, log, seconds = s.expect("disc missing", ["/S", "/DISCWAIT=2"])
    check(seconds < 120 and "exit code 3" in log, "no disc 1: gave up in %.0f s" % seconds)
    s.insert(m, "d")
    folder = s.c_folder("nodisc2")
    _, _, log, seconds = s.expect("disc missing", ["/S", "/DISCWAIT=3", "/DIR=" + folder])
    check(seconds < 120, "no disc 2: gave up in %.0f s" % seconds)
    check("waiting up to 3 s for disc 2" in log and "giving up" in log, "the log tells the wait")
    rolled_back(s, folder, log)
    folder = s.c_folder("late")
    s.expect("installed", ["/S", "/DISCWAIT=120", "/DIR=" + folder], (m, folder, "3/en-us"),
             trigger="for disc 2", action=lambda proc: s.insert(m, "d", "e"))


def refusals(s):
    """Bad switches, unusable folders and too little space end before any copy; a
    trailing backslash and a type that fits are fine."""
    m = s.discs(languages="en-us", autorun={"InstallFull": "1000000000000000"})
    s.insert(m, "d", "e")
    # unit.autorun has the parser's refusals; then switches this disc or machine cannot serve
    for args in (["/BOGUS"], ["/S", "/LANG=xx"], ["/S", "/LANG=French"],
                 ["/S", "/TYPE=nostreaming"], ["/S", "/SOURCE=Q:\\nowhere"],
                 ["/S", "/LOG=Q:\\no\\such\\folder\\setup.log"]):
        _, out, _, _ = s.expect("bad command line", args, log=False)
        check(args[0] == "/S" or "Usage: AutoRun.exe" in out, "%s: usage shown" % args)
    _, out, _, _ = s.expect("installed", ["/?"], log=False)
    check("/DISCWAIT" in out, "/? prints the usage")
    # one folder per verdict (api.paths has their cases), a disc and a missing drive
    for folder in ("Games\\ZK", "C:\\windows\\ZK Game", "C:\\Games\\A|B", "C:\\" + "x" * 130,
                   "D:\\Game", "Q:\\Game"):
        _, _, log, _ = s.expect("bad destination", ["/S", "/TYPE=1", "/DIR=" + folder])
        check("copy ended" not in log, "%s: no copy started" % folder)
    folder = s.c_folder("space")
    s.expect("no space", ["/S", "/DIR=" + folder])
    check(not os.path.exists(s.prefix.unix_path(folder)), "nothing was created")
    s.expect("installed", ["/S", "/TYPE=1", "/DIR=" + folder + "\\"], (m, folder, "1/en-us"))


def copy_failure(s):
    """A listed file is missing from disc 1: retried a few times, then given up."""
    m = s.discs(languages="en-us")
    lost = next(f["path"] for f in m["installs"]["1/en-us"]["files"] if f["origin"] == "disc1")
    os.unlink(os.path.join(m["root"], "Disk1", *lost.split("\\")))
    s.insert(m, "d", "e")
    folder = s.c_folder("copyfail")
    _, _, log, _ = s.expect("copy failed", ["/S", "/DIR=" + folder])
    check(log.count("answer: Retry") == 3, "three retries of the lost file")
    check("answer: Cancel" in log and "answer: Yes" in log, "gave up and confirmed the quit")
    rolled_back(s, folder, log)


def destination_full(s):
    """A drive with room for the size the disc declares but not for what it holds: the
    copy fails part-way, AutoRun says the drive is full without retrying, rolls back
    and ends with the no-space code, leaving the drive empty."""
    m = s.discs(languages="en-us")
    needed = sum(f["size"] for f in m["installs"]["3/en-us"]["files"])
    # Room for about 90 % of the files (tmpfs counts whole pages); the disc claims
    # a little less than the empty drive offers, so the check before the copy passes.
    room = (needed * 9 // 10) // 4096 * 4096
    for disc in os.listdir(m["root"]):
        cfg = os.path.join(m["root"], disc, "AutoRun", "autorun.cfg")
        if os.path.isfile(cfg):
            text = re.sub(r"(?m)^(InstallFull\s*=).*$", r"\g<1>%d" % (room - 65536),
                          read_text(cfg))
            with open(cfg, "w", encoding="latin-1", newline="") as f:
                f.write(text)
    mount = os.path.join(s.work, "small drive")
    os.makedirs(mount)
    if subprocess.run(["mount", "-t", "tmpfs", "-o", "size=%d" % room, "zke2e", mount],
                      capture_output=True).returncode != 0:
        print("SKIPPED: a small drive needs a tmpfs mount (root)")
        return
    drive = os.path.join(s.prefix.root, "dosdevices", "g:")
    try:
        ar.remove(drive)
        os.symlink(mount, drive)
        s.insert(m, "d", "e")
        _, _, log, _ = s.expect("no space", ["/S", "/TYPE=full", "/DIR=G:\Vantorel\Game"])
        check("answer: Retry" not in log and "is full" in log, "no retries on a full drive")
        check("copy ended" in log and "%" in log, "the copy had started")
        check(os.listdir(mount) == [], "the rollback emptied the drive: %s" % os.listdir(mount))
    finally:
        ar.remove(drive)
        subprocess.run(["umount", mount])


def interactive(s):
    """Typed answers: quitting at the disc prompt, Ctrl+C during the copy, and a whole
    installation whose progress ends at exactly 100 % (the set's sizes are those of its
    first language)."""
    m = s.discs()
    s.insert(m, "d")
    # folder, Enter for the group and for yes, Cancel at the disc prompt, Yes to quit
    _, out, _, _ = s.expect("cancelled", ["/TYPE=full", "/LANG=en-us"],
                            stdin_text="%s\n\n\nc\n1\n" % s.c_folder("quit"))
    check("disc 2" in out, "the disc prompt names the disc")
    # The copy thread waits a second before it starts: the interrupt lands inside the copy.
    s.insert(m, "d", "e")
    _, _, log, _ = s.expect("cancelled", ["/TYPE=full", "/LANG=en-us", "/DIR=" + s.c_folder("c")],
                            stdin_text="\n\ny\n", trigger="Copying the game files",
                            action=lambda proc: os.kill(proc.pid, signal.SIGINT))
    check("the user cancels the installation" in log, "the cancel question was answered")
    check("cancel flag 1" in log, "the copy thread was told to stop")
    rolled_back(s, s.c_folder("c", fresh=False), log)
    folder = s.c_folder("interactive")
    _, out, _, _ = s.expect("installed", ["/LANG=en-us"], (m, folder, "1/en-us"),
                            stdin_text="1\n%s\n\n\n" % folder)
    check(re.search(r"\[#{20}\] 100[.,]0%", out), "the progress bar reached its end")
    check(folder in out, "the chosen folder was confirmed")


def other_sources(s):
    """Discs copied to "Disk Images\\DiskN" folders and named by /SOURCE; then
    AutoRun.exe started from disc 1 in F:, the drive the library searches last."""
    m = s.discs()
    images = "C:\\ZKE2E\\%s\\Disk Images" % s.name
    ar.remove(s.prefix.unix_path(images))
    shutil.copytree(m["root"], s.prefix.unix_path(images),
                    ignore=shutil.ignore_patterns("expected", "*.json"))
    folder = s.c_folder("images")
    s.expect("installed", ["/S", "/DISCWAIT=5", "/LANG=en-us", "/DIR=" + folder,
                           "/SOURCE=" + images + "\\Disk1"], (m, folder, "3/en-us"))
    m = s.discs(languages="en-us", programs=True)
    s.insert(m, "f", "e")
    folder = s.c_folder("fromdisc")
    _, _, log, _ = s.expect("installed", ["/S", "/DIR=" + folder], (m, folder, "3/en-us"),
                            program="F:\\AutoRun.exe")
    check("source: F:\\" in log, "the program's own disc is the source")
    check(os.path.isfile(s.prefix.unix_path(folder + "\\ZKUninstall.exe")),
          "the uninstaller from beside AutoRun.exe was placed")


def prerequisites(s):
    """A disc carrying a DirectX setup that asks for a restart: declined after its
    licence interactively; /S installs it, the licence taken as accepted, and with
    /NORESTART ends with 3010 and a run-once link. The restart is simulated by running
    the link's program with its arguments: that run finishes the installation (the
    game's own installer, which waits for the restart) and, /RUN carried over, starts
    the game. /NOPREREQS leaves DirectX alone."""
    fixture = os.path.join(s.prefix.build, "bin", "zkfixture.exe")
    m = s.discs(autorun={"DirectXVersion": "9.0c"}, executable_from=fixture)
    directx = os.path.join(m["root"], "Disk1", "DirectX")
    os.makedirs(directx, exist_ok=True)
    shutil.copy(os.path.join(s.prefix.build, "bin", "dsetup", "v904", "dsetup.dll"), directx)
    with open(os.path.join(directx, "dsetup.ini"), "w") as f:
        f.write("[dsetup]\nSetupResult=1\n[eula]\n9=ZK licence of DirectX\n")
    calls = os.path.join(directx, "dsetup.log")
    shutil.copy(fixture, os.path.join(m["root"], "Disk2", "zke2e_inst.exe"))
    inst, game = os.path.join(s.work, "inst.txt"), os.path.join(s.work, "game.txt")
    exe = m["options"]["executable"]
    os.environ["ZKFIXTURE_PLAN_zke2e_inst"] = "record=Z:" + inst.replace("/", "\\")
    os.environ["ZKFIXTURE_PLAN_" + exe[:-4]] = "record=Z:%s|sleep=6000" % game.replace("/", "\\")
    s.insert(m, "d", "e")
    # Interactive: the licence is shown and No leaves DirectX out; the game installs.
    folder = s.c_folder("declined")
    _, out, log, _ = s.expect("installed", ["/LANG=en-us", "/TYPE=full", "/DIR=" + folder],
                              (m, folder, "3/en-us"), stdin_text="\n\nn\n")
    check("ZK licence of DirectX" in out and "DirectX was not installed" in log,
          "the licence was shown and the refusal kept")
    check("DirectXSetupA(" not in read_text(calls), "no DirectX setup after No")
    check("the game is not started" in log and not os.path.exists(game),
          "closed input does not start the game")

    ar.remove(inst)
    folder = s.c_folder("directx")
    _, _, log, _ = s.expect("restart required", ["/S", "/NORESTART", "/RUN", "/DIR=" + folder],
                            (m, folder, "3/en-us"))
    check("DirectXSetupA(" in read_text(calls), "the DirectX setup ran: %r" % read_text(calls))
    for said in ("DirectX licence accepted", "DirectX has been installed",
                 "Windows must be restarted", "no restart: /NORESTART"):
        check(said in log, "the log says '%s'" % said)
    check(not os.path.exists(inst) and not os.path.exists(game),
          "neither the game's own installer nor the game ran before the restart")
    app_paths = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\" + exe
    restart_value = lambda: s.prefix.run("reg.exe", ["query", app_paths, "/v", "Restart"])[1]
    check(re.search(r"Restart\s+REG_DWORD\s+0x1\b", restart_value()), "the restart is recorded")
    links = restart_links(s.prefix)
    if check([os.path.basename(p) for p in links] == ["ZK_RESTART_001.lnk"], "links: %s" % links):
        fields = lnk_fields(links[0])
        target, arguments = fields.get("Local path", ""), fields.get("Command line arguments", "")
        check(target.lower().endswith("\\bin\\autorun.exe") and
              fields.get("Working directory", "").lower().endswith("\\bin") and
              arguments.startswith("/S /NORESTART /RUN ") and
              arguments.endswith(" -restart -dir D:\\"), "the link: %s" % fields)
        # As the logon after the restart would: no argument here needs quotes.
        check('"' not in arguments, "plain arguments: %s" % arguments)
        code, out, _ = s.prefix.run(target, arguments.split())
        log = read_text(os.path.join(s.work, "autorun%d.log" % s.serial))
        if not check(code == EXIT["installed"], "the run after the restart: exit %d" % code):
            print(out[-3000:] + "\n" + log[-3000:])
        check(not restart_links(s.prefix), "the run-once link is gone")
        for said in ("an installation is pending", "Finishing the installation",
                     "the installation the restart interrupted is finished", "game started"):
            check(said in log, "the log says '%s'" % said)
        check("end zke2e_inst" in read_text(inst), "the game's own installer ran after the restart")
        check("start " + exe[:-4] in read_text(game), "the game was started")
        check(re.search(r"Restart\s+REG_DWORD\s+0x0\b", restart_value()), "the restart is done")
        expect_tree(s.prefix, m, folder, "3/en-us")

    ar.remove(calls)
    folder = s.c_folder("noprereqs")
    _, _, log, _ = s.expect("installed", ["/S", "/NOPREREQS", "/DIR=" + folder],
                            (m, folder, "3/en-us"))
    check(not os.path.exists(calls) and "prerequisites skipped" in log,
          "/NOPREREQS ran no setup")


def shortcuts(s):
    """In a Windows XP prefix: /S with /GROUP= fills that Start-menu group (the game's
    link read back with lnkinfo) and makes the desktop link; /NODESKTOP leaves the
    desktop alone; a group the library refuses is a bad command line."""
    m = s.discs()
    s.insert(m, "d", "e")
    folder = s.c_folder("links")
    _, _, log, _ = s.expect("installed", ["/S", "/GROUP=ZK Links", "/DIR=" + folder],
                            (m, folder, "3/en-us"))
    made = re.search(r"Start-menu entries made in (.+)", log)
    group = made.group(1).strip() if made else ""
    links = [n for n in os.listdir(s.prefix.unix_path(group)) if n.lower().endswith(".lnk")] \
        if group and os.path.isdir(s.prefix.unix_path(group)) else []
    check("\\ZK Links\\" in group and links, "the group %r holds links %s" % (group, links))
    game = [n for n in links if n[:-4] == m["options"]["name"]]
    if check(game, "the game's own link among %s" % links):
        info = subprocess.run(["lnkinfo", os.path.join(s.prefix.unix_path(group), game[0])],
                              capture_output=True, text=True, errors="replace").stdout
        check(m["options"]["executable"].lower() in info.lower(), "the game's link targets its program")
    check("desktop shortcut made" in log, "the desktop link was made")
    _, _, log, _ = s.expect("installed", ["/S", "/NODESKTOP", "/DIR=" + s.c_folder("nodesk")])
    check("desktop shortcut made" not in log, "/NODESKTOP made no desktop link")
    s.expect("bad command line", ["/S", "/GROUP=..", "/DIR=" + s.c_folder("badgroup")])


def addons(s):
    """The game's own installer (a *_inst.exe) on the disc the copy ends with runs
    after the copy, with the installation's facts as quoted arguments; a failing
    one leaves the installed game as it is."""
    m = s.discs()
    shutil.copy(os.path.join(s.prefix.build, "bin", "zkfixture.exe"),
                os.path.join(m["root"], "Disk2", "zke2e_inst.exe"))
    record = os.path.join(s.work, "inst.txt")
    os.environ["ZKFIXTURE_PLAN_zke2e_inst"] = "record=Z:%s|exit=3" % record.replace("/", "\\")
    s.insert(m, "d", "e")
    folder = s.c_folder("addons folder")
    _, _, log, _ = s.expect("installed", ["/S", "/DIR=" + folder], (m, folder, "3/en-us"))
    check("no Start-menu entries or desktop shortcut" in log, "no links claimed on Vista")
    ran = read_text(record)
    check("start zke2e_inst" in ran and "end zke2e_inst 3" in ran, "the installer ran: %r" % ran)
    check(('"%s"' % folder).lower() in ran.lower(), "the install folder is passed quoted")


def reg_text(exported):
    """A value of a registry export as text: strings unquoted, dwords as numbers."""
    if exported.startswith("dword:"):
        return str(int(exported[6:], 16))
    return exported[1:-1].replace('\\"', '"').replace("\\\\", "\\")


def machine(prefix):
    return (prefix.snapshot_c(), prefix.export_registry("HKLM\\SOFTWARE"),
            prefix.export_registry("HKCU"))


def uninstall(s):
    """A three-disc game installed with /S /NORESTART, used, then removed by the command of
    its Uninstall entry as Windows starts it (the stored path unquoted, a long-named
    temporary folder): drive C: and the registry are as before but for the user's files
    and what the uninstaller keeps by design; the game's own uninstall program on the disc
    gets the installation's facts."""
    family = "ZK E2E Family"
    m = s.discs(discs=3, autorun={"RegistryLnk": family})
    exe, guid = m["options"]["executable"], m["options"]["guid"]
    # Every disc carries the game's own uninstall program: the uninstaller looks on
    # the one the installation ended with.
    for disc in m["discs"]:
        os.makedirs(os.path.join(m["root"], disc, "Support"), exist_ok=True)
        shutil.copy(os.path.join(s.prefix.bin, "zkfixture.exe"),
                    os.path.join(m["root"], disc, "Support", "zke2e_uninst.exe"))
    record = os.path.join(s.work, "uninst.txt")
    os.environ["ZKFIXTURE_PLAN_zke2e_uninst"] = "record=Z:" + record.replace("/", "\\")
    s.insert(m, "d", "e", "f")
    publisher = s.c_folder("Vantorel Games")
    folder, outside = publisher + "\\Zone Keeper Removed", s.c_folder("Outside")
    temp = "C:\\ZKE2E Temporary Folder Of The Uninstaller"
    ar.remove(s.prefix.unix_path(temp))
    before = machine(s.prefix)
    ok, _, _, _ = s.expect("installed", ["/S", "/NORESTART", "/DIR=" + folder],
                           (m, folder, "3/en-us"))
    hklm = s.prefix.export_registry("HKLM\\SOFTWARE")
    root = "hkey_local_machine\\software\\"
    app = root + "microsoft\\windows\\currentversion\\app paths\\" + exe.lower()
    game = "hkey_local_machine\\" + reg_text(hklm.get(app, {}).get("game registry", '""')).lower()
    entry = root + "microsoft\\windows\\currentversion\\uninstall\\" + guid.lower()
    shared = root + "vantorel\\zk core\\installed games"
    keys = {"App Paths": app, "game key": game, "version key": game + "\\1.0",
            "Uninstall entry": entry,
            "shared-list entry": "%s\\%s\\%s" % (shared, family.lower(), exe.lower())}
    for what, key in keys.items():
        ok = check(key in hklm, "the installation wrote the %s %s" % (what, key)) and ok
    if not ok:
        return
    facts = [reg_text(hklm[game][v]) for v in ("installed from", "install dir", "folder")]
    facts.append(reg_text(hklm[game + "\\1.0"]["language"]))
    made = set(s.prefix.snapshot_c()) - set(before[0])
    links = [p for p in made if p.lower().endswith(".lnk")]
    xp = s.prefix.name == "xp"
    check(bool(links) == xp and (not xp or any("\\desktop\\" in p.lower() for p in links)),
          "the group and desktop links exist only on XP: %s" % links)

    # The player's own files, and a link inside a folder the log removes as a tree.
    kept = [folder + "\\Saves1\\slot1.sav", publisher + "\\publisher.txt",
            publisher + "\\Other Game\\game.dat", outside + "\\keep.txt"]
    for path in kept:
        os.makedirs(os.path.dirname(s.prefix.unix_path(path)), exist_ok=True)
        with open(s.prefix.unix_path(path), "w") as f:
            f.write("the player's " + path)
    os.symlink(s.prefix.unix_path(outside), s.prefix.unix_path(folder + "\\Maps1\\Linked"))
    os.makedirs(s.prefix.unix_path(temp))
    planted = s.prefix.snapshot_c()

    command = reg_text(hklm[entry].get("uninstallstring", '""'))
    check(command == folder + "\\ZKUninstall.exe", "the stored command %r" % command)
    start = [os.path.join(s.prefix.bin, "zkfixture.exe"), "--set", "TEMP=" + temp, "--set",
             "TMP=" + temp, "--start"]
    code, out, _ = s.prefix.run(start[0], start[1:] + [command], stdin_text="n\n")
    check(code == 1 and "Remove " in out and not os.listdir(s.prefix.unix_path(temp)),
          "No to the question: exit %d, nothing done: %s" % (code, out))
    log = os.path.join(s.work, "uninstall.log")
    args = " /S" if xp else ""
    code, out, _ = s.prefix.run(start[0], start[1:] + [
        command + args + " /LOG=" + "Z:" + log.replace("/", "\\")], stdin_text="y\n")
    s.prefix.wait_idle()
    told = read_text(log)
    print(told)
    check(code == 0 and "(relaunched)" in told and "has been removed" in told,
          "the uninstaller ran from the temporary folder (exit %d)" % code)

    # Drive C: as before, plus the player's files with their folders; the temporary
    # folder keeps the uninstaller's copies.
    after = machine(s.prefix)
    survivors = set()
    for path in kept:
        while len(path) > 3:
            survivors.add(path)
            path = path.rpartition("\\")[0]
    inside_temp = lambda p: p.lower().startswith(temp.lower() + "\\")
    expected = dict(before[0])
    expected.update({p: planted[p] for p in survivors | {temp}})
    got = {p: v for p, v in after[0].items() if not inside_temp(p)}
    # The link goes on Windows; Wine 8 removes no Unix symlink through the Windows calls
    # (RemoveDirectory answers "not empty" for the target's content), so it and its
    # folder may stay here.
    link_chain = {folder + "\\Maps1", folder + "\\Maps1\\Linked"}
    for p in sorted(set(expected) | set(got)):
        check(expected.get(p) == got.get(p) or (p in link_chain and got.get(p) == planted[p]),
              "%s: %s after, %s expected" % (p, got.get(p), expected.get(p)))
    for name in ("ZKUninstall.exe", "ZKInstall.dll", "zke2e_uninst.exe"):
        check(temp + "\\" + name in after[0], "the temporary copy %s" % name)
    # The registry as before, but for the shared list's own keys and Wine's own
    # settings (its volatile "Temporary System Parameters" come and go by themselves).
    wine = "hkey_current_user\\software\\wine"
    for old, new in zip(before[1:], after[1:]):
        for key in sorted(set(old) | set(new)):
            if key not in old and (shared + "\\").startswith(key + "\\") and not new[key]:
                continue
            if (key + "\\").startswith(wine + "\\"):
                continue
            check(old.get(key) == new.get(key), "registry %s: %s after, %s before" % (
                key, new.get(key), old.get(key)))
    for what, key in keys.items():
        check(key not in after[1], "the %s is gone" % what)
    ran = read_text(record)
    argv = [line.partition(": ")[2] for line in ran.splitlines() if re.match(r"arg\d", line)]
    check(ran.count("start zke2e_uninst") == 1 and argv == facts,
          "the game's uninstall program got %s, not %s" % (argv, facts))


SCENARIOS = {f.__name__: f for f in (two_disc_install, default_folder, missing_discs, refusals,
                                     copy_failure, destination_full, interactive, other_sources,
                                     prerequisites, shortcuts, addons, uninstall)}


def main(argv):
    if len(argv) != 3 or argv[2] not in SCENARIOS:
        print("usage: autorun_e2e.py BUILD_DIR {%s}" % ",".join(SCENARIOS))
        return 2
    scenario = Scenario(argv[1], argv[2])
    try:
        SCENARIOS[argv[2]](scenario)
    finally:
        scenario.prefix.eject_all()
        remove_restart_links(scenario.prefix)
    for f in failures:
        print("FAILED:", f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
