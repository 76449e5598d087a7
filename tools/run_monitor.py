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
from pathlib import Path

from rmcommands import captions, command_ids
from rmsettings import settings_bytes
from winebox import TestLan, WineBox

SCREENSHOT_EVERY = 3.0
PC_ADDRESS = "192.0.2.10"
ROUTER_ADDRESS = "192.0.2.1"


def refresh_screenshots(box, shot, stop):
    while not stop.wait(SCREENSHOT_EVERY):
        with contextlib.suppress(Exception):
            box.screenshot(shot)


def pick_menu_items(box, wintool):
    """Menu items typed on the terminal, for a screen nobody can click on."""
    ids, names = command_ids(), captions()
    for line in sys.stdin:
        item = line.strip()
        item = names.get(item, item)
        if item not in ids:
            print(f"No menu item {line.strip()!r}. Try: {', '.join(list(names)[:3])}, リセット, 終了")
            continue
        box.wine([wintool, "command", "--id", ids[item]])


def run(args, box):
    stop = threading.Event()
    if not args.display:
        shot = args.folder / "screen.png"
        print(f"No display: the virtual screen is saved to {shot} every {SCREENSHOT_EVERY:.0f} s.")
        threading.Thread(target=refresh_screenshots, args=(box, shot, stop), daemon=True).start()
        if args.wintool and sys.stdin.isatty():
            print("Type a menu item and Enter to pick it: 接続, 切断, リセット, SysLogを表示, 終了 ...")
            threading.Thread(target=pick_menu_items, args=(box, args.wintool), daemon=True).start()
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
        try:
            with WineBox(display=args.display, netns=pc) as box:
                run(args, box)
        finally:
            sim.terminate()
            sim.wait(timeout=10)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
