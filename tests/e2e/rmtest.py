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
import time
import unittest
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(ROOT / "tools"))
from winebox import WineBox  # noqa: E402

EXE = Path(os.environ.get("RM_EXE", ROOT / "build/win/src/win32/RMonitor.exe"))
WINTOOL = Path(os.environ.get("RM_WINTOOL", ROOT / "build/win/tools/wintool/wintool.exe"))
ARTIFACTS = Path(os.environ.get("RM_ARTIFACTS", ROOT / "build/e2e-artifacts"))

TITLE = "Routavista Monitor"
MAIN_CLASS = "RoutavistaMonitorMain"


def _menu_items():
    """Command ids of the menu items, read from the enum that defines them."""
    text = (ROOT / "src/core/monitor/menus.h").read_text(encoding="utf-8")
    body = re.search(r"enum class Item : int \{(.*?)\};", text, re.S).group(1)
    body = re.sub(r"//[^\n]*", "", body)
    names = [n.strip() for n in body.split(",") if n.strip()]
    first = int(re.search(r"FirstCommandId = (\d+)", (ROOT / "src/win32/command_ids.h").read_text()).group(1))
    return {name: first + i for i, name in enumerate(names) if name != "Count"}


COMMAND_IDS = _menu_items()


def settings_text(**values):
    """An RMonitor.ini of this version with the given values (by pair number)."""
    lines = ["Routavista Monitor Ver2.04"]
    defaults = {1: r"C:\Program Files\Qorvalabs\Routavista\DAZera.exe", 2: "192.168.0.1", 3: "", 4: "0", 5: "0",
                6: "off", 7: "00:00", 8: "off", 9: "00:00", 10: "60", 11: "off", 12: "on", 13: "on", 14: "off",
                15: "off", 16: "", 17: "", 18: "", 19: "", 20: "", 21: "on", 22: "on", 23: "off", 24: "30", 25: "",
                26: "on", 27: "off", 28: "", 29: "off", 30: "", 31: "255", 32: "ISP1", 33: "ISP2", 34: "ISP3"}
    defaults.update({int(k[1:]): v for k, v in values.items()})
    for pair in range(1, 35):
        lines += [f"[{pair}]", defaults[pair]]
    return ("\r\n".join(lines) + "\r\n").encode("cp932")


class Monitor:
    """One RMonitor.exe in its own program folder and box."""

    def __init__(self, test_name):
        self.folder = Path(tempfile.mkdtemp(prefix="rm-e2e-"))
        self.test_name = test_name
        self.box = None
        self.procs = []

    def __enter__(self):
        shutil.copy2(EXE, self.folder / "RMonitor.exe")
        self.box = WineBox().__enter__()
        return self

    def __exit__(self, *exc):
        self.box.close()
        shutil.rmtree(self.folder, ignore_errors=True)

    def start(self):
        proc = self.box.start([self.folder / "RMonitor.exe"], cwd=self.folder)
        self.procs.append(proc)
        return proc

    def tool(self, *args, timeout=60):
        result = self.box.wine([WINTOOL] + [str(a) for a in args], timeout=timeout)
        return result.returncode, result.stdout.decode("utf-8", "replace").strip()

    def windows(self):
        """Top-level windows as (handle, visible, class, title) tuples."""
        _, out = self.tool("list")
        rows = []
        for line in out.splitlines():
            cols = line.split("\t")
            if len(cols) >= 4:
                rows.append((cols[0], cols[1] == "1", cols[2], cols[3]))
        return rows

    def main_windows(self):
        return [w for w in self.windows() if w[2] == MAIN_CLASS]

    def wait_main(self, timeout=30):
        code, out = self.tool("find", "--title", TITLE, "--class", MAIN_CLASS, "--timeout", int(timeout * 1000))
        if code != 0:
            raise AssertionError("the main window did not appear")
        return out.split()[0]

    def press(self, button="OK", timeout=20):
        """Presses a button of the program's message box; returns the box's text."""
        code, out = self.tool("press", "--title", TITLE, "--button", button, "--timeout", int(timeout * 1000))
        if code != 0:
            raise AssertionError(f"no message box with {button}")
        return out

    def command(self, item):
        code, _ = self.tool("command", "--title", TITLE, "--class", MAIN_CLASS, "--id", COMMAND_IDS[item])
        if code != 0:
            raise AssertionError(f"could not send {item}")

    def wait_exit(self, proc, timeout=30):
        try:
            return proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise AssertionError("the program did not end") from None

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
    def monitor(self):
        return Monitor(self.id().split(".")[-1])
