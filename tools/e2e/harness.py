"""Drives the real installer under Wine against servers on loopback, as a person would.

  Stack      nginx serving the demo package at /pkg/<md5>/366 behind a redirect from
             /software/366 (and /software/bad, a copy under a digest that does not match),
             plus the analytics collector; ports picked now.
  Display    an Xvfb server of its own, or the user's display when asked to use it.
  Installer  one run of LumivoxSetup.exe: a copy of the executable in a folder of its own
             with a QuillonInstallerConfig.ini beside it, its traces in a file, real mouse
             clicks through xdotool, screenshots of its windows through ImageMagick.

Everything started here stops when the `with` block ends, and nginx also when this
process dies (it follows its parent).
"""

import hashlib
import json
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, os.path.join(ROOT, "tools", "servers"))
sys.path.insert(0, os.path.join(ROOT, "tools", "collector"))
import collector as collector_module  # noqa: E402
import nginx_config  # noqa: E402

BIN = os.path.join(ROOT, "build", "x86_64", "bin")
INSTALLER_EXE = os.path.join(BIN, "LumivoxSetup.exe")
DEMO_PACKAGE_EXE = os.path.join(BIN, "LumivoxDemoPackage.exe")
WINE64 = os.environ.get("LUMIVOX_WINE64", "/usr/lib/wine/wine64")

# Points in the main window (600 x 400) that a person clicks, from mainWnd.xml.
MAIN_WINDOW_POINTS = {
    "defaultInstallBtn": (300, 225),
    "customeBtn": (520, 372),
    "closebtn": (578, 17),
    "customeInstallBtn": (300, 331),
    "openProduceBtn": (300, 300),
}


def windows_path(unix_path):
    return "Z:" + unix_path.replace("/", "\\")


def md5_of(path):
    digest = hashlib.md5()
    with open(path, "rb") as data:
        for block in iter(lambda: data.read(1 << 20), b""):
            digest.update(block)
    return digest.hexdigest()


class Stack:
    """nginx with the demo package and a collector. `serve_package=False` leaves nginx out,
    so every download is refused."""

    def __init__(self, work, package=DEMO_PACKAGE_EXE, collector_status=200, serve_package=True):
        self.work = work
        self.package = package
        self.collector_status = collector_status
        self.serve_package = serve_package
        self.records_path = os.path.join(work, "collector-records.jsonl")
        self.nginx = None
        self.collector = None
        self.http_port = nginx_config.free_port()

    @property
    def package_url(self):
        return "http://127.0.0.1:%d/software/366" % self.http_port

    @property
    def bad_digest_url(self):
        return "http://127.0.0.1:%d/software/bad" % self.http_port

    @property
    def stats_url(self):
        return "http://127.0.0.1:%d/sa?project=pc" % self.collector.port

    def __enter__(self):
        self.collector = collector_module.Collector(self.records_path, default_status=self.collector_status)
        self.collector.start_in_thread()
        if self.serve_package:
            self.start_nginx()
        return self

    def start_nginx(self):
        server_work = os.path.join(self.work, "nginx")
        root = os.path.join(server_work, "root")
        md5 = md5_of(self.package)
        good = os.path.join(root, "pkg", md5)
        bad = os.path.join(root, "pkg", "0" * 32)
        for folder in (good, bad):
            os.makedirs(folder, exist_ok=True)
            shutil.copyfile(self.package, os.path.join(folder, "366"))
        os.makedirs(os.path.join(root, "pkg", "bad"), exist_ok=True)
        config = nginx_config.write_config(server_work, root, {"366": md5}, self.http_port)
        # The package under a digest it does not have.
        with open(config, encoding="utf-8") as text:
            content = text.read()
        content = content.replace(
            "location = /software/366 {",
            "location = /software/bad { return 302 /pkg/%s/366; }\n            location = /software/366 {" % ("0" * 32))
        with open(config, "w", encoding="utf-8") as text:
            text.write(content)
        self.nginx = nginx_config.start_nginx(server_work, config, [self.http_port])

    def stop_nginx(self):
        if self.nginx:
            nginx_config.stop_nginx(self.nginx)
            self.nginx = None

    def records(self):
        """The analytics records the collector has received, in order."""
        found = []
        if os.path.exists(self.records_path):
            with open(self.records_path, encoding="utf-8") as lines:
                for line in lines:
                    entry = json.loads(line)
                    if entry.get("kind") == "record" and entry.get("status") == 200:
                        found.append(entry["record"])
        return found

    def requests(self):
        if not os.path.exists(self.records_path):
            return []
        with open(self.records_path, encoding="utf-8") as lines:
            return [json.loads(l) for l in lines if json.loads(l).get("kind") == "request"]

    def __exit__(self, *exc):
        self.stop_nginx()
        if self.collector:
            self.collector.shutdown()
            self.collector.server_close()


