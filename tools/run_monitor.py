#!/usr/bin/env python3
"""Starts RMonitor.exe under Wine in a program folder and waits until it ends
(the menu's 終了, or Ctrl+C).

By default the monitor sits on a test LAN of its own beside a simulated
router (192.0.2.1), so its whole journey can be tried: 接続 makes the router
dial, its syslog brings the panel up, 切断 ends the call."""

import argparse
import contextlib
import shutil
import subprocess
import sys
import threading
import time
from pathlib import Path

import demo_commands
import tray_menus
from rmcommands import command_ids
from rmsettings import settings_bytes
from rmtables import tables
from winebox import TestLan, WineBox

SCREENSHOT_EVERY = 3.0
PC_ADDRESS = "192.0.2.10"
ROUTER_ADDRESS = "192.0.2.1"


def refresh_screenshots(box, shot, stop):
    while not stop.wait(SCREENSHOT_EVERY):
        with contextlib.suppress(Exception):
            box.screenshot(shot)


class Terminal:
    """Menu items, and answers to the box that is open, typed on the terminal
    for a screen nobody can click on."""

    def __init__(self, box, wintool):
        self.box = box
        self.wintool = wintool
        self.ids = command_ids()
        self.menu = [(row["name"], row["caption"]) for row in tables()["menu"]]
        self.shown = [row["caption"] for row in tables()["menu"] if row["visible"] and row["caption"] != "-"]

    def tool(self, *args):
        result = self.box.wine([self.wintool] + [str(a) for a in args], timeout=60)
        return result.returncode, result.stdout.decode("utf-8", "replace").strip()

    def read_menus(self):
        """What the two tray menus show now, enabled or not."""
        items = []
        for button in (tray_menus.WM_LBUTTONDOWN, tray_menus.WM_RBUTTONDOWN):
            with contextlib.suppress(tray_menus.MenuNotShown):
                items += [(caption, state) for caption, state in tray_menus.open_tray_menu(self.tool, button)
                          if caption]
        if items:
            self.shown = [caption for caption, _ in items]
        return items

    def open_box(self):
        """The texts and buttons of a box of the program that is open, if any."""
        _, out = self.tool("list")
        for line in out.splitlines():
            cols = line.split("\t")
            if len(cols) >= 4 and cols[1] == "1" and cols[2] == "#32770":
                _, children = self.tool("children", cols[0])
                texts, buttons = [], []
                for child in children.splitlines():
                    c = child.split("\t")
                    if len(c) >= 4 and c[3] == "1" and c[2]:
                        (buttons if c[1] == "Button" else texts).append(c[2].replace("\\r\\n", " "))
                return cols[3], texts, buttons
        return None

    def tell_open_box(self):
        box = self.open_box()
        if box:
            title, texts, buttons = box
            print(f"  [{title}] {' '.join(texts)}  ({' / '.join(buttons)}: type one to answer)")

    def handle(self, line):
        action = demo_commands.parse(line, self.menu, self.shown)
        if action is None:
            return
        if isinstance(action, demo_commands.ListItems):
            for caption, state in self.read_menus():
                print(f"  {caption}" + ("" if state.startswith("enabled") else "  (使えません)"))
        elif isinstance(action, demo_commands.Answer):
            box = self.open_box()
            if not box:
                print("  No box is open.")
                return
            code, out = self.tool("press", "--title", box[0], "--button", action.button, "--timeout", 3000)
            print(f"  Pressed {action.button}: {' '.join(out.splitlines())}" if code == 0
                  else f"  The box has no {action.button} button.")
            time.sleep(0.5)
            self.tell_open_box()
        elif isinstance(action, demo_commands.Command):
            items = dict(self.read_menus())
            if not items.get(action.caption, "").startswith("enabled"):
                where = "greyed out" if action.caption in items else "not in the menus now"
                print(f"  {action.caption} is {where}. Type ? for what the menus show.")
                return
            self.tool("command", "--id", self.ids[action.name])
            print(f"  Picked {action.caption}.")
            time.sleep(1.0)
            self.tell_open_box()
        else:
            print(f"  No menu item {line.strip()!r}. The menus show: {', '.join(action.suggestions)}")

    def read_lines(self):
        for line in sys.stdin:
            with contextlib.suppress(Exception):
                self.handle(line)


