#!/usr/bin/env python3
"""How soon the syslog viewer holds the last line of a burst, and how soon the
program answers a menu command after it, with the viewer closed (as it is
most of the time) and open.

Every case starts a fresh RMonitor.exe under Wine in a box of its own (one
viewer line per datagram: time prefix on, "---" lines off, no daily file),
opens the viewer or leaves it closed, and sends 10,000 numbered datagrams
over the box's loopback. In the case "120k" a "---" row follows each line,
as by default, and the viewer's store is full first: 110,001 lines go ahead
at 5,000 a second, more in steps of 1,000 while the kernel dropped some, so
that it passes its bound and drops its oldest (holding 100,000 lines,
200,000 rows with the "---" rows, then), and once its count stands still the
burst brings it up to the bound again, 120,000 lines in all.
Measured from the last datagram sent:

- last line in the viewer: the viewer's line view holds all the lines (a
  helper started before the burst asks it for its line count; the program
  answers between its handlers). Datagrams the kernel dropped, counted as
  socket drops, never come.
- menu command answered: a helper posts the command of "ﾊﾞｰｼﾞｮﾝ情報" right
  after the last datagram; another one, started before the burst, sees the
  version window. A dialog shows itself only once its program has no message
  waiting, so this is also when a click of the user's, which Windows hands
  over after posted messages, is answered. It includes the time the helper
  takes to start under Wine, which the idle line gives.

Reports figures only; it checks none. Needs root and a built RMonitor.exe and
wintool.exe (RM_EXE, RM_WINTOOL name others).

  sudo bench/viewer_burst.py [CASE ...]
"""

import argparse
import subprocess
import sys
import threading
import time
from datetime import datetime

from syslog_burst import (CASES, Case, burst_datagrams, ready_to_run, send_burst,  # finds the test tools too
                          udp_rcvbuf_errors)
import rmtest
from rmtest import ABOUT_TITLE, WINTOOL, Monitor, framed, settings_bytes, wait_until

EM_GETLINECOUNT = 0xBA  # the rows of the viewer, "---" rows too
VIEWER_CLASS = "Tsyslogform"
LINES_CLASS = "RoutavistaLineView"
WAIT_MS = 120_000
START_TIMEOUT = 60.0
# The store keeps at most 110,000 lines and then drops down to 100,000.
STORE_BOUND = 110_000
AHEAD = STORE_BOUND + 1
AHEAD_RATE = 5_000
FULL_STORE = Case("120k", "120,000, the last 9,999 at 50,000/s", 9_999, 50_000)


def viewer_lines(m):
    viewer = wait_until(lambda: [w[0] for w in m.windows() if w[2] == VIEWER_CLASS], START_TIMEOUT, "the viewer")[0]
    _, out = m.tool("children", viewer)
    return next(line.split("\t")[0] for line in out.splitlines() if line.split("\t")[1] == LINES_CLASS)


def line_count(m, lines):
    _, out = m.tool("send", lines, EM_GETLINECOUNT)
    return int(out)


def settled_count(m, lines):
    count = None
    deadline = time.monotonic() + START_TIMEOUT
    while time.monotonic() < deadline:
        time.sleep(1)
        now = line_count(m, lines)
        if now == count:
            return count
        count = now
    raise RuntimeError("the viewer's line count did not settle")


def fill_store(m, lines):
    """Sends lines ahead of the full-store burst until the viewer holds fewer
    than it received, the kernel's drops taken off; returns the lines received
    and the viewer's row count once it stands still."""
    drops_before = udp_rcvbuf_errors(m.box)
    sent = 0
    sock = m.box.udp_socket()
    try:
        while True:
            more = AHEAD if sent == 0 else 1_000
            ahead = [framed(f"rmbench-ahead-{i:06d}") for i in range(sent, sent + more)]
            send_burst(sock, ("127.0.0.1", 514), [], ahead, AHEAD_RATE)
            sent += more
            rows = settled_count(m, lines)
            received = sent - (udp_rcvbuf_errors(m.box) - drops_before)
            if rows // 2 < received:
                return received, rows
    finally:
        sock.close()


