#!/usr/bin/env python3
"""Starts RMonitor.exe under Wine in a program folder and waits until it ends
(the menu's 終了, or Ctrl+C, which ends it the same way).

By default the monitor sits on a test LAN of its own beside a simulated
router (192.0.2.1), so its whole journey can be tried: 接続 makes the router
dial, its syslog brings the panel up, 切断 ends the call."""

import argparse
import contextlib
import os
import shutil
import subprocess
import sys
import threading
from pathlib import Path

import demo_commands
import tray_menus
from rmcommands import command_ids
from rmsettings import settings_bytes
from winebox import TestLan, WineBox

SCREENSHOT_EVERY = 3.0
WATCH_EVERY = 0.5
PC_ADDRESS = "192.0.2.10"
ROUTER_ADDRESS = "192.0.2.1"
WM_COMMAND = 0x111
BM_CLICK = 0xF5
TCM_SETCURFOCUS = 0x1330  # selects the page and tells the dialog, as a click on the tab does
HELP_PAGE = "RMonitorHelp.html"


def refresh_screenshots(box, shot, stop):
    # Written beside it and moved over it, so that a reader never finds it half written.
    fresh = shot.with_name(f"{shot.stem}.tmp{shot.suffix}")
    while not stop.wait(SCREENSHOT_EVERY):
        with contextlib.suppress(Exception):
            box.screenshot(fresh)
            os.replace(fresh, shot)


def copy_if_newer(source, folder):
    target = folder / source.name
    if not target.exists() or source.stat().st_mtime > target.stat().st_mtime:
        shutil.copy2(source, target)


class WindowTool:
    """One wintool process in the box answering every question: starting Wine
    for each one took most of a typed command's time."""

    def __init__(self, box, wintool):
        self.proc = subprocess.Popen(box.command(["wine", str(wintool), "serve"]), env=box.env,
                                     stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                                     start_new_session=True)
        self.lock = threading.Lock()

    def __call__(self, *args):
        """(exit code, output) of one wintool command."""
        with self.lock:
            self.proc.stdin.write(("\t".join(map(str, args)) + "\n").encode("utf-8"))
            self.proc.stdin.flush()
            lines = []
            for raw in self.proc.stdout:
                line = raw.decode("utf-8", "replace").rstrip("\r\n")
                if line.startswith("wintool-end\t"):
                    return int(line.split("\t")[1]), "\n".join(lines)
                lines.append(line)
            raise OSError("wintool has ended")

    def close(self):
        with contextlib.suppress(OSError):
            self.proc.stdin.close()
        try:
            self.proc.wait(timeout=5)
        except subprocess.TimeoutExpired:
            self.proc.kill()


