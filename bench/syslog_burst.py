#!/usr/bin/env python3
"""How many syslog lines reach the daily file, and how late, when the router's
syslog comes in bursts; rsyslog on the same bursts as the reference.

Every case starts a fresh RMonitor.exe under Wine in a box of its own (network
namespace, Wine prefix, display) with automatic syslog saving on, and an
rsyslogd in the same namespace that listens on 127.0.0.1:10514 and writes each
message to a file. The numbered datagrams go over the namespace's loopback,
first to the monitor, then the same ones, at the same pace, to rsyslog, so
the two never compete for the machine. Reports figures only; it checks none.

Needs root (namespaces; apt-get installs rsyslog when it is missing) and a
built RMonitor.exe (RM_EXE names another one).

  sudo bench/syslog_burst.py [CASE ...]
"""

import argparse
import contextlib
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
from dataclasses import dataclass
from datetime import datetime
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "e2e"))
import rmtest  # noqa: E402
from rmtest import Monitor, framed, send_paced, settings_bytes, wait_until  # noqa: E402

MONITOR_PORT = 514
RSYSLOG_PORT = 10514
MONITOR_PORTS = {514, 4449, 4450}
POLL = 0.01
# Nothing new for this long after the last datagram or the last new line: the rest is lost.
SETTLE = 5.0
# The longest wait for the lines of one burst.
WAIT_LIMIT = 60.0
START_TIMEOUT = 60.0


@dataclass
class Case:
    name: str
    title: str
    count: int
    rate: float | None  # datagrams per second; None: as fast as the socket takes them
    connect_first: bool = False


CASES = [
    Case("5k", "10,000 at 5,000/s", 10_000, 5_000),
    Case("50k", "10,000 at 50,000/s", 10_000, 50_000),
    Case("full", "10,000 at full speed", 10_000, None),
    Case("connect", "1,000 at 1,000/s after a connect", 1_000, 1_000, connect_first=True),
]


@dataclass
class Result:
    sent: int
    in_file: int
    send_rate: float
    last_line_after: float | None  # seconds from the last datagram; None: no line came
    socket_drops: int
    note: str = ""


def marker(case):
    return re.compile(rf"rmbench-{re.escape(case.name)}-\d{{6}}".encode("ascii"))


def burst_datagrams(case):
    # Made before sending, so that building them never slows the pace.
    return [framed(f"rmbench-{case.name}-{i:06d}") for i in range(1, case.count + 1)]


def prelude_datagrams(case):
    return [framed("S01: Connect successfully")] if case.connect_first else []


def send_burst(sock, address, prelude, datagrams, rate):
    """Sends the prelude at once, then the datagrams at rate per second, paced
    on the monotonic clock; returns (first send, last send) on that clock."""
    for datagram in prelude:
        sock.sendto(datagram, address)
    return send_paced(sock, address, datagrams, rate)


class LineCounter:
    """Counts marker lines in files that only grow, reading each byte once."""

    def __init__(self, files, pattern):
        self.files = files
        self.pattern = pattern
        self.read = {}  # path: (offset, bytes of a line not ended yet)
        self.count = 0

    def poll(self):
        for path in self.files():
            offset, tail = self.read.get(path, (0, b""))
            try:
                with open(path, "rb") as f:
                    f.seek(offset)
                    data = f.read()
            except FileNotFoundError:
                continue
            lines, end, rest = (tail + data).rpartition(b"\n")
            self.count += len(self.pattern.findall(lines + end))
            self.read[path] = (offset + len(data), rest)
        return self.count


def wait_for_lines(counter, expected, last_sent):
    """Seconds from last_sent until the file held its final count (None if no
    line came at all), and that count."""
    reached = None
    count = counter.poll()
    quiet_since = last_sent
    while count < expected:
        now = time.monotonic()
        if now - quiet_since > SETTLE or now - last_sent > WAIT_LIMIT:
            break
        time.sleep(POLL)
        new = counter.poll()
        if new > count:
            count, quiet_since = new, time.monotonic()
            reached = quiet_since
    if count == 0:
        return None, 0
    return (reached - last_sent) if reached else 0.0, count


