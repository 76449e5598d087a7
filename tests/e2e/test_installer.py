"""Getting it onto a PC: the zip of the program folder, and the per-user
installer run silently in the monitor's own box. Install, a call on the test
LAN from the installed monitor, upgrade, uninstall and install again keep the
settings and the history; the installer and the uninstaller refuse to touch a
running monitor."""

import os
import re
import subprocess
import tempfile
import unittest
import zipfile
from functools import cache
from pathlib import Path

from rmtest import (EXE, ROOT, ROUTER_ADDRESS, LanTestCase, settings_bytes, settings_values, wait_counting,
                    wait_panel, wait_until)

PACKAGE = Path(os.environ.get("RM_PACKAGE", ROOT / "build/package"))
VERSION = os.environ.get("RM_VERSION") or re.search(r"project\(\w+ VERSION ([\d.]+)",
                                                   (ROOT / "CMakeLists.txt").read_text())[1]
SETUP = PACKAGE / f"RoutavistaMonitor-{VERSION}-setup.exe"
ZIP = PACKAGE / f"RoutavistaMonitor-{VERSION}.zip"
UNINSTALL_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\RoutavistaMonitor"
PROGRAM_FILES = ["RMonitor.exe", "RMView.exe", "はじめに.txt", "Uninstall.exe"]
LINK = "Routavista Monitor.lnk"
# Exit code of both when the monitor runs.
MONITOR_RUNS = 2


class UserProfile:
    """Where a per-user install puts things in the box's Wine prefix; the
    program folder is the installer's own choice unless named (a folder of
    the profile, as a Windows path and its Linux place)."""

    def __init__(self, m, folder=r"AppData\Local\Programs\Routavista Monitor"):
        users = m.box.prefix / "drive_c" / "users"
        home = next(p for p in users.iterdir() if p.name != "Public")
        self.windows_folder = rf"C:\users\{home.name}\{folder}"
        self.folder = home.joinpath(*folder.split("\\"))
        programs = home / "AppData/Roaming/Microsoft/Windows/Start Menu/Programs"
        self.start_menu = programs / LINK
        # Wine spells the folder StartUp.
        self.startup = next(p for p in programs.iterdir() if p.name.lower() == "startup") / LINK


