"""What every end-to-end test needs: the real RMonitor.exe in a fresh program
folder inside a Wine box, and the window helper to look at it and drive it."""

import os
import re
import shutil
import socket
import struct
import subprocess
import sys
import tempfile
import threading
import time
import unittest
from datetime import datetime
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(ROOT / "tools"))
import tray_menus  # noqa: E402
from rmcommands import command_ids  # noqa: E402
from tray_menus import WM_LBUTTONDOWN, WM_RBUTTONDOWN  # noqa: E402,F401
from rmsettings import settings_bytes, settings_values  # noqa: E402,F401
from winebox import TestLan, WineBox, inside_namespace  # noqa: E402,F401

EXE = Path(os.environ.get("RM_EXE", ROOT / "build/win/src/win32/RMonitor.exe"))
WINTOOL = Path(os.environ.get("RM_WINTOOL", ROOT / "build/win/tools/wintool/wintool.exe"))
STANDIN = Path(os.environ.get("RM_STANDIN", ROOT / "build/win/tools/standin/standin.exe"))
DOWNLOADSTANDIN = Path(os.environ.get("RM_DOWNLOADSTANDIN",
                                     ROOT / "build/win/tools/downloadstandin/downloadstandin.exe"))
USERPROG = Path(os.environ.get("RM_USERPROG", ROOT / "build/win/tools/userprog/userprog.exe"))
ROUTERSIM = Path(os.environ.get("RM_ROUTERSIM", ROOT / "build/native/tools/routersim/routersim"))
ARTIFACTS = Path(os.environ.get("RM_ARTIFACTS", ROOT / "build/e2e-artifacts"))

TITLE = "Routavista Monitor"
MAIN_CLASS = "RoutavistaMonitorMain"
DIALOG_CLASS = "#32770"
ABOUT_TITLE = "バージョン情報"
# What the diagnostic log says of a handler started inside another.
NESTED_HANDLER = "handler inside another"


COMMAND_IDS = command_ids()


# The test LAN: this PC, the simulated router and another copy.
PC_ADDRESS = "192.0.2.10"
ROUTER_ADDRESS = "192.0.2.1"
PEER_ADDRESS = "192.0.2.20"


