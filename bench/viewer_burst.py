#!/usr/bin/env python3
"""How soon the syslog viewer holds the last line of a burst, and how soon the
program answers a menu command after it, with the viewer closed (as it is
most of the time) and open.

Every case starts a fresh RMonitor.exe under Wine in a box of its own (one
viewer line per datagram: time prefix on, "---" lines off, no daily file),
opens the viewer or leaves it closed, and sends 10,000 numbered datagrams
over the box's loopback. Measured from the last datagram sent:

- last line in the viewer: the viewer's text holds all the lines (a helper
  started before the burst asks the control for its line count; the program
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

from syslog_burst import CASES, burst_datagrams, ready_to_run, send_burst, udp_rcvbuf_errors  # finds the test tools too
import rmtest
from rmtest import ABOUT_TITLE, WINTOOL, Monitor, settings_bytes, wait_until

EM_GETLINECOUNT = 0xBA
VIEWER_CLASS = "Tsyslogform"
WAIT_MS = 120_000
START_TIMEOUT = 60.0


def viewer_memo(m):
    viewer = wait_until(lambda: [w[0] for w in m.windows() if w[2] == VIEWER_CLASS], START_TIMEOUT, "the viewer")[0]
    _, out = m.tool("children", viewer)
    return next(line.split("\t")[0] for line in out.splitlines() if line.split("\t")[1].upper() == "RICHEDIT50W")


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


def about_answered(m, since=None):
    """Seconds until the version window shows after its command, from now or
    from since; closes it again."""
    about = Watcher(m, *ABOUT_SHOWN)
    start = time.monotonic() if since is None else since
    m.command("openver_n1")
    after = about.after(start)
    m.press("OK", title=ABOUT_TITLE)
    m.tool("wait-gone", "--title", ABOUT_TITLE, "--timeout", 10_000)
    return after


def run_case(case, viewer_open):
    datagrams = burst_datagrams(case)
    with Monitor(f"bench-viewer-{case.name}") as m:
        settings = dict(RouterAddress="127.0.0.1", SyslogLineBreaks="off", SyslogAutoSave="off")
        (m.folder / "RMonitor.ini").write_bytes(settings_bytes(**settings))
        m.start()
        m.wait_main(START_TIMEOUT)
        memo = viewer_memo(m)
        if viewer_open:
            m.command("syslog1")
            m.tool("find", "--title", "SysLog", "--class", VIEWER_CLASS, "--visible", "--timeout", 10_000)
        idle = about_answered(m)

        lines = Watcher(m, "wait-reply", memo, EM_GETLINECOUNT, len(datagrams))
        drops_before = udp_rcvbuf_errors(m.box)
        sock = m.box.udp_socket()
        try:
            _, last = send_burst(sock, ("127.0.0.1", 514), [], datagrams, case.rate)
        finally:
            sock.close()
        answered = about_answered(m, last)
        return lines.after(last), answered, idle, udp_rcvbuf_errors(m.box) - drops_before


def ms(seconds):
    return "not within the wait" if seconds is None else f"{seconds * 1000:,.0f} ms"


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    names = [c.name for c in CASES if not c.connect_first]
    parser.add_argument("cases", nargs="*", metavar="CASE", help=f"cases to run: {', '.join(names)} (default: all)")
    args = parser.parse_args(argv)
    if unknown := set(args.cases) - set(names):
        parser.error(f"no case {', '.join(sorted(unknown))}; the cases are {', '.join(names)}")
    ready_to_run(parser, [rmtest.EXE, WINTOOL], "network namespaces")
    rows = []
    try:
        for case in [c for c in CASES if c.name in (args.cases or names)]:
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
