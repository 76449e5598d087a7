#!/usr/bin/env python3
"""A sealed place to run Windows programs under Wine.

Each box has its own network namespace (loopback only unless the caller adds
hosts), its own WINEPREFIX copied from a template, its own wineserver started
inside that namespace, and an X display (the caller's, or a private Xvfb).
Everything is removed on exit, also when the caller fails. The monitor
broadcasts to its router's subnet at start; inside a box that never leaves
the machine.

Command line:
  winebox.py run [options] -- PROGRAM [ARGS...]   run a Windows program in a box
"""

import argparse
import contextlib
import ctypes
import fcntl
import itertools
import os
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
DEFAULT_TEMPLATE = ROOT / "build" / "wine-template"
NETNS_PREFIX = "rmbox-"
CLONE_NEWNET = 0x40000000

# Fonts the program asks for, mapped to the IPA fonts of Debian.
FONT_REPLACEMENTS = {
    "ＭＳ Ｐゴシック": "IPAPGothic",
    "ＭＳ ゴシック": "IPAGothic",
    "MS PGothic": "IPAPGothic",
    "MS Gothic": "IPAGothic",
    "MS UI Gothic": "IPAPGothic",
    "MS Shell Dlg": "IPAPGothic",
    "MS Shell Dlg 2": "IPAPGothic",
    "Tahoma": "IPAPGothic",
}

_counter = itertools.count()
_libc = ctypes.CDLL(None, use_errno=True)


def wine_env(prefix, display):
    env = dict(os.environ)
    env.update(
        WINEPREFIX=str(prefix),
        WINEDEBUG="-all",
        WINEDLLOVERRIDES="mscoree,mshtml=",
        LANG="ja_JP.UTF-8",
        LC_ALL="ja_JP.UTF-8",
    )
    if display:
        env["DISPLAY"] = display
    return env


def _setns(path):
    fd = os.open(path, os.O_RDONLY)
    try:
        if _libc.setns(fd, CLONE_NEWNET) != 0:
            err = ctypes.get_errno()
            raise OSError(err, os.strerror(err), path)
    finally:
        os.close(fd)


def remove_stale_namespaces():
    """Namespaces of boxes whose owner process is gone."""
    try:
        names = subprocess.run(["ip", "netns", "list"], capture_output=True, text=True).stdout.split()
    except FileNotFoundError:
        return
    for name in names:
        if not name.startswith(NETNS_PREFIX):
            continue
        owner = name[len(NETNS_PREFIX):].split("-")[0]
        if owner.isdigit() and not Path(f"/proc/{owner}").exists():
            _delete_namespace(name)


def _delete_namespace(name):
    pids = subprocess.run(["ip", "netns", "pids", name], capture_output=True, text=True).stdout.split()
    for pid in pids:
        with contextlib.suppress(ProcessLookupError, ValueError):
            os.kill(int(pid), signal.SIGKILL)
    subprocess.run(["ip", "netns", "del", name], capture_output=True)