class Monitor:
    """One RMonitor.exe in its own program folder and box; with lan=True the
    box is a PC on a test LAN beside a host for the router simulator; dpi
    gives the screen's scale (96 is 100 %)."""

    def __init__(self, test_name, lan=False, dpi=None):
        self.folder = Path(tempfile.mkdtemp(prefix="rm-e2e-"))
        self.test_name = test_name
        self.want_lan = lan
        self.dpi = dpi
        self.lan = None
        self.router_host = None
        self.box = None
        self.procs = []
        self.router = None

    def __enter__(self):
        try:
            shutil.copy2(EXE, self.folder / "RMonitor.exe")
            netns = None
            if self.want_lan:
                self.lan = TestLan().__enter__()
                netns = self.lan.add_host("pc", PC_ADDRESS)
                self.router_host = self.lan.add_host("router", ROUTER_ADDRESS)
            self.box = WineBox(netns=netns, dpi=self.dpi).__enter__()
        except BaseException:
            self.__exit__()
            raise
        return self

    def __exit__(self, *exc):
        if self.router:
            self.router.terminate()
            self.router.wait(timeout=10)
            self.router.stdout.close()
        if self.box:
            self.box.close()
        if self.lan:
            self.lan.close()
        shutil.rmtree(self.folder, ignore_errors=True)

    def start_router(self, *options):
        """The router simulator on the LAN, logging what it gets to routersim.log."""
        self.router_log = self.folder / "routersim.log"
        self.router = subprocess.Popen(
            ["ip", "netns", "exec", self.router_host, str(ROUTERSIM), "--listen", ROUTER_ADDRESS,
             "--log", str(self.router_log), "--delay-scale", "0.3", *map(str, options)],
            stdout=subprocess.PIPE, text=True)
        if self.router.stdout.readline().strip() != "ready":
            raise AssertionError("the router simulator did not start")

    def router_received(self):
        """(command name, hex bytes) of every datagram the simulator got."""
        if not self.router_log.exists():
            return []
        rows = []
        for line in self.router_log.read_text().splitlines():
            cols = line.split()
            if len(cols) >= 6 and cols[2] == "recv":
                rows.append((cols[4], cols[-1]))
        return rows

    def wait_router_received(self, name, count=1, timeout=30):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            got = [r for r in self.router_received() if r[0].startswith(name)]
            if len(got) >= count:
                return got
            time.sleep(0.2)
        raise AssertionError(f"the router did not get {count} x {name}: {self.router_received()}")

    def wait_router_sent(self, text, timeout=30):
        """Waits until the simulator has sent a syslog line holding text."""
        def sent():
            if not self.router_log.exists():
                return False
            return any(line.split()[2:3] == ["send"] and text in line
                       for line in self.router_log.read_text(errors="replace").splitlines())
        wait_until(sent, timeout, f"the router's line {text!r}")

    def install_standin(self, name):
        """The stand-in program under the given file name in the program folder."""
        path = self.folder / name
        shutil.copy2(STANDIN, path)
        return path

    def standin_log(self):
        log = self.folder / "standin.log"
        return log.read_text(encoding="utf-8").splitlines() if log.exists() else []

    def windows_path(self, path):
        """How a Linux path reads in Wine (drive Z: is the root)."""
        return "Z:" + str(path).replace("/", "\\")

    def start(self):
        """The program with its diagnostic log (log/debug.log)."""
        proc = self.box.start([self.folder / "RMonitor.exe", "/debuglog"], cwd=self.folder)
        self.procs.append(proc)
        return proc

    def nested_handlers(self):
        """The diagnostic log's lines about a handler that started inside
        another outside a dialog the user opened."""
        log = self.folder / "log" / "debug.log"
        if not log.exists():
            return []
        return [line for line in log.read_text(encoding="utf-8", errors="replace").splitlines()
                if NESTED_HANDLER in line]

    def run_tool(self, *args, timeout=60):
        """wintool's whole result. A start that Wine itself failed (under load,
        rarely) is tried again: only the tool's own answer counts."""
        for _ in range(3):
            result = self.box.wine([WINTOOL] + [str(a) for a in args], timeout=timeout)
            if result.returncode == 0 or b"wintool: " in result.stderr:
                return result
            time.sleep(1)
        raise AssertionError(f"wintool did not run ({result.returncode}): "
                             f"{result.stderr.decode('utf-8', 'replace').strip()[-600:]!r}")

    def tool(self, *args, timeout=60):
        result = self.run_tool(*args, timeout=timeout)
        return result.returncode, result.stdout.decode("utf-8", "replace").strip()

    def windows(self):
        """Top-level windows as (handle, visible, class, title, (x, y, width, height)) tuples."""
        _, out = self.tool("list")
        rows = []
        for line in out.splitlines():
            cols = line.split("\t")
            if len(cols) >= 8:
                rows.append((cols[0], cols[1] == "1", cols[2], cols[3], tuple(int(c) for c in cols[4:8])))
        return rows

    def main_windows(self):
        return [w for w in self.windows() if w[2] == MAIN_CLASS]

    def wait_main(self, timeout=30):
        """Waits for the main window and the three ports, so that datagrams sent
        from now on are received."""
        code, out = self.tool("find", "--title", TITLE, "--class", MAIN_CLASS, "--timeout", int(timeout * 1000))
        if code != 0:
            ended = [p.returncode for p in self.procs if p.poll() is not None]
            raise AssertionError(f"the main window did not appear (programs ended with {ended})")
        wait_until(lambda: {514, 4449, 4450} <= self.bound_udp_ports(), timeout, "the three UDP ports")
        return out.split()[0]

    def press(self, button="OK", timeout=20, title=TITLE):
        """Presses a button of the program's message box; returns the box's text."""
        code, out = self.tool("press", "--title", title, "--button", button, "--timeout", int(timeout * 1000))
        if code != 0:
            raise AssertionError(f"no message box with {button}")
        return out

    def command(self, item):
        code, _ = self.tool("command", "--title", TITLE, "--class", MAIN_CLASS, "--id", COMMAND_IDS[item])
        if code != 0:
            raise AssertionError(f"could not send {item}")

    def answer_time(self, timeout=120):
        """Seconds from posting "ﾊﾞｰｼﾞｮﾝ情報" until its window shows, which
        it does only once the program has no message waiting; closes it again."""
        start = time.monotonic()
        self.command("ShowVersion")
        code, _ = self.tool("find", "--title", ABOUT_TITLE, "--visible", "--timeout", timeout * 1000,
                            timeout=timeout + 60)
        if code != 0:
            raise AssertionError(f"the version window did not show within {timeout} s")
        took = time.monotonic() - start
        self.press("OK", title=ABOUT_TITLE)
        self.tool("wait-gone", "--title", ABOUT_TITLE, "--timeout", 20_000)
        return took

    def notices(self):
        """The texts of the program's boxes on screen titled like the program."""
        texts = []
        for handle, visible, cls, title, _ in self.windows():
            if visible and cls == DIALOG_CLASS and title == TITLE:
                _, out = self.tool("children", handle)
                texts.append("".join(line.split("\t")[2] for line in out.splitlines()
                                     if line.split("\t")[1] == "Static"))
        return texts

    def control(self, window_title, control_id):
        """(handle, text) of a control of one of the program's windows."""
        window = wait_until(lambda: next((w[0] for w in self.windows() if w[3] == window_title and w[1]), None),
                            what=window_title)
        _, out = self.tool("children", window)
        for line in out.splitlines():
            cols = line.split("\t")
            if len(cols) >= 5 and cols[4] == str(control_id):
                return cols[0], cols[2].replace("\\r", "\r").replace("\\n", "\n")
        raise AssertionError(f"{window_title} has no control {control_id}")

    def wait_exit(self, proc, timeout=30):
        """The exit code, once no handler has run inside another."""
        try:
            code = proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise AssertionError("the program did not end") from None
        if nested := self.nested_handlers():
            raise AssertionError(f"handlers ran inside others: {nested[:5]}")
        return code

    def bound_udp_ports(self):
        out = self.box.run_native(["ss", "-Hulnp"]).stdout
        return {int(m.group(1)) for m in re.finditer(r"0\.0\.0\.0:(\d+)\s", out)}

    def screenshot(self, name):
        ARTIFACTS.mkdir(parents=True, exist_ok=True)
        path = ARTIFACTS / f"{self.test_name}-{name}.png"
        self.box.screenshot(path)
        return path

    def capture_udp(self, port):
        """A raw capture on the box's loopback of UDP datagrams to port."""
        return UdpCapture(self.box, port)


