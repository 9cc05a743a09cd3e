"""Drives the real launcher under Wine and Xvfb, with stand-ins for the
command interpreter (cmd.exe) and the emulator (mame.exe).

Each case gets a fresh application directory inside the prefix's drive C
(so the launcher sees C:\\e2e\\<case>\\), a fresh wineserver, real mouse and
key input through xdotool, and reads what the stand-ins logged. Everything
is killed at the end of the case.

Run one scenario file:
    python3 test_launch.py --launcher L.exe --cmd cmd.exe --mame mame.exe \
        --probe probe.exe --work DIR [unittest arguments]
with WINEPREFIX and DISPLAY set (ctest does both).
"""

import argparse
import json
import os
import shutil
import signal
import struct
import subprocess
import sys
import time
import unittest

MAIN_TITLE = "岚枢麻将游戏"
WINDOW_SIZE = (670, 429)
# Client-coordinate centres of the controls.
PLAY = (515 + 135 // 2, 247 + 43 // 2)
OPTION = (515 + 135 // 2, 295 + 43 // 2)
EXIT = (515 + 135 // 2, 343 + 43 // 2)
MINIMISE = (591 + 27 // 2, 1 + 20 // 2)
CLOSE = (618 + 40 // 2, 1 + 20 // 2)
ENTER = 13
TERMINATED = 4294967295  # exit code -1 as Windows reports it
AD_PORT = 18085          # the test build's ad server
HERE = os.path.dirname(os.path.abspath(__file__))
SAMPLE_ADS = os.path.join(HERE, "sample_ads")

WS_CAPTION = 0x00C00000
WS_THICKFRAME = 0x00040000
COMPLEXREGION = 3

CONFIG = None  # set by main()


class Config:
    def __init__(self, args):
        self.launcher = os.path.abspath(args.launcher)
        self.cmd = os.path.abspath(args.cmd)
        self.mame = os.path.abspath(args.mame)
        self.probe = os.path.abspath(args.probe)
        self.work = os.path.abspath(args.work)
        self.prefix = os.environ.get("WINEPREFIX", "")
        self.wine = os.environ.get("QV_WINE") or wine_loader_for(self.launcher)
        self.env = wine_environment(os.path.dirname(self.work))


def pe_machine(path):
    with open(path, "rb") as f:
        head = f.read(4096)
    (offset,) = struct.unpack_from("<I", head, 0x3C)
    (machine,) = struct.unpack_from("<H", head, offset + 4)
    return machine


def wine_loader_for(exe):
    """64-bit programs need the 64-bit loader: Debian's `wine` script always
    picks the 32-bit one when it is installed."""
    if pe_machine(exe) == 0x8664:
        for candidate in (shutil.which("wine64"), "/usr/lib/wine/wine64"):
            if candidate and os.access(candidate, os.X_OK):
                return candidate
    return shutil.which("wine") or "wine"


def ensure_zh_locale(cache_dir):
    """Wine takes code page 936 from LC_ALL even without the locale, but it
    then cannot map non-ASCII file names; a compiled locale fixes both."""
    listed = subprocess.run(["locale", "-a"], capture_output=True, text=True).stdout.lower()
    if "zh_cn.utf8" in listed.split():
        return None
    target = os.path.join(cache_dir, "locale")
    if not os.path.isfile(os.path.join(target, "zh_CN.UTF-8", "LC_CTYPE")):
        os.makedirs(target, exist_ok=True)
        subprocess.run(["localedef", "-i", "zh_CN", "-f", "UTF-8", os.path.join(target, "zh_CN.UTF-8")],
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120)
    return target if os.path.isfile(os.path.join(target, "zh_CN.UTF-8", "LC_CTYPE")) else None


def wine_environment(cache_dir):
    env = dict(os.environ)
    env.update({"WINEDEBUG": "-all", "WINEDLLOVERRIDES": "mscoree,mshtml=", "LANG": "zh_CN.UTF-8",
                "LC_ALL": "zh_CN.UTF-8", "http_proxy": "", "HTTP_PROXY": ""})
    locale_dir = ensure_zh_locale(cache_dir)
    if locale_dir:
        env["LOCPATH"] = locale_dir
    return env


def chinese_file_names_work():
    return "LOCPATH" in CONFIG.env or "zh_cn.utf8" in subprocess.run(
        ["locale", "-a"], capture_output=True, text=True).stdout.lower().split()


def wait_for(predicate, timeout, what, interval=0.2):
    """Polls until predicate() returns something truthy; fails with `what`."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError(f"timed out after {timeout} s waiting for {what}")
        time.sleep(interval)


def windows_path(unix_path):
    """Wine's name for a path: under drive_c it is C:, elsewhere Z:."""
    drive_c = os.path.join(CONFIG.prefix, "drive_c")
    unix_path = os.path.abspath(unix_path)
    if unix_path.startswith(drive_c + os.sep):
        return "C:\\" + os.path.relpath(unix_path, drive_c).replace("/", "\\")
    return "Z:" + unix_path.replace("/", "\\")


def expected_script(app_dir):
    """Bytes typed for a launch from app_dir (a Windows path ending in a
    backslash): Enter, then each line and Enter, in code page 936."""
    colon = app_dir.find(":")
    lines = []
    if colon > 0:
        drive, rest = app_dir[:colon + 1], app_dir[colon + 1:]
        lines = ["cd\\", drive] + (["cd" + rest] if len(rest) > 1 else []) + ["mame.exe vethrina", "A"]
    typed = bytes([ENTER])
    for line in lines:
        typed += line.encode("gbk") + bytes([ENTER])
    return typed


def read_events(path):
    """Tab-separated event lines of the stand-ins as (pid, event, fields)."""
    if not os.path.exists(path):
        return []
    events = []
    with open(path, "rb") as f:
        for raw in f.read().decode("utf-8", "replace").splitlines():
            parts = [unescape(p) for p in raw.split("\t")]
            if len(parts) >= 2:
                events.append((int(parts[0]), parts[1], parts[2:]))
    return events


def unescape(text):
    out, i = [], 0
    while i < len(text):
        if text[i] == "\\" and i + 1 < len(text):
            out.append({"t": "\t", "r": "\r", "n": "\n"}.get(text[i + 1], text[i + 1]))
            i += 2
        else:
            out.append(text[i])
            i += 1
    return "".join(out)


class Scenario(unittest.TestCase):
    """One launcher run per test; subclasses describe what happens."""

    def setUp(self):
        if not os.environ.get("DISPLAY"):
            self.fail("DISPLAY is not set: run the scenarios under xvfb-run")
        if not CONFIG.prefix:
            self.fail("WINEPREFIX is not set")
        self.active = False
        self.addCleanup(self._finish_run)
        self.begin()

    def begin(self, label=None):
        """Starts a run from nothing: wineserver, work folder, application
        directory. A table case calls it once per row; the previous row's
        run is ended first."""
        self._finish_run()
        name = self.id().split(".")[-1]
        if label:
            name += "-" + "".join(c if c.isalnum() else "_" for c in label)
        self.processes = []
        self.work = os.path.join(CONFIG.work, name)
        self.case_root = os.path.join(CONFIG.prefix, "drive_c", "e2e", name)
        shutil.rmtree(self.work, ignore_errors=True)
        os.makedirs(self.work)
        self.kill_wine()
        subprocess.run(["wineserver", "-p"], env=CONFIG.env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=60)
        self.active = True
        self.app = self.make_dir("app")

    # --- setting up ---------------------------------------------------------

    def make_dir(self, name, with_launcher=True, with_cmd=True, with_mame=True):
        """A fresh folder under C:\\e2e\\<case>\\ holding the programs asked for."""
        path = os.path.join(self.case_root, name)
        shutil.rmtree(path, ignore_errors=True)
        os.makedirs(path)
        if with_launcher:
            shutil.copy(CONFIG.launcher, os.path.join(path, "launcher.exe"))
        if with_cmd:
            shutil.copy(CONFIG.cmd, os.path.join(path, "cmd.exe"))
        if with_mame:
            shutil.copy(CONFIG.mame, os.path.join(path, "mame.exe"))
        return path

    def start(self, exe, *args, name=None):
        """Starts a Windows program with its output in files of the case."""
        name = name or os.path.basename(exe)
        out = open(os.path.join(self.work, name + ".out"), "wb")
        err = open(os.path.join(self.work, name + ".err"), "wb")
        proc = subprocess.Popen([CONFIG.wine, exe, *args], cwd=self.work, env=CONFIG.env,
                                stdin=subprocess.DEVNULL, stdout=out, stderr=err)
        out.close()
        err.close()
        self.processes.append(proc)
        return proc

    def start_ad_server(self, root=SAMPLE_ADS, port=AD_PORT):
        """The loopback ad server, stopped with the run; returns its request log path."""
        log = os.path.join(self.work, "ad_requests.log")
        ready = os.path.join(self.work, "ad_server.ready")
        err = open(os.path.join(self.work, "ad_server.err"), "wb")
        proc = subprocess.Popen([sys.executable, os.path.join(HERE, "ad_server.py"), "--root", root,
                                 "--port", str(port), "--log", log, "--ready", ready, "--max-seconds", "600"],
                                stdin=subprocess.DEVNULL, stdout=err, stderr=err)
        err.close()
        self.processes.append(proc)
        wait_for(lambda: os.path.exists(ready) or proc.poll() is not None, 30, "the ad server")
        if proc.poll() is not None:
            self.fail(f"the ad server did not start (port {port} in use?)")
        return log

    def start_launcher(self, app=None):
        return self.start(os.path.join(app or self.app, "launcher.exe"), name="launcher")

    def kill_wine(self):
        subprocess.run(["wineserver", "-k"], env=CONFIG.env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=60)
        try:
            subprocess.run(["wineserver", "-w"], env=CONFIG.env, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, timeout=30)
        except subprocess.TimeoutExpired:
            pass

    def _finish_run(self):
        if not self.active:
            return
        self.active = False
        self.kill_wine()
        for proc in self.processes:
            if proc.poll() is None:
                proc.terminate()
                try:
                    proc.wait(timeout=5)
                except subprocess.TimeoutExpired:
                    proc.kill()
            try:
                proc.wait(timeout=10)
            except subprocess.TimeoutExpired:
                pass
        # Keep the stand-ins' logs for a post-mortem; the programs go.
        for root, _, files in os.walk(self.case_root):
            for f in files:
                if f.endswith((".log", ".his")):
                    rel = os.path.relpath(os.path.join(root, f), self.case_root).replace(os.sep, "__")
                    shutil.copy(os.path.join(root, f), os.path.join(self.work, rel))
        shutil.rmtree(self.case_root, ignore_errors=True)

    # --- looking ------------------------------------------------------------

    def probe(self, command, *args):
        """Runs probe.exe; its JSON goes through a file, never a pipe."""
        out = os.path.join(self.work, "probe.json")
        if os.path.exists(out):
            os.remove(out)
        # The output path follows the command's target argument, if it has one.
        split = 1 if command in ("msgbox", "children", "type", "roundregion") else 0
        argv = [command, *args[:split], windows_path(out), *args[split:]]
        with open(os.path.join(self.work, "probe.err"), "ab") as err:
            subprocess.run([CONFIG.wine, CONFIG.probe, *argv], env=CONFIG.env, stdin=subprocess.DEVNULL,
                           stdout=subprocess.DEVNULL, stderr=err, timeout=60)
        if not os.path.exists(out):
            self.fail(f"probe {command} wrote nothing: can Wine run {CONFIG.probe} with {CONFIG.wine}? "
                      "(32-bit programs need a kernel with ia32 emulation)")
        with open(out, encoding="utf-8") as f:
            return json.load(f)

    def windows(self):
        return self.probe("windows")

    def main_windows(self):
        """Visible top-level windows of the launcher captioned like the main window."""
        return [w for w in self.windows()["windows"]
                if w["visible"] and w["title"] == MAIN_TITLE and w["exe"].lower() == "launcher.exe"]

    def wait_main_window(self, timeout=90):
        found = wait_for(lambda: [w for w in self.main_windows()
                                  if (w["rect"][2] - w["rect"][0], w["rect"][3] - w["rect"][1]) == WINDOW_SIZE],
                         timeout, f"a visible {WINDOW_SIZE[0]}x{WINDOW_SIZE[1]} window captioned {MAIN_TITLE}")
        return found[0]

    def click(self, window, point, button=1):
        x = window["client_origin"][0] + point[0]
        y = window["client_origin"][1] + point[1]
        subprocess.run(["xdotool", "mousemove", str(x), str(y), "click", str(button)], check=True, timeout=30)

    def key(self, *keys):
        subprocess.run(["xdotool", "key", *keys], check=True, timeout=30)

    def screenshot(self, name):
        """Saves a PNG for people and returns (width, height, rgb bytes)."""
        xwd = subprocess.run(["xwd", "-root", "-silent", "-display", os.environ["DISPLAY"]],
                             capture_output=True, check=True, timeout=60).stdout
        subprocess.run(["/usr/bin/convert", "xwd:-", os.path.join(self.work, name + ".png")],
                       input=xwd, check=True, timeout=60)
        ppm = subprocess.run(["/usr/bin/convert", "xwd:-", "ppm:-"], input=xwd, capture_output=True,
                             check=True, timeout=60).stdout
        return parse_ppm(ppm)

    # --- what the stand-ins saw ---------------------------------------------

    def cmd_events(self, folder=None):
        return read_events(os.path.join(folder or self.app, "cmd_events.log"))

    def mame_events(self, folder=None):
        return read_events(os.path.join(folder or self.app, "mame_events.log"))

    def typed(self, folder=None, pid=None):
        """Bytes the stand-in console(s) in folder received, in order."""
        path = os.path.join(folder or self.app, "console_chars.log")
        if not os.path.exists(path):
            return b""
        out = bytearray()
        with open(path) as f:
            for line in f:
                who, byte = line.split()
                if pid is None or int(who) == pid:
                    out.append(int(byte))
        return bytes(out)

    def events_named(self, events, name):
        return [e for e in events if e[1] == name]

    def wait_emulator_started(self, folder=None, timeout=60):
        return wait_for(lambda: self.events_named(self.mame_events(folder), "start"), timeout,
                        "the emulator stand-in to start")

    def settle(self, seconds=3.0):
        """Gives a wrong extra action time to show up before a negative check."""
        time.sleep(seconds)


def parse_ppm(data):
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos) + 1
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    width, height = int(fields[1]), int(fields[2])
    return width, height, data[pos + 1:pos + 1 + width * height * 3]


def pixel(shot, x, y):
    width, _, rgb = shot
    i = (y * width + x) * 3
    return tuple(rgb[i:i + 3])


def main():
    global CONFIG
    parser = argparse.ArgumentParser()
    for name in ("launcher", "cmd", "mame", "probe", "work"):
        parser.add_argument("--" + name, required=True)
    args, rest = parser.parse_known_args()
    CONFIG = Config(args)
    os.makedirs(CONFIG.work, exist_ok=True)
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)
