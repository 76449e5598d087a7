#!/usr/bin/env python3
"""A sealed place to run Windows programs under Wine.

Each box has its own network namespace (loopback only unless the caller adds
hosts), its own WINEPREFIX copied from a template, its own wineserver started
inside that namespace, an X display (the caller's, or a private Xvfb without a
window manager, whose windows Wine then leaves unmanaged) and a sound device
that plays nothing.
Everything is removed on exit, also when the caller fails. The monitor
broadcasts to its router's subnet at start; inside a box that never leaves
the machine.

A box can also sit on a test LAN (TestLan): hosts in network namespaces of
their own, joined by a bridge in one more namespace, with addresses from the
documentation range 192.0.2.0/24 that no real network routes.

Command line:
  winebox.py run [options] -- PROGRAM [ARGS...]   run a Windows program in a box
"""

import argparse
import contextlib
import ctypes
import fcntl
import itertools
import os
import re
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

# Fonts the program asks for, mapped to the IPA fonts of Debian and to the
# Liberation font that has the metrics of Times New Roman.
FONT_REPLACEMENTS = {
    "Times New Roman": "Liberation Serif",
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
        # Sounds start and end as on a PC with speakers, also on a machine without sound hardware.
        ALSA_CONFIG_PATH=str(ROOT / "tools" / "null_sound.conf"),
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


@contextlib.contextmanager
def inside_namespace(netns):
    """Sockets made in this block belong to that network namespace (None: this one)."""
    if not netns:
        yield
        return
    back = os.open("/proc/thread-self/ns/net", os.O_RDONLY)
    try:
        _setns(f"/var/run/netns/{netns}")
        yield
    finally:
        _libc.setns(back, CLONE_NEWNET)
        os.close(back)


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


def _add_font_replacements(prefix):
    """Replacements added after the template was made: prefixes made earlier
    lack them."""
    reg = prefix / "user.reg"
    text = reg.read_text(encoding="utf-8", errors="surrogateescape")
    header = re.search(r"^\[Software\\\\Wine\\\\Fonts\\\\Replacements\][^\n]*\n(?:#[^\n]*\n)?", text, re.M)
    if not header:
        return
    missing = "".join(f'"{face}"="{real}"\n' for face, real in FONT_REPLACEMENTS.items()
                      if face.isascii() and f'"{face}"=' not in text[header.end():])
    reg.write_text(text[:header.end()] + missing + text[header.end():], encoding="utf-8", errors="surrogateescape")


def _set_dpi(prefix, dpi):
    """The screen's scale as Wine reads it at start: 96 is 100 %."""
    value = f'"LogPixels"=dword:{dpi:08x}'
    for name in ("user.reg", "system.reg"):
        reg = prefix / name
        text = reg.read_text(encoding="utf-8", errors="surrogateescape")
        text = re.sub(r'^"LogPixels"=dword:[0-9a-f]{8}$', value, text, flags=re.M)
        if name == "user.reg":
            text = re.sub(r'^(\[Control Panel\\\\Desktop\][^\n]*\n(?:#[^\n]*\n)?)', r"\g<1>" + value + "\n", text,
                          count=1, flags=re.M)
        reg.write_text(text, encoding="utf-8", errors="surrogateescape")


def _set_unmanaged(prefix):
    """Windows left to Wine's X11 driver alone. Without a window manager the
    driver waits 2 s for one each time it hides a window it treats as managed
    (a box pressed, the panel hidden, the tray icon removed at exit)."""
    reg = prefix / "user.reg"
    text = reg.read_text(encoding="utf-8", errors="surrogateescape")
    header = re.search(r"^\[Software\\\\Wine\\\\X11 Driver\][^\n]*\n(?:#[^\n]*\n)?", text, re.M)
    if header:
        end = text.find("\n[", header.end())
        end = len(text) if end < 0 else end
        section = re.sub(r'^"Managed"=[^\n]*\n', "", text[header.end():end], flags=re.M)
        text = text[:header.end()] + '"Managed"="N"\n' + section + text[end:]
    else:
        text += f'\n[Software\\\\Wine\\\\X11 Driver] {int(time.time())}\n"Managed"="N"\n'
    reg.write_text(text, encoding="utf-8", errors="surrogateescape")


class TestLan:
    """with TestLan() as lan: pc = lan.add_host("pc", "192.0.2.10")"""

    SUBNET_BITS = 24

    def __init__(self):
        self.name = f"{NETNS_PREFIX}{os.getpid()}-{next(_counter)}"
        self.switch = self.name + "-sw"
        self.hosts = {}

    def __enter__(self):
        remove_stale_namespaces()
        try:
            _make_namespace(self.switch)
            subprocess.run(["ip", "-n", self.switch, "link", "add", "br0", "type", "bridge"], check=True)
            subprocess.run(["ip", "-n", self.switch, "link", "set", "br0", "up"], check=True)
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, *exc):
        self.close()

    def add_host(self, label, address):
        """A namespace with loopback and eth0 at address on the LAN; returns its name."""
        host = f"{self.name}-{label}"
        port = f"p{len(self.hosts)}"
        _make_namespace(host)
        self.hosts[label] = host
        subprocess.run(["ip", "-n", host, "link", "add", "eth0", "type", "veth", "peer", "name", port,
                        "netns", self.switch], check=True)
        subprocess.run(["ip", "-n", self.switch, "link", "set", port, "master", "br0", "up"], check=True)
        subprocess.run(["ip", "-n", host, "addr", "add", f"{address}/{self.SUBNET_BITS}", "dev", "eth0"],
                       check=True)
        subprocess.run(["ip", "-n", host, "link", "set", "eth0", "up"], check=True)
        return host

    def close(self):
        for host in self.hosts.values():
            _delete_namespace(host)
        self.hosts = {}
        _delete_namespace(self.switch)