def ensure_template(template=DEFAULT_TEMPLATE):
    """Creates the template prefix once, under the Japanese locale, so that
    menu fonts get Japanese glyphs."""
    template = Path(template)
    template.parent.mkdir(parents=True, exist_ok=True)
    with open(str(template) + ".lock", "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        if (template / ".complete").exists():
            return template
        shutil.rmtree(template, ignore_errors=True)
        name = f"{NETNS_PREFIX}{os.getpid()}-template"
        _make_namespace(name)
        try:
            env = wine_env(template, None)
            env.pop("DISPLAY", None)
            ns = ["ip", "netns", "exec", name]
            subprocess.run(ns + ["wine", "wineboot", "-i"], env=env, check=True,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            for face, real in FONT_REPLACEMENTS.items():
                subprocess.run(ns + ["wine", "reg", "add", r"HKCU\Software\Wine\Fonts\Replacements",
                                     "/v", face, "/t", "REG_SZ", "/d", real, "/f"],
                               env=env, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            subprocess.run(ns + ["wineserver", "-w"], env=env, check=True)
        finally:
            _delete_namespace(name)
        (template / ".complete").touch()
    return template


def _make_namespace(name):
    subprocess.run(["ip", "netns", "add", name], check=True)
    subprocess.run(["ip", "netns", "exec", name, "ip", "link", "set", "lo", "up"], check=True)


def _copy_prefix(template, dest):
    subprocess.run(["cp", "-al", str(template), str(dest)], check=True)
    # Wine rewrites its registry files; they must not be shared.
    for reg in dest.glob("*.reg"):
        data = reg.read_bytes()
        reg.unlink()
        reg.write_bytes(data)


def _free_display():
    for n in range(90, 400):
        if not Path(f"/tmp/.X{n}-lock").exists() and not Path(f"/tmp/.X11-unix/X{n}").exists():
            return n
    raise RuntimeError("no free X display number")


class WineBox:
    """with WineBox() as box: box.wine(["prog.exe"])"""

    def __init__(self, display=None, host_network=False, template=DEFAULT_TEMPLATE, keep=None):
        self.display = display
        self.host_network = host_network
        self.template = template
        self.keep = keep  # a folder to keep the prefix's wine output in, if wanted
        self.netns = None
        self.prefix = None
        self._xvfb = None
        self._workdir = None
        self._procs = []

    def __enter__(self):
        try:
            remove_stale_namespaces()
            template = ensure_template(self.template)
            self._workdir = Path(tempfile.mkdtemp(prefix="winebox-"))
            self.prefix = self._workdir / "prefix"
            _copy_prefix(template, self.prefix)
            if not self.host_network:
                self.netns = f"{NETNS_PREFIX}{os.getpid()}-{next(_counter)}"
                _make_namespace(self.netns)
            if not self.display:
                self._start_xvfb()
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, *exc):
        self.close()

    def _start_xvfb(self):
        n = _free_display()
        self._xvfb = subprocess.Popen(["Xvfb", f":{n}", "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                                      stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.display = f":{n}"
        deadline = time.monotonic() + 15
        while not Path(f"/tmp/.X11-unix/X{n}").exists():
            if self._xvfb.poll() is not None or time.monotonic() > deadline:
                raise RuntimeError("Xvfb did not start")
            time.sleep(0.05)

    @property
    def env(self):
        return wine_env(self.prefix, self.display)

    def command(self, argv):
        """argv run inside the box's network namespace."""
        return (["ip", "netns", "exec", self.netns] if self.netns else []) + list(argv)

    def wine(self, args, timeout=60, check=False, **kw):
        kw.setdefault("capture_output", True)
        return subprocess.run(self.command(["wine"] + list(map(str, args))), env=self.env, timeout=timeout,
                              check=check, **kw)

    def start(self, args, **kw):
        """Starts a Windows program and returns at once."""
        kw.setdefault("stdout", subprocess.DEVNULL)
        kw.setdefault("stderr", subprocess.DEVNULL)
        proc = subprocess.Popen(self.command(["wine"] + list(map(str, args))), env=self.env, **kw)
        self._procs.append(proc)
        return proc

    def run_native(self, argv, **kw):
        kw.setdefault("capture_output", True)
        kw.setdefault("text", True)
        return subprocess.run(self.command(argv), **kw)

    @contextlib.contextmanager
    def inside(self):
        """Sockets made in this block belong to the box's network."""
        if not self.netns:
            yield
            return
        own = "/proc/thread-self/ns/net"
        back = os.open(own, os.O_RDONLY)
        try:
            _setns(f"/var/run/netns/{self.netns}")
            yield
        finally:
            _libc.setns(back, CLONE_NEWNET)
            os.close(back)

    def udp_socket(self):
        with self.inside():
            return socket.socket(socket.AF_INET, socket.SOCK_DGRAM)

    def screenshot(self, path):
        subprocess.run(["import", "-display", self.display, "-window", "root", str(path)],
                       check=True, capture_output=True)

    def close(self):
        if self.prefix and self.prefix.exists():
            subprocess.run(self.command(["wineserver", "-k"]), env=self.env, capture_output=True)
        for proc in self._procs:
            with contextlib.suppress(Exception):
                proc.wait(timeout=10)
            if proc.poll() is None:
                proc.kill()
        if self.netns:
            _delete_namespace(self.netns)
            self.netns = None
        if self._xvfb:
            self._xvfb.terminate()
            with contextlib.suppress(subprocess.TimeoutExpired):
                self._xvfb.wait(timeout=5)
            self._xvfb = None
        if self._workdir:
            shutil.rmtree(self._workdir, ignore_errors=True)
            self._workdir = None


def main(argv):
    parser = argparse.ArgumentParser(description="Run a Windows program in a sealed Wine box.")
    sub = parser.add_subparsers(dest="verb", required=True)
    run = sub.add_parser("run", help="run a program and return its exit code")
    run.add_argument("--host-network", action="store_true", help="use the machine's own network")
    run.add_argument("--display", help="X display to use instead of a private Xvfb")
    run.add_argument("--timeout", type=float, default=None, help="seconds before the program is killed")
    run.add_argument("program", nargs=argparse.REMAINDER)
    args = parser.parse_args(argv)
    program = args.program[1:] if args.program[:1] == ["--"] else args.program
    if not program:
        parser.error("no program given")
    with WineBox(display=args.display, host_network=args.host_network) as box:
        try:
            result = box.wine(program, timeout=args.timeout, capture_output=False)
        except subprocess.TimeoutExpired:
            print(f"winebox: {program[0]} did not finish within {args.timeout} s", file=sys.stderr)
            return 124
        return result.returncode


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