def udp_rcvbuf_errors(box):
    """The namespace's count of datagrams the kernel dropped for a full socket buffer."""
    rows = [line.split() for line in box.run_native(["cat", "/proc/net/snmp"]).stdout.splitlines()
            if line.startswith("Udp:")]
    return int(rows[1][rows[0].index("RcvbufErrors")])


def socket_buffers(box):
    read = box.run_native(["cat", "/proc/sys/net/core/rmem_default", "/proc/sys/net/core/rmem_max"]).stdout.split()
    return f"socket receive buffers: {int(read[0]):,} bytes by default, at most {int(read[1]):,}"


def udp_bound(box, address):
    return address in box.run_native(["ss", "-Hulnp"]).stdout


def measure(box, port, counter, case, datagrams):
    drops_before = udp_rcvbuf_errors(box)
    sock = box.udp_socket()
    try:
        first, last = send_burst(sock, ("127.0.0.1", port), prelude_datagrams(case), datagrams, case.rate)
    finally:
        sock.close()
    after, count = wait_for_lines(counter, len(datagrams), last)
    rate = (len(datagrams) - 1) / (last - first) if last > first else float("inf")
    return Result(len(datagrams), count, rate, after, udp_rcvbuf_errors(box) - drops_before)


class Rsyslog:
    """An rsyslogd of our own in the box's namespace: one UDP input on
    loopback, one file output, its own pid file and work folder."""

    CONFIG = """\
global(workDirectory="{work}")
module(load="imudp")
input(type="imudp" address="127.0.0.1" port="{port}")
template(name="raw" type="string" string="%rawmsg%\\n")
action(type="omfile" file="{out}" template="raw")
"""

    def __init__(self, box):
        self.box = box
        self.folder = Path(tempfile.mkdtemp(prefix="rm-bench-rsyslog-"))
        self.out = self.folder / "messages.log"
        self.proc = None

    def __enter__(self):
        try:
            work = self.folder / "work"
            work.mkdir()
            config = self.folder / "rsyslog.conf"
            config.write_text(self.CONFIG.format(work=work, port=RSYSLOG_PORT, out=self.out))
            with open(self.folder / "rsyslogd.stderr", "wb") as err:
                # A session of its own: Ctrl+C reaches only this script, which then stops it.
                self.proc = subprocess.Popen(
                    self.box.command([rsyslogd(), "-n", "-f", str(config), "-i", str(self.folder / "rsyslogd.pid")]),
                    stdout=subprocess.DEVNULL, stderr=err, start_new_session=True)
            wait_until(lambda: udp_bound(self.box, f"127.0.0.1:{RSYSLOG_PORT}") or self.proc.poll() is not None,
                       START_TIMEOUT, "rsyslogd")
            if self.proc.poll() is not None:
                raise RuntimeError("rsyslogd ended: " + (self.folder / "rsyslogd.stderr").read_text())
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, *exc):
        self.close()

    def close(self):
        if self.proc and self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()
        shutil.rmtree(self.folder, ignore_errors=True)


def rsyslogd():
    return shutil.which("rsyslogd") or "/usr/sbin/rsyslogd"


def install_rsyslog():
    if Path(rsyslogd()).exists():
        return
    print("Installing rsyslog", file=sys.stderr)
    env = dict(os.environ, DEBIAN_FRONTEND="noninteractive")
    subprocess.run(["apt-get", "update", "-qq"], check=True, env=env)
    subprocess.run(["apt-get", "install", "-y", "-qq", "--no-install-recommends", "rsyslog"], check=True, env=env,
                   stdout=subprocess.DEVNULL)


