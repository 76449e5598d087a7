#!/usr/bin/env python3
"""Starts RMonitor.exe under Wine in a program folder, in a box of its own,
and waits until it ends (the tray menu's 終了, or Ctrl+C)."""

import argparse
import shutil
import sys
import threading
from pathlib import Path

from winebox import WineBox

SCREENSHOT_EVERY = 3.0


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("exe", type=Path, help="the built RMonitor.exe")
    parser.add_argument("--folder", type=Path, required=True, help="program folder (kept between runs)")
    parser.add_argument("--host-network", action="store_true",
                        help="use this machine's network (only with a real router on your own LAN)")
    parser.add_argument("--display", help="X display; default: $DISPLAY, else a virtual screen")
    args = parser.parse_args(argv)

    args.folder.mkdir(parents=True, exist_ok=True)
    exe = args.folder / "RMonitor.exe"
    shutil.copy2(args.exe, exe)
    print(f"Program folder: {args.folder}")
    print("Network: " + ("this machine's own" if args.host_network else "a namespace of its own (loopback only)"))

    with WineBox(display=args.display, host_network=args.host_network) as box:
        stop = threading.Event()
        if not args.display:
            shot = args.folder / "screen.png"
            print(f"No display: the virtual screen is saved to {shot} every {SCREENSHOT_EVERY:.0f} s.")

            def refresh():
                while not stop.wait(SCREENSHOT_EVERY):
                    try:
                        box.screenshot(shot)
                    except Exception:
                        pass

            threading.Thread(target=refresh, daemon=True).start()
        print("Routavista Monitor is running. End it from its menu (終了) or with Ctrl+C.")
        proc = box.start([exe], cwd=args.folder)
        try:
            proc.wait()
        except KeyboardInterrupt:
            print("\nStopping.")
        finally:
            stop.set()
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