class Watcher:
    """A helper that prints one line when what it waits for has come; the
    line is taken the moment it is printed."""

    def __init__(self, m, *args):
        self.proc = m.box.start([WINTOOL, *args, "--timeout", WAIT_MS], stdout=subprocess.PIPE)
        self.seen = None
        self.thread = threading.Thread(target=self._read)
        self.thread.start()

    def _read(self):
        if self.proc.stdout.readline().strip():
            self.seen = time.monotonic()
        self.proc.wait()

    def after(self, since):
        self.thread.join()
        return None if self.seen is None else self.seen - since


ABOUT_SHOWN = ("find", "--title", ABOUT_TITLE, "--visible")


def open_about(m, since=None):
    """Seconds until the version window shows after its command, from now or
    from since."""
    about = Watcher(m, *ABOUT_SHOWN)
    start = time.monotonic() if since is None else since
    m.command("ShowVersion")
    return about.after(start)


def close_about(m):
    m.press("OK", title=ABOUT_TITLE)
    m.tool("wait-gone", "--title", ABOUT_TITLE, "--timeout", 10_000)


def run_case(case, viewer_open):
    datagrams = burst_datagrams(case)
    with Monitor(f"bench-viewer-{case.name}") as m:
        rows_per_line = 2 if case is FULL_STORE else 1
        settings = dict(RouterAddress="127.0.0.1", SyslogLineBreaks="on" if rows_per_line == 2 else "off",
                        SyslogAutoSave="off")
        (m.folder / "RMonitor.ini").write_bytes(settings_bytes(**settings))
        m.start()
        m.wait_main(START_TIMEOUT)
        lines_view = viewer_lines(m)
        if viewer_open:
            m.command("ShowSyslog")
            m.tool("find", "--title", "SysLog", "--class", VIEWER_CLASS, "--visible", "--timeout", 10_000)
        idle = open_about(m)
        close_about(m)

        drops_before = udp_rcvbuf_errors(m.box)
        held = 0
        if case is FULL_STORE:
            received, held = fill_store(m, lines_view)
            print(f"  of {received:,} lines received the viewer holds {held // 2:,} in {held:,} rows before the burst",
                  file=sys.stderr)
            # Up to the bound, not past it: the count only grows on the way.
            datagrams = datagrams[:max(STORE_BOUND - 1 - held // 2, 0)]
        lines = Watcher(m, "wait-reply", lines_view, EM_GETLINECOUNT, held + rows_per_line * len(datagrams))
        sock = m.box.udp_socket()
        try:
            _, last = send_burst(sock, ("127.0.0.1", 514), [], datagrams, case.rate)
        finally:
            sock.close()
        answered = open_about(m, last)
        # Closed only once the lines are in: under Wine a dialog that a message
        # from another program ends drops the next message posted to the
        # program, and a lost wake-up of the receiving side stops it for good.
        shown = lines.after(last)
        close_about(m)
        return shown, answered, idle, udp_rcvbuf_errors(m.box) - drops_before


def ms(seconds):
    return "not within the wait" if seconds is None else f"{seconds * 1000:,.0f} ms"


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    cases = [c for c in CASES if not c.connect_first] + [FULL_STORE]
    names = [c.name for c in cases]
    parser.add_argument("cases", nargs="*", metavar="CASE", help=f"cases to run: {', '.join(names)} (default: all)")
    args = parser.parse_args(argv)
    if unknown := set(args.cases) - set(names):
        parser.error(f"no case {', '.join(sorted(unknown))}; the cases are {', '.join(names)}")
    ready_to_run(parser, [rmtest.EXE, WINTOOL], "network namespaces")
    rows = []
    try:
        for case in [c for c in cases if c.name in (args.cases or names)]:
            for viewer_open in (False, True):
                print(f"{case.title}, viewer {'open' if viewer_open else 'closed'} ...", file=sys.stderr)
                rows.append((case, viewer_open, *run_case(case, viewer_open)))
    except KeyboardInterrupt:
        print("Stopped; everything started is removed.", file=sys.stderr)
        return 130
    print(f"{rmtest.EXE}, {datetime.now():%Y-%m-%d %H:%M}; from the last datagram sent\n")
    print("| case | viewer | last line in the viewer | menu command answered | the same when idle | socket drops |")
    print("|---|---|---|---|---|---|")
    for case, viewer_open, shown, answered, idle, drops in rows:
        print(f"| {case.title} | {'open' if viewer_open else 'closed'} | {ms(shown)} | {ms(answered)} | {ms(idle)} "
              f"| {drops:,} |")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