class WineBox:
    """with WineBox() as box: box.wine(["prog.exe"])

    netns: run inside this existing namespace (a TestLan host) instead of a
    loopback-only one of the box's own."""

    def __init__(self, display=None, host_network=False, netns=None, template=DEFAULT_TEMPLATE, dpi=None):
        self.display = display
        self.dpi = dpi
        self.host_network = host_network
        self.template = template
        self.netns = netns
        self._own_netns = False
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
            _add_font_replacements(self.prefix)
            if self.dpi:
                _set_dpi(self.prefix, self.dpi)
            if not self.host_network and not self.netns:
                self.netns = f"{NETNS_PREFIX}{os.getpid()}-{next(_counter)}"
                _make_namespace(self.netns)
                self._own_netns = True
            if not self.display:
                self._start_xvfb()
                _set_unmanaged(self.prefix)
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, *exc):
        self.close()

    def _start_xvfb(self):
        # Xvfb picks a free display number itself, so parallel boxes never share one.
        # A session of its own: Ctrl+C on the caller's terminal must not take
        # the screen away from a program that is still saving.
        read_end, write_end = os.pipe()
        try:
            self._xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24",
                                           "-nolisten", "tcp"], pass_fds=(write_end,),
                                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                          start_new_session=True)
            os.close(write_end)
            write_end = None
            with os.fdopen(read_end) as announced:
                read_end = None
                number = announced.readline().strip()
        finally:
            for fd in (read_end, write_end):
                if fd is not None:
                    os.close(fd)
        if not number.isdigit():
            raise RuntimeError("Xvfb did not start")
        self.display = f":{number}"

    @property
    def env(self):
        return wine_env(self.prefix, self.display)

    def command(self, argv):
        """argv run inside the box's network namespace."""
        return (["ip", "netns", "exec", self.netns] if self.netns else []) + list(argv)

    def wine(self, args, timeout=60, check=False, capture_output=True):
        """Runs a Windows program to its end. Its output goes through files, not
        pipes: the first program of a box starts Wine's background programs,
        which inherit its handles and would keep a pipe open."""
        argv = self.command(["wine"] + list(map(str, args)))
        if not capture_output:
            return subprocess.run(argv, env=self.env, timeout=timeout, check=check)
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            result = subprocess.run(argv, env=self.env, timeout=timeout, check=check, stdout=out, stderr=err)
            out.seek(0)
            err.seek(0)
            return subprocess.CompletedProcess(argv, result.returncode, out.read(), err.read())

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

    def inside(self):
        """Sockets made in this block belong to the box's network."""
        return inside_namespace(self.netns)

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
        if self._own_netns:
            _delete_namespace(self.netns)
            self._own_netns = False
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
    run.add_argument("--dpi", type=int, default=None, help="the screen's scale in dots per inch (96 = 100 %%)")
    run.add_argument("program", nargs=argparse.REMAINDER)
    args = parser.parse_args(argv)
    program = args.program[1:] if args.program[:1] == ["--"] else args.program
    if not program:
        parser.error("no program given")
    with WineBox(display=args.display, host_network=args.host_network, dpi=args.dpi) as box:
        try:
            result = box.wine(program, timeout=args.timeout, capture_output=False)
        except subprocess.TimeoutExpired:
            print(f"winebox: {program[0]} did not finish within {args.timeout} s", file=sys.stderr)
            return 124
        return result.returncode


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