class UdpCapture:
    """Sees every UDP datagram to a port on the box's loopback, even one that
    the program itself is bound to."""

    def __init__(self, box, port):
        self.port = port
        with box.inside():
            self.sock = socket.socket(socket.AF_PACKET, socket.SOCK_RAW, socket.htons(0x0003))
        self.sock.bind(("lo", 0))
        self.sock.settimeout(0.2)

    def datagrams(self, wait=5.0, until=None):
        """(destination address, payload) pairs seen within wait seconds."""
        seen = []
        deadline = time.monotonic() + wait
        while time.monotonic() < deadline:
            try:
                frame, meta = self.sock.recvfrom(65535)
            except socket.timeout:
                continue
            if meta[2] == socket.PACKET_OUTGOING:
                continue  # loopback shows each frame twice
            packet = frame[14:]
            if len(packet) < 28 or packet[0] >> 4 != 4 or packet[9] != 17:
                continue
            header = (packet[0] & 0x0F) * 4
            dst = socket.inet_ntoa(packet[16:20])
            dport = struct.unpack("!H", packet[header + 2:header + 4])[0]
            if dport == self.port:
                seen.append((dst, packet[header + 8:]))
                if until and until(seen):
                    break
        return seen

    def close(self):
        self.sock.close()


class MonitorTestCase(unittest.TestCase):
    """The monitor alone in its box: the router's syslog comes over loopback."""
    router_address = "127.0.0.1"

    def monitor(self, dpi=None):
        return Monitor(self.id().split(".")[-1], dpi=dpi)

    def start(self, m, **settings):
        (m.folder / "RMonitor.ini").write_bytes(settings_bytes(RouterAddress=self.router_address, **settings))
        proc = m.start()
        m.wait_main()
        return proc

    def finish(self, m, proc):
        m.command("Exit")
        self.assertEqual(m.wait_exit(proc), 0)


