"""Runs AutoRun.exe under Wine against a generated disc set and checks the result.

Shared by the end-to-end tests, the demo and the benchmark:

  WinePrefix      a prefix of the build's wine-run.sh (its CD-ROM drives D: E: F:
                  are folders that discs are put into and taken out of)
  make_discs()    tools/make_discs.py into a folder, returns its manifest
  start_display() a virtual X display (Xvfb) for the window tests
  compare_tree()  the installed folder against what the manifest says an
                  installation of one type and language must give
  snapshot_c()    drive C: (without the Windows and temporary folders) and
  export_registry()  a registry tree, to compare a machine before and after

The verdict never trusts AutoRun's own report: it reads the files back.
"""
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
MAKE_DISCS = os.path.join(HERE, "make_discs.py")


class WinePrefix:
    """One Wine prefix of a build folder, as build/<dir>/wine-run.sh sets it up."""

    def __init__(self, build_dir, name):
        self.build = os.path.abspath(build_dir)
        self.name = name
        self.run_sh = os.path.join(self.build, "wine-run.sh")
        self.root = os.path.join(self.build, "wine", name)
        self.discs = os.path.join(self.build, "wine", "discs", name)
        self.bin = os.path.join(self.build, "bin")

    def env(self):
        env = dict(os.environ)
        env["ZK_WINE_PREFIX"] = self.name
        return env

    def reset(self):
        """Throws the prefix away; the next run boots a fresh one."""
        if os.path.isdir(self.root):
            subprocess.run(["/usr/lib/wine/wineserver", "-k"],
                           env=dict(self.env(), WINEPREFIX=self.root),
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for path in (self.root, self.discs):
            remove(path)

    def boot(self):
        """Boots the prefix (once) and mounts its CD-ROM drives."""
        subprocess.run([self.run_sh, "cmd.exe", "/c", "exit"], env=self.env(),
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)

    def keep_server(self, on):
        """Keeps the prefix's wineserver running between programs (on), or ends
        it (off), so that timed runs do not pay for its start."""
        server = dict(self.env(), WINEPREFIX=self.root)
        subprocess.run(["/usr/lib/wine/wineserver", "-p" if on else "-k"], env=server,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def drive_folder(self, letter):
        return os.path.join(self.discs, letter.lower())

    def insert(self, letter, disc_folder):
        """Puts a disc into a drive: the drive's folder becomes a link to it."""
        target = self.drive_folder(letter)
        remove(target)
        os.symlink(os.path.abspath(disc_folder), target)

    def eject(self, letter):
        """Leaves the drive without a medium."""
        remove(self.drive_folder(letter))

    def eject_all(self):
        for letter in "def":
            self.eject(letter)

    def unix_path(self, windows_path):
        """C:\\x\\y -> <prefix>/drive_c/x/y (only drive C: is needed)."""
        drive, _, rest = windows_path.partition(":")
        if drive.lower() != "c":
            raise ValueError("not on drive C: " + windows_path)
        parts = [p for p in rest.split("\\") if p]
        return os.path.join(self.root, "drive_c", *parts)

    def run(self, program, args, stdin_text=None, timeout=900, cwd=None):
        """Runs a Windows program; returns (exit code, output, seconds).

        With stdin_text the program reads that text and then the end of its
        input; without it, its input stays open and silent until it ends, so
        a program that waits for input hangs (and times out) instead of
        reading an end it would not get from a person.
        """
        # Output goes through files, not pipes: services that Wine starts for
        # the program inherit its handles and would hold a pipe open for
        # seconds after the program has ended.
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as inp:
            stdin = subprocess.PIPE
            if stdin_text is not None:
                inp.write(stdin_text.encode("latin-1"))
                inp.seek(0)
                stdin = inp
            start = time.monotonic()
            proc = subprocess.Popen([self.run_sh, program] + list(args), env=self.env(),
                                    stdin=stdin, stdout=out, stderr=subprocess.STDOUT,
                                    cwd=cwd or self.bin)
            try:
                code = proc.wait(timeout=timeout)
            except subprocess.TimeoutExpired:
                proc.kill()
                proc.wait()
                raise
            finally:
                if proc.stdin:
                    proc.stdin.close()
            seconds = time.monotonic() - start
            out.seek(0)
            return code, out.read().decode("latin-1"), seconds

    def autorun(self, args, **kw):
        return self.run(os.path.join(self.bin, "AutoRun.exe"), args, **kw)

    def draw_title_bars(self):
        """With no window manager on a virtual display, Wine draws the title bars
        itself; their buttons' symbols come from Wine's own Marlett font (Debian's
        fonts-wine), which this Wine finds only in the Windows fonts folder."""
        self.run("reg", ["add", "HKCU\\Software\\Wine\\X11 Driver", "/v", "Decorated", "/d", "N",
                         "/f"])
        marlett = "/usr/share/wine/fonts/marlett.ttf"
        if os.path.exists(marlett):
            shutil.copy(marlett, os.path.join(self.root, "drive_c", "windows", "Fonts"))

    def wait_idle(self, timeout=300):
        """Waits until every program of the prefix has ended (and its wineserver)."""
        subprocess.run(["/usr/lib/wine/wineserver", "-w"],
                       env=dict(self.env(), WINEPREFIX=self.root),
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=timeout)

    def snapshot_c(self):
        """Drive C: as {Windows path: ("file", size, mtime) | ("folder",) | ("link", target)},
        without the Windows folder and the users' temporary folders.  Links are not
        followed (the profile folders link into the Linux home)."""
        root = os.path.join(self.root, "drive_c")
        skipped = re.compile(r"^(windows|users/[^/]+/(temp|appdata/local/temp))$", re.I)
        snapshot = {}
        for folder, dirs, files in os.walk(root):
            below = []
            for name in sorted(dirs) + sorted(files):
                full = os.path.join(folder, name)
                rel = os.path.relpath(full, root).replace(os.sep, "/")
                key = "C:\\" + rel.replace("/", "\\")
                if os.path.islink(full):
                    snapshot[key] = ("link", os.readlink(full))
                elif name in dirs:
                    if not skipped.match(rel):
                        snapshot[key] = ("folder",)
                        below.append(name)
                else:
                    st = os.lstat(full)
                    snapshot[key] = ("file", st.st_size, int(st.st_mtime))
            dirs[:] = below
        return snapshot

    def export_registry(self, key):
        """`reg export` of a key, parsed: {key path (lower case): {value name (lower
        case, "@" for the default): value as exported}}."""
        with tempfile.TemporaryDirectory() as work:
            path = os.path.join(work, "export.reg")
            code, out, _ = self.run("reg", ["export", key, "Z:" + path.replace("/", "\\"), "/y"])
            if code != 0:
                raise RuntimeError("reg export %s: %s" % (key, out))
            with open(path, "rb") as f:
                text = f.read().decode("utf-16")
        tree, values = {}, None
        for line in re.sub(r"\\\r?\n\s*", "", text).splitlines():
            if line.startswith("[") and line.endswith("]"):
                values = tree.setdefault(line[1:-1].lower(), {})
            elif values is not None and "=" in line:
                named = re.match(r'^"((?:[^"\\]|\\.)*)"=(.*)$', line)
                if named:
                    values[named.group(1).replace("\\\\", "\\").lower()] = named.group(2)
                elif line.startswith("@="):
                    values["@"] = line[2:]
        return tree


def start_display(display):
    """Starts Xvfb on `display` (":91"): (process, None), or (None, why not)."""
    if not shutil.which("Xvfb"):
        return None, "Xvfb is not installed (scripts/setup adds it)"
    xvfb = subprocess.Popen(["Xvfb", display, "-screen", "0", "800x600x24", "-nolisten", "tcp"],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    for _ in range(50):
        if os.path.exists("/tmp/.X11-unix/X" + display[1:]):
            return xvfb, None
        if xvfb.poll() is not None:
            break
        time.sleep(0.1)
    xvfb.kill()
    xvfb.wait()
    return None, "the virtual display %s did not start" % display


def remove(path):
    if os.path.islink(path) or os.path.isfile(path):
        os.unlink(path)
    elif os.path.isdir(path):
        shutil.rmtree(path)


def make_discs(out, config=None, **options):
    """Writes a disc set with tools/make_discs.py and returns its manifest."""
    cmd = [sys.executable, MAKE_DISCS, "--out", out]
    if config is not None:
        path = out.rstrip("/") + ".json"
        with open(path, "w") as f:
            json.dump(config, f)
        cmd += ["--config", path]
    for key, value in options.items():
        cmd += ["--" + key.replace("_", "-"), str(value)]
    subprocess.run(cmd, check=True)
    with open(os.path.join(out, "manifest.json")) as f:
        return json.load(f)


def crc32_of(path):
    crc = 0
    with open(path, "rb") as f:
        while True:
            block = f.read(1 << 20)
            if not block:
                return crc & 0xFFFFFFFF
            crc = zlib.crc32(block, crc)


def read_log(install_root):
    """The installation's own log (filelist.txt), one entry a line."""
    path = os.path.join(install_root, "filelist.txt")
    if not os.path.isfile(path):
        return None
    with open(path, "rb") as f:
        text = f.read().decode("latin-1")
    return [line for line in text.replace("\r\n", "\n").split("\n") if line]


# Registering the game places the uninstaller and the library in the install
# folder and logs them ("0,0,<name>"): not part of the disc set.
PLACED_BY_REGISTRATION = ("ZKUninstall.exe", "ZKInstall.dll")


def compare_tree(install_root, expected):
    """Compares an installed folder with one manifest entry ("installs"/"T/prefix").

    Returns a report: counts and bytes expected and found, the lists of what
    is missing, different or extra, and the uninstaller files that the
    registration placed.
    """
    report = {"files_expected": len(expected["files"]), "bytes_expected": 0,
              "files_ok": 0, "bytes_ok": 0, "missing": [], "different": [], "extra": [],
              "folders_missing": [], "log_expected": len(expected["log"]), "log_found": 0,
              "log_matches": False, "placed": [], "placed_unlogged": []}
    want = {}
    for entry in expected["files"]:
        want[entry["path"].lower()] = entry
        report["bytes_expected"] += entry["size"]
    seen = set()
    for folder, _, files in os.walk(install_root):
        for name in files:
            full = os.path.join(folder, name)
            rel = os.path.relpath(full, install_root).replace("/", "\\")
            if rel.lower() == "filelist.txt":
                continue
            if rel in PLACED_BY_REGISTRATION and rel.lower() not in want:
                report["placed"].append(rel)
                continue
            entry = want.get(rel.lower())
            if entry is None:
                report["extra"].append(rel)
                continue
            seen.add(rel.lower())
            size = os.path.getsize(full)
            if size == entry["size"] and "%08x" % crc32_of(full) == entry["crc32"]:
                report["files_ok"] += 1
                report["bytes_ok"] += size
            else:
                report["different"].append(rel)
    report["missing"] = sorted(e["path"] for k, e in want.items() if k not in seen)
    for folder in expected["folders"]:
        if not os.path.isdir(os.path.join(install_root, *folder.split("\\"))):
            report["folders_missing"].append(folder)
    log = read_log(install_root)
    if log is not None:
        report["log_found"] = len(log)
        copied, tail = log[:len(expected["log"])], log[len(expected["log"]):]
        logged = [line[4:] for line in tail if line.startswith("0,0,")]
        report["placed_unlogged"] = [n for n in report["placed"] if n not in logged]
        report["log_matches"] = (copied == expected["log"] and
                                 sorted(logged) == sorted(report["placed"]) and
                                 len(logged) == len(tail))
    report["ok"] = (not report["missing"] and not report["different"] and not report["extra"]
                    and not report["folders_missing"] and report["log_matches"])
    return report


def describe(report, limit=10):
    """A few lines that say what differs, for a failed check."""
    lines = ["files %d/%d, bytes %d/%d, install log %d lines (%s)" % (
        report["files_ok"], report["files_expected"], report["bytes_ok"],
        report["bytes_expected"], report["log_found"],
        "as expected" if report["log_matches"] else "differs from the expected %d" %
        report["log_expected"])]
    for key in ("missing", "different", "extra", "folders_missing"):
        if report[key]:
            shown = ", ".join(report[key][:limit])
            more = " and %d more" % (len(report[key]) - limit) if len(report[key]) > limit else ""
            lines.append("%s: %s%s" % (key.replace("_", " "), shown, more))
    return lines


def log_value(host_log_text, key):
    """The value of the last "key: value" line of AutoRun's log."""
    value = None
    for line in host_log_text.splitlines():
        marker = " " + key + ": "
        at = line.find(marker)
        if at >= 0:
            value = line[at + len(marker):]
    return value