def show_router_log(log, stop):
    """The simulated router's commands received and syslog lines sent, as they happen."""
    while not log.exists() and not stop.wait(0.2):
        pass
    with contextlib.suppress(OSError), open(log, encoding="utf-8", errors="replace") as lines:
        lines.seek(0, 2)
        while not stop.is_set():
            line = lines.readline()
            if not line:
                stop.wait(0.2)
                continue
            cols = line.split(" ", 5)
            if len(cols) == 6 and cols[2] == "recv":
                print(f"  router <- {cols[4]}")
            elif len(cols) == 6 and cols[2] == "send" and cols[4] == "syslog":
                print(f"  router -> syslog: {cols[5].strip()}")


def run(args, box):
    stop = threading.Event()
    if not args.display:
        shot = args.folder / "screen.png"
        print(f"No display: the virtual screen is saved to {shot} every {SCREENSHOT_EVERY:.0f} s.")
        threading.Thread(target=refresh_screenshots, args=(box, shot, stop), daemon=True).start()
        if args.wintool and sys.stdin.isatty():
            print("Type a menu item and Enter to pick it (接続, 切断, ﾊﾞｰｼﾞｮﾝ情報 or バージョン情報, 終了 ...),")
            print("OK, はい or いいえ to answer a box, ? for what the menus show.")
            threading.Thread(target=Terminal(box, args.wintool).read_lines, daemon=True).start()
    print("Routavista Monitor is running. End it from its menu (終了) or with Ctrl+C.")
    proc = box.start([args.folder / "RMonitor.exe"], cwd=args.folder)
    try:
        proc.wait()
    except KeyboardInterrupt:
        print("\nStopping.")
    finally:
        stop.set()


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("exe", type=Path, help="the built RMonitor.exe")
    parser.add_argument("--folder", type=Path, required=True, help="program folder (kept between runs)")
    parser.add_argument("--routersim", type=Path, help="the built router simulator")
    parser.add_argument("--wintool", type=Path, help="the built window helper, to pick menu items from the terminal")
    parser.add_argument("--host-network", action="store_true",
                        help="use this machine's network (only with a real router on your own LAN)")
    parser.add_argument("--display", help="X display; default: a virtual screen")
    args = parser.parse_args(argv)

    args.folder.mkdir(parents=True, exist_ok=True)
    shutil.copy2(args.exe, args.folder / "RMonitor.exe")
    print(f"Program folder: {args.folder}")

    if args.host_network:
        print("Network: this machine's own.")
        with WineBox(display=args.display, host_network=True) as box:
            run(args, box)
        return 0

    settings = args.folder / "RMonitor.ini"
    if not settings.exists():
        settings.write_bytes(settings_bytes(RouterAddress=ROUTER_ADDRESS))
    print(f"Network: a test LAN of its own; this PC is {PC_ADDRESS}, the simulated router {ROUTER_ADDRESS}.")
    with TestLan() as lan:
        pc = lan.add_host("pc", PC_ADDRESS)
        router = lan.add_host("router", ROUTER_ADDRESS)
        log = args.folder / "routersim.log"
        sim = subprocess.Popen(["ip", "netns", "exec", router, str(args.routersim), "--listen", ROUTER_ADDRESS,
                                "--log", str(log)], stdout=subprocess.DEVNULL)
        print(f"Router simulator: every datagram it gets is logged in {log}.")
        stop_log = threading.Event()
        threading.Thread(target=show_router_log, args=(log, stop_log), daemon=True).start()
        try:
            with WineBox(display=args.display, netns=pc) as box:
                run(args, box)
        finally:
            stop_log.set()
            sim.terminate()
            sim.wait(timeout=10)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