class LanTestCase(MonitorTestCase):
    """The monitor on the test LAN, its settings naming the router there."""
    router_address = ROUTER_ADDRESS

    def monitor(self):
        return Monitor(self.id().split(".")[-1], lan=True)

    def peer(self, m, label="peer", address=PEER_ADDRESS):
        sock = lan_peer(m, label, address)
        self.addCleanup(sock.close)
        return sock


# ---- status display and tray icon

# Without a system tray on the display, Wine shows the icons in its own
# "Wine System Tray" window, one child window per icon.
WINE_TRAY_ICON_CLASS = "__winex11_tray_icon"


def framed(text):
    """A router line as it arrives: RFC 3164 priority, time and host before the text."""
    return f"<30>{datetime.now():%b %e %H:%M:%S} rv4 {text}".encode("cp932")


def send_syslog(m, text):
    """One syslog datagram (text or bytes) to the program, sent inside the box over loopback."""
    sock = m.box.udp_socket()
    try:
        sock.sendto(text if isinstance(text, bytes) else text.encode("cp932"), ("127.0.0.1", 514))
    finally:
        sock.close()


def wait_until(condition, timeout=30, what="the condition"):
    """Polls condition until it gives a true value, which is returned."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError(f"{what} did not come within {timeout} s")
        time.sleep(0.2)


def send_paced(sock, address, datagrams, rate):
    """Sends the datagrams at rate per second (None: as fast as the socket
    takes them), paced on the monotonic clock; returns (first send, last
    send) on that clock."""
    start = time.monotonic()
    total = len(datagrams)
    if rate is None:
        for datagram in datagrams:
            sock.sendto(datagram, address)
        return start, time.monotonic()
    sent = 0
    while sent < total:
        # Catches up after a late wake-up instead of stretching the burst.
        due = min(total, int((time.monotonic() - start) * rate) + 1)
        while sent < due:
            sock.sendto(datagrams[sent], address)
            sent += 1
        pause = start + sent / rate - time.monotonic()
        if sent < total and pause > 0:
            time.sleep(pause)
    return start, time.monotonic()


def in_background(function, *args):
    """function(*args) on a thread of its own, started."""
    thread = threading.Thread(target=function, args=args, daemon=True)
    thread.start()
    return thread


class DailyLines:
    """The lines of the daily syslog files as they grow, each byte read once."""

    def __init__(self, m):
        self.folder = m.folder / "syslog"
        self.read = {}  # path: (offset, bytes of a line not ended yet)

    def new(self):
        """The lines ended since the last call, oldest file first."""
        lines = []
        for path in sorted(self.folder.glob("*.log")):
            offset, tail = self.read.get(path, (0, b""))
            with open(path, "rb") as f:
                f.seek(offset)
                data = f.read()
            *ended, rest = (tail + data).split(b"\r\n")
            lines += ended
            self.read[path] = (offset + len(data), rest)
        return lines


def wait_panel(m, shown, timeout=30):
    """Waits for the panel to be shown or hidden; returns its handle and place."""
    def panel():
        rows = [w for w in m.windows() if w[2] == MAIN_CLASS and w[1] == shown]
        return (rows[0][0], rows[0][4]) if rows else None
    return wait_until(panel, timeout, "the panel " + ("shown" if shown else "hidden"))


def panel_caption(m, handle):
    """The text of the panel's caption control."""
    _, out = m.tool("children", handle)
    for line in out.splitlines():
        cols = line.split("\t")
        if len(cols) >= 3 and cols[1] == "Static":
            return cols[2]
    raise AssertionError("the panel has no caption control")