def monitor_settings(m, case):
    settings = dict(RouterAddress="127.0.0.1", SyslogAutoSave="on", SyslogLineBreaks="off")
    if case.connect_first:
        # No such program: the monitor looks for its window in vain and waits.
        settings.update(UseDialUpWatcher="on", DialUpWatcherPath=m.windows_path(m.folder / "absent" / "dwctrl32.exe"))
    return settings_bytes(**settings)


def run_case(case):
    datagrams = burst_datagrams(case)
    with Monitor(f"bench-{case.name}") as m:
        (m.folder / "RMonitor.ini").write_bytes(monitor_settings(m, case))
        proc = m.start()
        wait_until(lambda: MONITOR_PORTS <= m.bound_udp_ports(), START_TIMEOUT, "the monitor's three UDP ports")
        with Rsyslog(m.box) as rsyslog:
            daily = LineCounter(lambda: sorted((m.folder / "syslog").glob("*.log")), marker(case))
            monitor = measure(m.box, MONITOR_PORT, daily, case, datagrams)
            if proc.poll() is not None:
                monitor.note = f"monitor ended ({proc.returncode})"
            reference = measure(m.box, RSYSLOG_PORT, LineCounter(lambda: [rsyslog.out], marker(case)), case,
                                datagrams)
        return monitor, reference, socket_buffers(m.box)


def print_table(rows):
    head = ["case", "receiver", "sent", "in file", "lost", "socket drops", "send rate/s", "last line after"]
    body = []
    for case, receiver, r in rows:
        after = "no line" if r.last_line_after is None else f"{r.last_line_after * 1000:.0f} ms"
        rate = "-" if r.send_rate == float("inf") else f"{r.send_rate:,.0f}"
        body.append([case.title, receiver, f"{r.sent:,}", f"{r.in_file:,}", f"{r.sent - r.in_file:,}",
                     f"{r.socket_drops:,}", rate, after + (f" ({r.note})" if r.note else "")])
    widths = [max(len(row[i]) for row in [head] + body) for i in range(len(head))]

    def line(cells):
        return "| " + " | ".join(c.ljust(w) for c, w in zip(cells, widths)) + " |"

    print(line(head))
    print("|" + "|".join("-" * (w + 2) for w in widths) + "|")
    for row in body:
        print(line(row))


def stop_on_signal(signum, frame):
    # Further signals must not cut the clean-up short.
    for s in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP):
        signal.signal(s, signal.SIG_IGN)
    raise KeyboardInterrupt


def ready_to_run(parser, tools, needs):
    """A usage error without root or without a built tool; from then on
    Ctrl+C removes everything started."""
    if os.geteuid() != 0:
        parser.error(f"needs root ({needs})")
    for tool in tools:
        if not tool.exists():
            parser.error(f"{tool} is missing: build the Windows tree first, or name another one (RM_EXE, RM_WINTOOL)")
    for s in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP):
        signal.signal(s, stop_on_signal)


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    names = [c.name for c in CASES]
    parser.add_argument("cases", nargs="*", metavar="CASE", help=f"cases to run: {', '.join(names)} (default: all)")
    args = parser.parse_args(argv)
    if unknown := set(args.cases) - set(names):
        parser.error(f"no case {', '.join(sorted(unknown))}; the cases are {', '.join(names)}")
    ready_to_run(parser, [rmtest.EXE], "network namespaces, apt-get")
    install_rsyslog()
    print(f"RMonitor.exe: {rmtest.EXE}", file=sys.stderr)
    rows = []
    try:
        for case in [c for c in CASES if c.name in (args.cases or names)]:
            print(f"{case.title} ...", file=sys.stderr)
            monitor, reference, buffers = run_case(case)
            rows += [(case, "RMonitor", monitor), (case, "rsyslog", reference)]
    except KeyboardInterrupt:
        print("Stopped; everything started is removed.", file=sys.stderr)
        return 130
    print(f"{rmtest.EXE}, {datetime.now():%Y-%m-%d %H:%M}; {buffers}; "
          f"lines counted every {POLL * 1000:.0f} ms\n")
    print_table(rows)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