def run(m, program, *args):
    """A Windows program in the monitor's box, to its end; its exit code.
    Wine's menu builder stays off: it would copy the shortcuts to this
    machine's own desktop menus."""
    env = m.box.env
    env["WINEDLLOVERRIDES"] += ";winemenubuilder.exe=d"
    return subprocess.run(m.box.command(["wine", str(program), *map(str, args)]), env=env, timeout=180,
                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode


def last_switch(switch, folder):
    """/D= or _?= with a folder, as typed: unquoted, the rest of the command
    line. Wine would quote one argument with a space, which neither reads."""
    return f"{switch}={folder}".split(" ")


def uninstall_entry(m):
    """The values of the per-user uninstall entry, empty when there is none."""
    result = m.box.wine(["reg", "query", UNINSTALL_KEY])
    values = {}
    for line in result.stdout.decode("utf-8", "replace").splitlines():
        cols = line.strip().split(None, 2)
        if len(cols) == 3 and cols[1].startswith("REG_"):
            values[cols[0]] = cols[2]
    return values


@cache
def stripped(name):
    """The build's program as it is shipped: without the static runtime's debug sections."""
    with tempfile.TemporaryDirectory() as scratch:
        out = Path(scratch) / name
        subprocess.run(["x86_64-w64-mingw32-strip", "-p", "-o", out, EXE.parent / name], check=True)
        return out.read_bytes()


def kept_files(folder):
    """The bytes of everything the monitor wrote in its folder."""
    return {p.relative_to(folder).as_posix(): p.read_bytes() for p in sorted(folder.rglob("*"))
            if p.is_file() and p.name not in PROGRAM_FILES}


class Installer(LanTestCase):

    def assertInstalled(self, m, at, startup):
        self.assertEqual(sorted(p.name for p in at.folder.iterdir() if p.name in PROGRAM_FILES),
                         sorted(PROGRAM_FILES))
        for name in ["RMonitor.exe", "RMView.exe"]:
            self.assertEqual((at.folder / name).read_bytes(), stripped(name), name)
        with zipfile.ZipFile(ZIP) as z:
            text = z.read("Routavista Monitor/はじめに.txt")
        self.assertEqual((at.folder / "はじめに.txt").read_bytes(), text)
        self.assertEqual(at.startup.exists(), startup, "start at sign-in")
        # A shortcut names its target in plain text, among binary fields.
        target = rf"{at.windows_folder}\RMonitor.exe".encode("ascii")
        for link in [at.start_menu] + [at.startup] * startup:
            self.assertIn(target, link.read_bytes(), link.name)
        entry = uninstall_entry(m)
        self.assertEqual((entry.get("DisplayName"), entry.get("DisplayVersion"), entry.get("InstallLocation")),
                         ("Routavista Monitor", VERSION, at.windows_folder))
        self.assertEqual(entry.get("UninstallString"), rf'"{at.windows_folder}\Uninstall.exe"')

    def test_install_call_upgrade_uninstall_and_install_again_keep_settings_and_history(self):
        with self.monitor() as m:
            # Not where the installer would go, so that the upgrade shows it finds the install.
            at = UserProfile(m, "Routavista Monitor")
            self.assertEqual(run(m, SETUP, "/S", *last_switch("/D", at.windows_folder)), 0)
            self.assertInstalled(m, at, startup=False)

            # A setting away from its default (the router is at 192.168.0.1
            # out of the box) and a call on the test LAN.
            (at.folder / "RMonitor.ini").write_bytes(
                settings_bytes(RouterAddress=ROUTER_ADDRESS, SyslogAutoSave="on"))
            # The launcher's file with メモ帳 registered, the five other entries empty.
            launcher = ["RouLaunch Ver2.04", "メモ帳", r"C:\windows\notepad.exe", "", "", "off", "off"] + [""] * 30
            (at.folder / "RVlaunch.ini").write_bytes("".join(line + "\r\n" for line in launcher).encode("cp932"))
            m.start_router()
            proc = m.box.start([at.folder / "RMonitor.exe"], cwd=at.folder)
            m.procs.append(proc)
            m.wait_main()
            m.command("ConnectPort1")
            handle, _ = wait_panel(m, True)
            wait_counting(m, handle)
            wait_until(lambda: "IPCP UP" in m.router_log.read_text(), what="the router's last dial line")
            m.command("DisconnectPort1")
            history = at.folder / "log" / "Rmonitor.csv"
            wait_until(history.exists, what="the history record")

            # Neither replaces nor removes the running monitor.
            self.assertEqual(run(m, SETUP, "/S"), MONITOR_RUNS)
            uninstall = at.folder / "Uninstall.exe"
            self.assertEqual(run(m, uninstall, "/S", *last_switch("_?", at.windows_folder)), MONITOR_RUNS)
            self.assertInstalled(m, at, startup=False)
            self.assertIsNone(proc.poll())

            m.command("Exit")
            self.assertEqual(m.wait_exit(proc), 0)
            kept = kept_files(at.folder)
            self.assertEqual(settings_values(kept["RMonitor.ini"])[2], ROUTER_ADDRESS)
            self.assertRegex(kept["log/Rmonitor.csv"].decode("ascii"), rf"^{VERSION},Port1,")
            self.assertIn("メモ帳", kept["RVlaunch.ini"].decode("cp932"))
            self.assertTrue(any(name.startswith("syslog/") for name in kept), sorted(kept))

            # Upgrades go where the first install went. The sign-in start is
            # chosen in one, kept by the next, which does not say, and undone.
            for switches, startup in [(["/STARTUP=1"], True), ([], True), (["/STARTUP=0"], False), ([], False),
                                      (["/STARTUP=1"], True)]:
                self.assertEqual(run(m, SETUP, "/S", *switches), 0)
                self.assertInstalled(m, at, startup=startup)
            self.assertEqual(kept_files(at.folder), kept)

            # The registered uninstall copies itself away and returns at once.
            self.assertEqual(run(m, uninstall, "/S"), 0)
            wait_until(lambda: not uninstall.exists(), what="the end of the uninstall")
            self.assertEqual([p.name for p in at.folder.iterdir() if p.name in PROGRAM_FILES], [])
            self.assertFalse(at.start_menu.exists(), "the Start menu entry is left")
            self.assertFalse(at.startup.exists(), "the sign-in start is left")
            self.assertEqual(uninstall_entry(m), {})
            self.assertEqual(kept_files(at.folder), kept)

            self.assertEqual(run(m, SETUP, "/S", *last_switch("/D", at.windows_folder)), 0)
            self.assertInstalled(m, at, startup=False)
            self.assertEqual(kept_files(at.folder), kept)

    def test_a_plain_install_goes_to_the_users_programs_folder(self):
        with self.monitor() as m:
            self.assertEqual(run(m, SETUP, "/S"), 0)
            self.assertInstalled(m, UserProfile(m), startup=False)


class Zip(unittest.TestCase):

    def test_the_zip_holds_the_program_folder_and_a_text_notepad_reads(self):
        with zipfile.ZipFile(ZIP) as z:
            self.assertEqual(sorted(n for n in z.namelist() if not n.endswith("/")),
                             ["Routavista Monitor/RMView.exe", "Routavista Monitor/RMonitor.exe",
                              "Routavista Monitor/はじめに.txt"])
            for name in ["RMonitor.exe", "RMView.exe"]:
                self.assertEqual(z.read(f"Routavista Monitor/{name}"), stripped(name), name)
            data = z.read("Routavista Monitor/はじめに.txt")
            # Windows' own unpacking reads the name as UTF-8 only when flagged so.
            self.assertTrue(z.getinfo("Routavista Monitor/はじめに.txt").flag_bits & 0x800)
        # UTF-8 with a BOM and CR LF line ends.
        self.assertTrue(data.startswith(b"\xef\xbb\xbf"))
        self.assertNotIn(b"\n", data.replace(b"\r\n", b""))
        text = data[3:].decode("utf-8")
        self.assertIn("通知領域", text)
        # A newcomer's steps in order: the router's syslog to this PC, its address, the firewall, sign-in.
        steps = [text.index(step) for step in ("ポートは 514", "「基本設定」", "netsh advfirewall", "shell:startup")]
        self.assertEqual(steps, sorted(steps))
        self.assertIn('netsh advfirewall firewall add rule name="Routavista Monitor" dir=in action=allow '
                      'program="%LOCALAPPDATA%\\Programs\\Routavista Monitor\\RMonitor.exe" '
                      'protocol=UDP localport=514,4449,4450 profile=private remoteip=localsubnet', text)


if __name__ == "__main__":
    unittest.main()