class Display:
    """An Xvfb server (or the user's own display with use_own=True)."""

    def __init__(self, use_own=False):
        self.use_own = use_own and bool(os.environ.get("DISPLAY"))
        self.server = None
        self.name = os.environ.get("DISPLAY", "") if self.use_own else None

    def __enter__(self):
        if self.use_own:
            return self
        read_end, write_end = os.pipe()
        self.server = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            preexec_fn=nginx_config._die_with_parent)
        os.close(write_end)
        number = b""
        deadline = time.monotonic() + 20
        while not number.endswith(b"\n") and time.monotonic() < deadline:
            chunk = os.read(read_end, 16)
            if not chunk:
                break
            number += chunk
        os.close(read_end)
        if not number.strip():
            raise RuntimeError("Xvfb reported no display")
        self.name = ":" + number.decode().strip()
        return self

    def __exit__(self, *exc):
        if self.server:
            self.server.terminate()
            try:
                self.server.wait(timeout=5)
            except subprocess.TimeoutExpired:
                self.server.kill()


class Installer:
    """One run of the installer, from a folder of its own."""

    def __init__(self, work, stack, display, name="installer", ini=None, arguments=(), extra_env=None):
        self.folder = os.path.join(work, name)
        os.makedirs(self.folder, exist_ok=True)
        self.exe = os.path.join(self.folder, "LumivoxSetup.exe")
        shutil.copyfile(INSTALLER_EXE, self.exe)
        self.trace_path = os.path.join(self.folder, "trace.txt")
        self.demo_log = os.path.join(work, "demo-package.log")
        self.screenshots = os.path.join(work, "screenshots")
        os.makedirs(self.screenshots, exist_ok=True)
        settings = {"DownloadUrl": stack.package_url, "IsCheckNet": "false"}
        settings.update(ini or {})
        with open(os.path.join(self.folder, "QuillonInstallerConfig.ini"), "w", encoding="utf-8") as out:
            out.write("[Install]\r\n" + "".join("%s=%s\r\n" % item for item in settings.items()))
        self.arguments = list(arguments)
        self.env = dict(os.environ)
        self.env.update({
            "DISPLAY": display.name,
            "LUMIVOX_STATS_URL": stack.stats_url,
            "LUMIVOX_TRACE_FILE": windows_path(self.trace_path),
            "LUMIVOX_DEMO_LOG": windows_path(self.demo_log),
        })
        self.env.update(extra_env or {})
        self.process = None
        self.window = None

    def start(self):
        self.process = subprocess.Popen([WINE64, self.exe] + self.arguments, env=self.env, cwd=self.folder,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return self

    def wait_exit(self, timeout=60):
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            return None

    def kill(self):
        if self.process and self.process.poll() is None:
            self.process.kill()
            self.process.wait()

    def xdotool(self, *arguments, timeout=30):
        result = subprocess.run(["xdotool"] + list(arguments), env=self.env, capture_output=True, text=True,
                                timeout=timeout)
        return result.stdout.strip()

    def find_window(self, title="Lumivox", timeout=30):
        """The id of the visible top-level window with this title."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if self.process.poll() is not None:
                raise RuntimeError("the installer ended with %d before showing its window" % self.process.returncode)
            ids = self.xdotool("search", "--onlyvisible", "--name", "^%s$" % title).split()
            if ids:
                return ids[-1]
            time.sleep(0.2)
        raise RuntimeError("no window titled %r appeared" % title)

    def main_window(self, timeout=30):
        self.window = self.find_window("Lumivox", timeout)
        return self.window

    def click(self, window, x, y):
        self.xdotool("mousemove", "--window", window, str(x), str(y))
        time.sleep(0.1)
        self.xdotool("click", "1")

    def click_control(self, name):
        x, y = MAIN_WINDOW_POINTS[name]
        self.click(self.window, x, y)

    def screenshot(self, label, window=None):
        path = os.path.join(self.screenshots, "%s.png" % label)
        subprocess.run(["import", "-window", window or self.window, path], env=self.env,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=30)
        return path

    def trace(self):
        if not os.path.exists(self.trace_path):
            return ""
        with open(self.trace_path, encoding="utf-8", errors="replace") as text:
            return text.read()

    def wait_trace(self, fragment, timeout=60):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if fragment in self.trace():
                return True
            if self.process.poll() is not None:
                return fragment in self.trace()
            time.sleep(0.2)
        return False