class Terminal:
    """Menu items, buttons, pages and text boxes typed on the terminal, for a
    screen nobody can click on; and what opens on that screen, told as it
    opens."""

    def __init__(self, box, tool, folder):
        self.box = box
        self.tool = tool
        self.folder = folder
        self.shown = {}
        self.help_page = None

    def windows(self, *options):
        code, out = self.tool("shown", *options)
        return demo_commands.parse_shown(out) if code == 0 else []

    def places(self):
        """Everything the screen offers now: the program's windows, front
        first, then the tray menus, read anew for each command."""
        menus = []
        for button in (tray_menus.WM_LBUTTONDOWN, tray_menus.WM_RBUTTONDOWN):
            with contextlib.suppress(tray_menus.MenuNotShown):
                menus.append(tray_menus.read_tray_menu(self.tool, button))
        return self.windows() + [demo_commands.tray_place(menus)]

    def handle(self, line):
        text = demo_commands.parse(line)
        if text is None:
            return
        places = self.places()
        if isinstance(text, demo_commands.ListItems):
            print("\n".join(demo_commands.listing(places)))
            return
        typed = text.text if isinstance(text, demo_commands.SetText) else None
        found = demo_commands.resolve(text.label if typed is not None else text, places, fields=typed is not None)
        if isinstance(found, demo_commands.Chosen):
            self.act(found, typed)
        elif isinstance(found, demo_commands.Greyed):
            print(f"  {found.caption} is greyed out now ({', '.join(found.places)}).")
        elif isinstance(found, demo_commands.NoPlace):
            print(f"  No window {found.name!r} is open; these are: {', '.join(found.places)}.")
        elif found.suggestions:
            print(f"  Nothing called {line.strip()!r} is on the screen now. Try: {', '.join(found.suggestions)}"
                  "  (? lists everything)")
        else:
            print("  The program shows nothing to click now.")

    def act(self, found, typed):
        item, place = found.item, found.place
        kind, *args = item.how
        if kind == "command":
            self.tool("command", "--id", args[0])
        elif kind == "post":
            self.tool("post", args[0], WM_COMMAND, args[1])
        elif kind == "tab":
            self.tool("post", args[0], TCM_SETCURFOCUS, args[1])
        elif kind == "field":
            self.tool("settext", args[0], typed)
        elif kind == "list" and self.tool("choose", args[0], typed)[0] != 0:
            print(f"  {item.caption} has no choice {typed!r}.")
            return
        else:
            # Posted: wintool's click waits for the handler, which takes
            # seconds under Wine; what the click does is told as it shows.
            self.tool("post", args[0], BM_CLICK)
        verb = {"menu": "Picked", "tab": "Opened the page", "field": f"Set {typed} in"}.get(item.kind, "Pressed")
        reply = f"  {verb} {item.caption or 'the text box'} in {demo_commands.where(place, item)}."
        if item.kind == "checkbox":
            reply += " Now off." if item.checked else " Now on."
        if found.alike > 1:
            reply += f" (It is {item.caption}#{found.nth} of {found.alike} there" + \
                     (", the default one" if item.default else "") + "; ? numbers them.)"
        for other in found.also:
            reply += f" For the one in {other}, type {other}:{item.caption}."
        print(reply)

    def watch(self, stop):
        """Tells each window of the program that opens or closes, whatever
        opened it, and hands the help page over when the program writes it."""
        while not stop.wait(WATCH_EVERY):
            with contextlib.suppress(Exception):
                # The contents only when a window has come: reading a menu
                # bar starts a thread in the program.
                now = {place.handle: place for place in self.windows("--windows")}
                if now.keys() - self.shown.keys():
                    now = {place.handle: place for place in self.windows()}
                for handle, place in now.items():
                    if handle not in self.shown:
                        print(f"  {demo_commands.describe(place)}")
                for handle, place in self.shown.items():
                    if handle not in now:
                        print(f"  {demo_commands.describe_gone(place)}")
                self.shown = now
                self.hand_over_help()

    def hand_over_help(self):
        """The box has no browser (Wine's built-in one needs Wine Gecko, which
        Debian does not ship), so ﾍﾙﾌﾟ cannot open its page there: it is
        copied where a browser of this machine can open it."""
        users = self.box.prefix / "drive_c" / "users"
        pages = list(users.glob(f"*/Temp/{HELP_PAGE}")) + list(users.glob(f"*/AppData/Local/Temp/{HELP_PAGE}"))
        for page in pages:
            written = page.stat().st_mtime
            if written != self.help_page:
                self.help_page = written
                shutil.copy2(page, self.folder / HELP_PAGE)
                print(f"  The box has no browser to show the help page in; it is in {self.folder / HELP_PAGE}:"
                      " open that in a browser of this machine.")

    def read_lines(self):
        # Lines typed before the tray icon is there would find nothing.
        self.tool("find", "--class", tray_menus.TRAY_CALLBACK_CLASS, "--timeout", 60000)
        print("Type what you would click and Enter: a menu item (接続, 切断, SysLogを表示, 終了 …), a button or")
        print("a page of the window in front (OK, はい, 送信, ランチャー …); LABEL=text fills a text box;")
        print("WINDOW:item picks it in that window (トレイ:終了); ? lists everything the screen offers now.")
        print("Windows that open are told here.")
        for line in sys.stdin:
            try:
                self.handle(line)
            except Exception as e:  # the demo goes on: the next line may work
                print(f"  That did not work: {e}")


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
    print("Routavista Monitor is running. End it from its menu (終了) or with Ctrl+C.")
    # A session of its own: Ctrl+C on the terminal is ours to handle.
    proc = box.start([args.folder / "RMonitor.exe"], cwd=args.folder, start_new_session=True)
    tool = WindowTool(box, args.wintool) if args.wintool else None
    if tool:
        terminal = Terminal(box, tool, args.folder)
        threading.Thread(target=terminal.watch, args=(stop,), daemon=True).start()
        threading.Thread(target=terminal.read_lines, daemon=True).start()
    try:
        try:
            proc.wait()
        except KeyboardInterrupt:
            if not tool:
                raise
            print("\nEnding the monitor as 終了 does, so that it saves its settings and history"
                  " (Ctrl+C again stops it at once).")
            if tool("command", "--id", command_ids()["Exit"])[0] != 0:
                print("  The monitor has no window to take it yet: Ctrl+C again stops it at once.")
            proc.wait()
    except KeyboardInterrupt:
        print("\nStopping at once.")
    finally:
        stop.set()
        if tool:
            tool.close()


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("exe", type=Path, help="the built RMonitor.exe")
    parser.add_argument("--folder", type=Path, required=True, help="program folder (kept between runs)")
    parser.add_argument("--rmview", type=Path, help="the built RMView.exe, put beside the monitor")
    parser.add_argument("--routersim", type=Path, help="the built router simulator")
    parser.add_argument("--wintool", type=Path, help="the built window helper, to pick menu items from the terminal")
    parser.add_argument("--host-network", action="store_true",
                        help="use this machine's network (only with a real router on your own LAN)")
    parser.add_argument("--display", help="X display; default: a virtual screen")
    args = parser.parse_args(argv)
    # Each reply at once, also when the terminal is a pipe.
    sys.stdout.reconfigure(line_buffering=True)

    args.folder = args.folder.resolve()
    args.folder.mkdir(parents=True, exist_ok=True)
    shutil.copy2(args.exe, args.folder / "RMonitor.exe")
    if args.rmview:
        copy_if_newer(args.rmview, args.folder)
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
                                "--log", str(log)], stdout=subprocess.DEVNULL, start_new_session=True)
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