def wait_counting(m, handle, timeout=30):
    """Waits for the panel's caption to show the connected time; returns it."""
    def counting():
        caption = panel_caption(m, handle)
        return caption if re.fullmatch(r"\d\d:\d\d:\d\d", caption) else None
    return wait_until(counting, timeout, "the connected time on the panel")


def balloons(m):
    """The texts of the tray icons' balloons on screen, which Wine draws as tooltips."""
    return [m.tool("tooltip", w[0])[1] for w in m.windows() if w[1] and w[2] == "tooltips_class32"]


def tray_icon_rect(m, timeout=30):
    """(x, y, width, height) of the program's icon in Wine's tray window."""
    def find():
        _, out = m.tool("list", "--all")
        for line in out.splitlines():
            cols = line.split("\t")
            if len(cols) >= 8 and cols[2] == WINE_TRAY_ICON_CLASS and cols[1] == "1":
                return tuple(int(c) for c in cols[4:8])
        return None
    return wait_until(find, timeout, "the tray icon")


def pixels(png, rect):
    """The RGB bytes of a rectangle of a screenshot."""
    x, y, w, h = rect
    return subprocess.run(["convert", str(png), "-crop", f"{w}x{h}+{x}+{y}", "+repage", "-depth", "8", "rgb:-"],
                          check=True, capture_output=True).stdout


def open_tray_menu(m, mouse_message):
    """The captions of the menu that a button opens on the tray icon; closes it again."""
    try:
        items = tray_menus.open_tray_menu(m.tool, mouse_message,
                                          lambda: m.screenshot(f"menu-{mouse_message:x}"))
    except tray_menus.MenuNotShown as e:
        raise AssertionError(str(e)) from None
    return [caption for caption, _ in items]


# ---- other hosts on the test LAN

def lan_host_socket(m, label, address):
    """A UDP socket on one more host of the monitor's test LAN (lan=True), as
    another PC beside it would have."""
    host = m.lan.add_host(label, address)
    with inside_namespace(host):
        return socket.socket(socket.AF_INET, socket.SOCK_DGRAM)


def lan_peer(m, label="peer", address=PEER_ADDRESS):
    """Another copy's port 4450 on the LAN, hearing broadcasts too."""
    sock = lan_host_socket(m, label, address)
    sock.setsockopt(socket.SOL_SOCKET, socket.SO_BROADCAST, 1)
    sock.bind(("", 4450))
    sock.settimeout(30)
    return sock


def receive_until(sock, last):
    """Texts from the monitor up to and including last."""
    texts = []
    while not texts or texts[-1] != last:
        try:
            data, sender = sock.recvfrom(4096)
        except socket.timeout:
            raise AssertionError(f"no {last!r} from the monitor; it sent {texts[-10:]}") from None
        if sender[0] == PC_ADDRESS:
            texts.append(data.decode("cp932"))
    return texts


def memo_datagrams(lines):
    """A memo as another copy sends it, its lines given as text or bytes."""
    return [line if isinstance(line, bytes) else line.encode("cp932")
            for line in [b"RMonitor MemoSend Ver1.00", *lines, b"RMonitor MemoSend End"]]


def send_memo(sock, lines):
    for datagram in memo_datagrams(lines):
        sock.sendto(datagram, (PC_ADDRESS, 4450))
