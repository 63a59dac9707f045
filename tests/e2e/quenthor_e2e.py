"""Quenthor end to end under Wine: the real Quenthor.exe on a Wine desktop of
its own, driven from outside by QuenthorDriver.exe (tests/driver).

    with Session.from_args() as session:
        app = session.start_quenthor()
        session.driver("wait-window", MAIN_TITLE, "30")
        print(session.driver("list").stdout)
        session.screenshot("shot.png")

A session
- uses the display in DISPLAY, or starts an Xvfb of its own and stops it;
- runs every Wine process with the project's environment (tests/wine/wine-env:
  the private prefix, LC_ALL=zh_CN.UTF-8, no proxies);
- opens a virtual desktop `wine explorer /desktop=NAME,1280x1024`, which stands
  in for a window manager, and starts programs on it through the driver, which
  keeps each program's process handle and reports its Windows pid and exit code;
- at the end ends the programs it started that still run (by their pid, through
  the driver), after which the desktop closes by itself; it kills nothing else.

Programs share the prefix's lock file and registry, so tests using a session
run one at a time (CTest: RESOURCE_LOCK quenthor_prefix).
"""

import argparse
import os
import subprocess
import sys
import tempfile
import time
import unittest

MAIN_TITLE = "Quenthor - by Pellucor v2.0"
HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE_DIR = os.path.dirname(os.path.dirname(HERE))
WINE_ENV = os.path.join(SOURCE_DIR, "tests", "wine", "wine-env")


def wine_environment(prefix):
    """The environment tests/wine/wine-env gives Wine processes."""
    script = '. "$1" "$2" >/dev/null 2>&1; env -0'
    out = subprocess.run(["bash", "-c", script, "sh", WINE_ENV, prefix],
                         check=True, capture_output=True).stdout
    env = {}
    for item in out.split(b"\0"):
        if b"=" in item:
            key, _, value = item.partition(b"=")
            env[key.decode()] = value.decode(errors="replace")
    return env


class Program:
    """A Windows program started on the session's desktop by `driver run`."""

    def __init__(self, popen, title):
        self.popen = popen
        self.pid = None        # Windows pid
        self.shown_ms = None   # from process creation to a shown window titled `title`
        self.exit_code = None
        line = self._line(60)
        if not line.startswith("pid "):
            raise RuntimeError("the program did not start: %r" % line)
        self.pid = int(line.split()[1])
        self._title = title

    def _line(self, timeout):
        # The driver writes a few short lines; reading blocks until one comes.
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            line = self.popen.stdout.readline()
            if line:
                return line.strip()
            if self.popen.poll() is not None:
                return ""
        return ""

    def wait_shown(self, timeout=60):
        """Milliseconds from start to the window shown, or None."""
        if self.shown_ms is None:
            line = self._line(timeout)
            if line.startswith("shown "):
                self.shown_ms = int(line.split()[1])
            elif line.startswith("exit "):
                self.exit_code = int(line.split()[1])
        return self.shown_ms

    def wait_exit(self, timeout=60):
        """The program's exit code, or None if it still runs after `timeout`."""
        deadline = time.monotonic() + timeout
        while self.exit_code is None and time.monotonic() < deadline:
            line = self._line(deadline - time.monotonic())
            if line.startswith("exit "):
                self.exit_code = int(line.split()[1])
            elif line.startswith("shown "):
                self.shown_ms = int(line.split()[1])
            elif not line and self.popen.poll() is not None:
                break
        if self.exit_code is not None:
            self.popen.wait(timeout=30)
        return self.exit_code

    def running(self):
        return self.exit_code is None and self.popen.poll() is None


class Session:
    def __init__(self, exe, driver_exe, prefix, desktop=None, size="1280x1024"):
        self.exe = os.path.abspath(exe)
        self.driver_exe = os.path.abspath(driver_exe)
        self.prefix = os.path.abspath(prefix)
        self.desktop = desktop or "QuenthorE2E%d" % os.getpid()
        self.size = size
        self.env = None
        self.programs = []
        self._xvfb = None
        self._explorer = None

    @classmethod
    def from_args(cls, argv=None):
        """A session from --exe, --driver and --prefix; the other arguments are
        left in sys.argv (for unittest)."""
        parser = argparse.ArgumentParser()
        parser.add_argument("--exe", required=True)
        parser.add_argument("--driver", required=True)
        parser.add_argument("--prefix", required=True)
        args, rest = parser.parse_known_args(argv)
        sys.argv[1:] = rest
        return cls(args.exe, args.driver, args.prefix)

    # --- Life cycle -------------------------------------------------------

    def __enter__(self):
        self.start()
        return self

    def __exit__(self, *exc):
        self.stop()
        return False

    def start(self):
        self.env = wine_environment(self.prefix)
        if not self.env.get("DISPLAY"):
            self._start_xvfb()
        quiet = dict(stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                     stderr=subprocess.DEVNULL)
        subprocess.run(["bash", "-c", '. "$1" "$2"; quenthor_ensure_prefix', "sh", WINE_ENV,
                        self.prefix], check=True, env=self.env, **quiet)
        # Wine's own background processes (the server, services, the default
        # desktop) start with the first Wine programs and keep the output
        # files they were given: let them start here, with nothing to hold.
        # A server already kept up (scripts/wine-session) stays as it is.
        subprocess.run(["wineserver", "-p30"], env=self.env, check=False, **quiet)
        subprocess.run(["wine", "cmd", "/c", "exit"], env=self.env, check=False, **quiet)
        self._explorer = subprocess.Popen(
            ["wine", "explorer", "/desktop=%s,%s" % (self.desktop, self.size)],
            env=self.env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL)
        self.driver("desktop-ready", "30")
        time.sleep(0.5)  # the desktop's window follows the desktop at once

    def stop(self):
        for program in self.programs:
            if program.running() and program.pid:
                self.driver("kill", str(program.pid), check=False)
            if program.popen.poll() is None:
                try:
                    program.popen.wait(timeout=30)
                except subprocess.TimeoutExpired:
                    program.popen.kill()
                    program.popen.wait()
        # The desktop closes once no program is left on it.
        if self._explorer:
            try:
                self._explorer.wait(timeout=30)
            except subprocess.TimeoutExpired:
                self._explorer.terminate()
                self._explorer.wait()
        if self._xvfb:
            self._xvfb.terminate()
            self._xvfb.wait()

    def _start_xvfb(self):
        for n in range(150, 200):
            if os.path.exists("/tmp/.X%d-lock" % n) or os.path.exists("/tmp/.X11-unix/X%d" % n):
                continue
            xvfb = subprocess.Popen(["Xvfb", ":%d" % n, "-screen", "0", "1280x1024x24",
                                     "-nolisten", "tcp"],
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            for _ in range(50):
                if os.path.exists("/tmp/.X11-unix/X%d" % n):
                    break
                time.sleep(0.1)
            if xvfb.poll() is None and os.path.exists("/tmp/.X11-unix/X%d" % n):
                self._xvfb = xvfb
                self.env["DISPLAY"] = ":%d" % n
                return
            xvfb.kill()
            xvfb.wait()
        raise RuntimeError("could not start Xvfb")

    # --- Programs and the driver --------------------------------------------

    def driver(self, *args, check=True, timeout=180):
        """Runs one driver command; its output as text (stdout, stderr, returncode).
        `timeout` bounds the whole command: keep it above the seconds the command
        itself is told to wait."""
        command = ["wine", self.driver_exe, "--desktop", self.desktop] + [str(a) for a in args]
        # Files, not pipes: a Wine process started meanwhile may keep a pipe
        # open long after the driver has ended.
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            result = subprocess.run(command, env=self.env, stdin=subprocess.DEVNULL, stdout=out,
                                    stderr=err, timeout=timeout)
            out.seek(0)
            err.seek(0)
            result.stdout = out.read().decode("utf-8", errors="replace")
            result.stderr = err.read().decode("utf-8", errors="replace")
        if check and result.returncode != 0:
            raise AssertionError("driver %s failed (%d): %s" %
                                 (" ".join(map(str, args)), result.returncode, result.stderr))
        return result

    def start_program(self, exe, title="", seconds=3600):
        """Starts a program on the desktop; the Program watches it until it ends."""
        popen = subprocess.Popen(
            ["wine", self.driver_exe, "--desktop", self.desktop, "run", exe, str(seconds)] +
            ([title] if title else []),
            env=self.env, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
            stderr=subprocess.DEVNULL, text=True, encoding="utf-8", errors="replace")
        program = Program(popen, title)
        self.programs.append(program)
        return program

    def start_quenthor(self):
        return self.start_program(self.exe, MAIN_TITLE)

    # --- What the window shows ------------------------------------------------

    def controls(self, title=MAIN_TITLE, pid=None):
        """The driver's list as (window, controls by name, menus)."""
        args = ["--window", title] + (["--pid", str(pid)] if pid else []) + ["list"]
        lines = self.driver(*args).stdout.splitlines()
        window, controls, menus = None, {}, []
        for line in lines:
            fields = line.split("\t")
            if fields[0] == "window":
                window = {"title": fields[1], "rect": _rect(fields[2]),
                          "client": tuple(int(v) for v in fields[3][len("client="):].split("x")),
                          "flags": fields[4].split(","), "pid": int(fields[5][4:])}
            elif fields[0] == "menu":
                menus.append({"kind": fields[1], "name": fields[2], "caption": fields[3],
                              "items": [tuple(f.split("=", 1)) for f in fields[4:]]})
            else:
                controls[fields[0]] = {"name": fields[0], "kind": fields[1],
                                       "rect": _rect(fields[2]), "flags": fields[3].split(","),
                                       "text": _unescape(fields[4]) if len(fields) > 4 else ""}
        return window, controls, menus

    def screenshot(self, path, crop_to=MAIN_TITLE):
        """The display as a PNG, cut to the window titled `crop_to` (None: all)."""
        shot = path if not crop_to else path + ".full.png"
        subprocess.run(["import", "-window", "root", shot], env=self.env, check=True)
        if crop_to:
            x, y, w, h = (int(v) for v in self.driver("--window", crop_to, "rect").stdout.split())
            subprocess.run(["convert", shot, "-crop", "%dx%d+%d+%d" % (w, h, x, y), "+repage",
                            path], check=True)
            os.remove(shot)
        return path


def _rect(text):
    return tuple(int(v) for v in text.split(","))


def _unescape(text):
    out, i = [], 0
    while i < len(text):
        if text[i] == "\\" and i + 1 < len(text):
            out.append({"r": "\r", "n": "\n", "t": "\t", "\\": "\\"}.get(text[i + 1], text[i + 1]))
            i += 2
        else:
            out.append(text[i])
            i += 1
    return "".join(out)


def poll(condition, timeout=20, interval=0.2):
    """Waits until condition() is true; answers its last value."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value or time.monotonic() >= deadline:
            return value
        time.sleep(interval)


class QuenthorTestCase(unittest.TestCase):
    """A test case with one session for the whole class (set by main())."""
    session = None

    def wine(self, *args):
        """Runs a Wine program (reg, cmd ...) in the session's prefix."""
        return subprocess.run(["wine"] + list(args), env=self.session.env,
                              stdin=subprocess.DEVNULL, capture_output=True, timeout=120)

    def start(self):
        program = self.session.start_quenthor()
        self.assertIsNotNone(program.wait_shown(60), "the main window did not show")
        # Shown is not yet always reachable from another process under Wine:
        # wait until the driver finds the window before the test acts on it.
        self.assertTrue(poll(lambda: self.session.driver("rect", check=False).returncode == 0),
                        "the main window cannot be reached")
        return program

    def quit(self, program):
        """Ends the program from its tray menu, as a user does."""
        self.session.driver("tray-menu", "退出")
        self.assertEqual(program.wait_exit(30), 0)

    def field(self, name):
        """A control's text as the driver reads it."""
        return _unescape(self.session.driver("get", name).stdout.rstrip("\r\n"))


def main(argv=None):
    """Runs the calling module's tests in one session."""
    session = Session.from_args(argv)
    with session:
        QuenthorTestCase.session = session
        program = unittest.main(module="__main__", exit=False, verbosity=2)
    sys.exit(0 if program.result.wasSuccessful() else 1)
