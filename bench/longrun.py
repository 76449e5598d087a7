#!/usr/bin/env python3
"""The real RMonitor.exe under Wine for a long run on a busy, hostile LAN:
what reaches its files, how much memory it takes and how long a menu command
waits.

The monitor runs in its box as a PC of a test LAN (the master, automatic
syslog saving with the time stamp on). Beside it:

- the router's host sends numbered syslog lines at 2,000 a second for five
  sixths of the run (1,000,000 in ten minutes), and every 20 s a call: a dial
  and a connect line, and 10 s later the disconnect line;
- another copy (192.0.2.20) sends, spread over the run, a memo of 10,000
  long lines (more than the receive window keeps), 1,000 memos, name replies
  under 10,000 names, name replies from 32 more hosts, and two history
  transfers of 1,000 lines; after each it asks for the monitor's name and
  times the answer;
- the syslog viewer is open from 30 % to 60 % of the run;
- every 5 s a helper posts the command of "ﾊﾞｰｼﾞｮﾝ情報" and times until its
  window shows (which it does only once the program has no message waiting),
  then closes it, and presses OK on the program's notices;
- the resident memory (VmRSS) of the process that runs RMonitor.exe is read
  every second;
- at the end 終了 is timed while the router's host streams syslog lines.

Then a second monitor on a LAN of its own runs the commands that wait for
long, one after the other, each going on while the next starts, the menu
command timed without a pause meanwhile: a backup transfer of 10,000 records
to a master, a connect that starts two launcher programs that take 8 s to
show a window and one that hangs when asked to close, the disconnect that
closes that one; then 終了 with the call up and everything still running,
timed while the router's host streams syslog lines.

Reports figures only; it checks none. Needs root and a built RMonitor.exe and
wintool.exe (RM_EXE, RM_WINTOOL name others).

  sudo bench/longrun.py [--minutes N]
"""

import argparse
import itertools
import re
import shutil
import socket
import statistics
import subprocess
import sys
import threading
import time
from datetime import datetime

from syslog_burst import ready_to_run, udp_rcvbuf_errors  # finds the test tools too
from viewer_burst import VIEWER_CLASS, close_about, open_about
import rmtest
from rmtest import (ABOUT_TITLE, PC_ADDRESS, ROUTER_ADDRESS, TITLE, USERPROG, WINTOOL, WM_RBUTTONDOWN, DailyLines,
                    Monitor, framed, inside_namespace, lan_host_socket, lan_peer, memo_datagrams, open_tray_menu,
                    receive_until, send_paced, settings_bytes, wait_panel, wait_until)
from rmcommands import viewer_command_ids  # after rmtest, which finds the tools
from test_launcher import launcher_bytes

SYSLOG_RATE = 2_000
# Of the run: the flood's share, when the viewer opens and closes.
FLOOD_SHARE, VIEWER_OPEN, VIEWER_CLOSED = 5 / 6, 0.30, 0.60
CALL_EVERY, CALL_LENGTH = 20.0, 10.0
PROBE_EVERY = 5.0
LAN_RATE = 2_000
# Syslog datagrams made at a time, while the ones before them go out.
CHUNK = 10_000
NAME_WAIT = 60.0
NICKNAME = "ベンチ"
START_TIMEOUT = 60.0
# After the run: how long the daily file may take to catch up, and how long
# it may stay as it is before the rest counts as lost.
DRAIN_LIMIT = 300.0
SETTLE = 30.0
EXIT_LIMIT = 120

# The commands that wait for long: how long the menu is probed during each.
TRANSFER_RECORDS = 10_000
SLOW_START = 8
PROBE_TRANSFER, PROBE_SLOW_PROGRAMS, PROBE_HUNG_CLOSE = 20.0, 2 * SLOW_START + 4.0, 10.0

FLOOD_LINE = re.compile(rb"rmlong-(\d{7})$")
RECORD = re.compile(rb"^2\.04,Port1(,\d{4}/\d\d/\d\d,\d\d:\d\d:\d\d){3},0123456$")
MEMO_RECEIVED_ID = 311
WM_GETTEXTLENGTH = 0x000E
EXTRA_HOSTS = 32


class Clock:
    """The run's time line: fractions of its length from its start."""

    def __init__(self, minutes):
        self.length = minutes * 60
        self.start = time.monotonic()
        self.stop = threading.Event()

    def at(self, fraction):
        return self.start + fraction * self.length

    def wait_until(self, when):
        """False when the run was stopped before then."""
        return not self.stop.wait(max(0.0, when - time.monotonic()))


class Memory:
    """VmRSS of the process that runs RMonitor.exe, read every second."""

    def __init__(self, m):
        self.pid = wait_until(lambda: monitor_pid(m), START_TIMEOUT, "the RMonitor.exe process")
        self.samples = []
        self.done = threading.Event()
        self.thread = threading.Thread(target=self._run, daemon=True)
        self.thread.start()

    def read(self):
        try:
            with open(f"/proc/{self.pid}/status") as status:
                return next(int(line.split()[1]) for line in status if line.startswith("VmRSS:"))
        except (OSError, StopIteration):
            return None

    def _run(self):
        while not self.done.wait(1.0):
            if (kib := self.read()) is not None:
                self.samples.append(kib)

    def close(self):
        self.done.set()
        self.thread.join()


def monitor_pid(m):
    """The process of the box's network that Wine runs RMonitor.exe in."""
    pids = subprocess.run(["ip", "netns", "pids", m.box.netns], capture_output=True, text=True).stdout.split()
    for pid in pids:
        try:
            with open(f"/proc/{pid}/status") as status:
                if status.readline().split() == ["Name:", "RMonitor.exe"]:
                    return int(pid)
        except OSError:
            continue
    return None


class Tally:
    """Counts and times the threads report, under one lock."""

    def __init__(self):
        self.lock = threading.Lock()
        self.values = {}

    def add(self, key, n=1):
        with self.lock:
            self.values[key] = self.values.get(key, 0) + n

    def append(self, key, value):
        with self.lock:
            self.values.setdefault(key, []).append(value)

    def get(self, key, default=0):
        with self.lock:
            return self.values.get(key, default)


def router_socket(m):
    with inside_namespace(m.router_host):
        return socket.socket(socket.AF_INET, socket.SOCK_DGRAM)


def flood(m, clock, tally, lines):
    """Numbered syslog lines from the router at SYSLOG_RATE."""
    sock = router_socket(m)
    try:
        for first in range(0, lines, CHUNK):
            if clock.stop.is_set():
                break
            datagrams = [framed(f"rmlong-{i:07d}") for i in range(first, min(lines, first + CHUNK))]
            clock.wait_until(clock.start + first / SYSLOG_RATE)
            send_paced(sock, (PC_ADDRESS, 514), datagrams, SYSLOG_RATE)
            tally.add("syslog sent", len(datagrams))
    finally:
        sock.close()


def calls(m, clock, tally):
    """A call every CALL_EVERY seconds while the run lasts."""
    sock = router_socket(m)
    try:
        when = clock.start + 2.0
        while when + CALL_LENGTH < clock.at(1.0) and clock.wait_until(when):
            for line in ["S01: -->: ATD0570123456", "S01: Connect successfully"]:
                sock.sendto(framed(line), (PC_ADDRESS, 514))
            if not clock.wait_until(when + CALL_LENGTH):
                break
            sock.sendto(framed("S01: Disconnect successfully"), (PC_ADDRESS, 514))
            tally.add("calls")
            when += CALL_EVERY
    finally:
        sock.close()


class Lan:
    """Another copy on the LAN that floods the monitor now and then, and asks
    for its name after each flood."""

    def __init__(self, m, clock, tally):
        self.m, self.clock, self.tally = m, clock, tally
        self.peer = lan_peer(m)

    def send(self, datagrams):
        send_paced(self.peer, (PC_ADDRESS, 4450), datagrams, LAN_RATE)

    def name_answer(self):
        """Seconds until the monitor answers a name query; None when it does not within NAME_WAIT."""
        start = time.monotonic()
        self.peer.sendto(b"RMonitor PC Name", (PC_ADDRESS, 4450))
        wanted = f"RMonitor PC Name ={NICKNAME}".encode("cp932")
        while time.monotonic() < start + NAME_WAIT:
            self.peer.settimeout(max(0.1, start + NAME_WAIT - time.monotonic()))
            try:
                data, sender = self.peer.recvfrom(4096)
            except OSError:
                return None
            if sender[0] == PC_ADDRESS and data == wanted:
                return time.monotonic() - start
        return None

    def long_memo(self):
        lines = [f"long memo line {i:05d} " + "x" * 90 for i in range(10_000)]
        self.send(memo_datagrams(lines))
        self.tally.add("memo lines sent", len(lines))
        self.tally.add("memo ends sent")

    def memos(self):
        self.send([d for i in range(1_000) for d in memo_datagrams([f"memo {i:04d}", "second line"])])
        self.tally.add("memo ends sent", 1_000)

    def names(self):
        self.send([f"RMonitor PC Name =name{i:05d}".encode("cp932") for i in range(10_000)])
        self.tally.add("name replies sent", 10_000)

    def names_from_many_hosts(self):
        socks = [lan_host_socket(self.m, f"pc{i}", f"192.0.2.{100 + i}") for i in range(EXTRA_HOSTS)]
        try:
            for round_ in range(10):
                for i, sock in enumerate(socks):
                    sock.sendto(f"RMonitor PC Name =pc{i:02d}-{round_}".encode("cp932"), (PC_ADDRESS, 4450))
                    self.tally.add("name replies sent")
                time.sleep(0.1)
        finally:
            for sock in socks:
                sock.close()

    def transfers(self):
        for n in range(2):
            records = [f"2.04,Port1,2003/01/{1 + n:02d},09:05:00,2003/01/{1 + n:02d},09:05:30,"
                       f"2003/01/{1 + n:02d},{10 + i // 60:02d}:{i % 60:02d}:00,0312345".encode("ascii")
                       for i in range(1_000)]
            self.send([b"###Log Data Send### Start", *records, b"###Log Data Send### End"])
            self.tally.add("history lines sent", len(records))

    def run(self):
        phases = [(0.10, "a memo of 10,000 lines", self.long_memo),
                  (0.25, "1,000 memos", self.memos),
                  (0.40, "10,000 names", self.names),
                  (0.55, f"names from {EXTRA_HOSTS} hosts", self.names_from_many_hosts),
                  (0.70, "two transfers", self.transfers),
                  (0.85, "1,000 memos again", self.memos)]
        for fraction, name, phase in phases:
            if not self.clock.wait_until(self.clock.at(fraction)):
                return
            phase()
            self.tally.append("name answers", (name, self.name_answer()))


def menu_answer(m):
    """Seconds until the version window shows after its command; closes it."""
    took = open_about(m)
    close_about(m)
    return took


def press_notices(m, tally):
    """Presses OK on every box of the program that is up; counts them by text."""
    while True:
        code, out = m.tool("press", "--title", TITLE, "--button", "OK", "--timeout", 0)
        if code != 0:
            return
        tally.add("notice: " + " / ".join(out.splitlines()))


def watch(m, clock, tally, counter):
    """Every PROBE_EVERY seconds: the menu command timed, the notices pressed,
    the daily file read; the viewer opened and closed on time."""
    viewer_ids = viewer_command_ids()
    viewer_open = False
    when = clock.start + PROBE_EVERY
    while when < clock.at(1.0) and clock.wait_until(when):
        if not viewer_open and clock.at(VIEWER_OPEN) <= when < clock.at(VIEWER_CLOSED):
            m.command("ShowSyslog")
            viewer_open = True
        elif viewer_open and when >= clock.at(VIEWER_CLOSED):
            m.tool("command", "--title", "SysLog", "--class", VIEWER_CLASS, "--id", viewer_ids["Close"])
            viewer_open = False
        # A version window that showed after its probe gave up must not answer this one.
        m.tool("press", "--title", ABOUT_TITLE, "--button", "OK", "--timeout", 0)
        try:
            took = menu_answer(m)
        except AssertionError as e:
            took = None
            print(f"probe: {e}", file=sys.stderr)
        tally.append("probes", (took, viewer_open))
        press_notices(m, tally)
        counter.poll()
        print(f"{time.monotonic() - clock.start:5.0f} s: {tally.get('syslog sent'):,} lines sent, "
              f"{counter.count:,} in the file; menu command {ms(took)}; viewer {'open' if viewer_open else 'closed'}",
              file=sys.stderr)
        when = max(when + PROBE_EVERY, time.monotonic())


def probe_for(m, seconds):
    """The menu command timed again and again for that long; the times of
    those answered and the count of those not."""
    times, missed = [], 0
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        try:
            times.append(menu_answer(m))
        except AssertionError as e:
            missed += 1
            print(f"probe: {e}", file=sys.stderr)
    return times, missed


def probe_figure(probed):
    times, missed = probed
    figure = f"{ms(statistics.median(times))} / {ms(max(times))}" if times else "-"
    return figure + (f" ({missed} not answered)" if missed else "")


def exit_while_streaming(m, proc):
    """終了 timed while the router's host sends syslog lines at SYSLOG_RATE."""
    stop = threading.Event()

    def stream():
        sock = router_socket(m)
        try:
            for i in itertools.count():
                if stop.is_set():
                    break
                send_paced(sock, (PC_ADDRESS, 514), [framed(f"rmlong-exit-{i:07d}-{n}") for n in range(200)],
                           SYSLOG_RATE)
        finally:
            sock.close()

    streamer = threading.Thread(target=stream, daemon=True)
    streamer.start()
    time.sleep(1.0)
    start = time.monotonic()
    m.command("Exit")
    try:
        code = proc.wait(timeout=EXIT_LIMIT)
        ended = f"code {code}, {ms(time.monotonic() - start)}"
    except subprocess.TimeoutExpired:
        ended = f"not within {EXIT_LIMIT} s"
    stop.set()
    streamer.join()
    return ended


def waiting_commands():
    """The commands that wait for long, on a monitor of its own; figures."""
    rows = []
    with Monitor("bench-longrun-waits", lan=True) as m:
        program = m.folder / "userprog.exe"
        shutil.copy2(USERPROG, program)
        (m.folder / "log").mkdir()
        record = "2.04,Port1,2003/01/02,09:05:00,2003/01/02,09:05:30,2003/01/02,09:35:00,0312345\r\n"
        (m.folder / "log" / "RMBackUp.csv").write_bytes(record.encode("cp932") * TRANSFER_RECORDS)
        (m.folder / "RMonitor.ini").write_bytes(settings_bytes(RouterAddress=ROUTER_ADDRESS))
        path = m.windows_path(program)
        (m.folder / "RVlaunch.ini").write_bytes(launcher_bytes([
            ["遅い1", path, f"--slow-start {SLOW_START} --title 遅い窓1", "", "on", "off"],
            ["遅い2", path, f"--slow-start {SLOW_START} --title 遅い窓2", "", "on", "off"],
            ["固まる", path, "--hang --title 固まる窓", "", "on", "on"],
        ]))
        master = lan_peer(m)
        m.start_router()
        proc = m.start()
        m.wait_main(START_TIMEOUT)
        receive_until(master, "RMonitor Master Check")
        master.sendto(b"RMonitor Master Connected", (PC_ADDRESS, 4450))
        wait_until(lambda: "履歴ログの送信" in open_tray_menu(m, WM_RBUTTONDOWN), what="the transfer item")
        m.command("SendHistoryLog")
        m.press("はい")
        rows.append((f"menu command during a transfer of {TRANSFER_RECORDS:,} records: median / longest",
                     probe_figure(probe_for(m, PROBE_TRANSFER))))
        m.command("ConnectPort1")
        rows.append((f"… and a connect starting two programs that take {SLOW_START} s to show a window",
                     probe_figure(probe_for(m, PROBE_SLOW_PROGRAMS))))
        m.wait_router_sent("IPCP UP")
        m.command("DisconnectPort1")
        rows.append(("… and the disconnect closing a hung program", probe_figure(probe_for(m, PROBE_HUNG_CLOSE))))
        wait_panel(m, shown=False)
        m.command("ConnectPort1")
        wait_panel(m, shown=True)
        rows.append(("exit with 終了, a call up, the transfer and the programs running, the router streaming",
                     exit_while_streaming(m, proc)))
        rows.append(("handlers started inside another (diagnostic log)", f"{len(m.nested_handlers()):,}"))
        master.close()
    return rows


def received_memo_length(m):
    """Characters in the receive window, as a figure."""
    if not any(w[3] == "簡易メモ受信" and w[1] for w in m.windows()):
        return "closed"
    handle, _ = m.control("簡易メモ受信", MEMO_RECEIVED_ID)
    code, out = m.tool("send", handle, WM_GETTEXTLENGTH)
    return f"{int(out):,} characters" if code == 0 else "no answer"


class DailyCount:
    """The numbered lines of the daily files: how many, and how many came
    before a lower number."""

    def __init__(self, m):
        self.daily = DailyLines(m)
        self.count = self.out_of_order = 0
        self.last = -1

    def poll(self):
        for line in self.daily.new():
            if number := FLOOD_LINE.search(line):
                n = int(number[1])
                self.count += 1
                self.out_of_order += n < self.last
                self.last = max(self.last, n)
        return self.count


def drain(counter, expected, since):
    """When the file held every line, counted from since, as a figure."""
    reached = since
    count = counter.poll()
    if count >= expected:
        return "before the run ended"
    while count < expected and time.monotonic() - reached < SETTLE and time.monotonic() - since < DRAIN_LIMIT:
        time.sleep(0.1)
        if (new := counter.poll()) > count:
            count, reached = new, time.monotonic()
    return f"{ms(reached - since)} after the run" if count >= expected else f"not all: none came for {SETTLE:.0f} s"


def count_lines(path, pattern=None):
    if not path.exists():
        return 0
    lines = [line for line in path.read_bytes().split(b"\r\n") if line]
    return sum(bool(pattern.match(line)) for line in lines) if pattern else len(lines)


def ms(seconds):
    return "no answer" if seconds is None else f"{seconds * 1000:,.0f} ms"


def mib(kib):
    return f"{kib / 1024:,.1f} MiB"


def run(minutes):
    lines = int(SYSLOG_RATE * minutes * 60 * FLOOD_SHARE)
    tally = Tally()
    rows = []
    with Monitor("bench-longrun", lan=True) as m:
        (m.folder / "RMonitor.ini").write_bytes(settings_bytes(
            RouterAddress=ROUTER_ADDRESS, SyslogAutoSave="on", SyslogAddTime="on", SyslogLineBreaks="off",
            MasterMode="on", NickName=NICKNAME))
        proc = m.start()
        m.wait_main(START_TIMEOUT)
        memory = Memory(m)
        start_rss = memory.read()
        idle = menu_answer(m)
        drops_before = udp_rcvbuf_errors(m.box)
        counter = DailyCount(m)

        clock = Clock(minutes)
        lan = Lan(m, clock, tally)
        threads = [threading.Thread(target=f, args=a, daemon=True)
                   for f, a in [(flood, (m, clock, tally, lines)), (calls, (m, clock, tally)), (lan.run, ())]]
        for thread in threads:
            thread.start()
        try:
            watch(m, clock, tally, counter)
        finally:
            clock.stop.set()
            for thread in threads:
                thread.join()
        lan.peer.close()

        all_lines = drain(counter, tally.get("syslog sent"), time.monotonic())
        press_notices(m, tally)
        memo_length = received_memo_length(m)
        end_rss = memory.read()
        memory.close()
        ended = exit_while_streaming(m, proc)

        log = m.folder / "log"
        probes = tally.get("probes", [])
        answered = [t for t, _ in probes if t is not None]
        viewer = [t for t, open_ in probes if open_ and t is not None]
        rows += [
            ("run", f"{minutes:g} min"),
            ("syslog lines sent / in the daily file", f"{tally.get('syslog sent'):,} / {counter.count:,}"),
            ("lines out of order", f"{counter.out_of_order:,}"),
            ("datagrams the kernel dropped (socket buffer full)", f"{udp_rcvbuf_errors(m.box) - drops_before:,}"),
            ("every syslog line in the file", all_lines),
            ("calls / records in Rmonitor.csv", f"{tally.get('calls'):,} / "
                                                f"{count_lines(log / 'Rmonitor.csv', RECORD):,}"),
            ("history lines transferred / in LogBackUp.csv", f"{tally.get('history lines sent'):,} / "
                                                             f"{count_lines(log / 'LogBackUp.csv'):,}"),
            ("memo ends sent", f"{tally.get('memo ends sent'):,}"),
            ("memo lines sent in the long memo", f"{tally.get('memo lines sent'):,}"),
            ("receive window at the end", memo_length),
            ("name replies sent", f"{tally.get('name replies sent'):,}"),
        ]
        for name, took in tally.get("name answers", []):
            rows.append((f"name query answered after {name}", ms(took)))
        for key in sorted(k for k in tally.values if k.startswith("notice: ")):
            rows.append((f"boxes pressed: {key[len('notice: '):]}", f"{tally.get(key):,}"))
        rows += [
            ("menu command: probes answered / posted", f"{len(answered)} / {len(probes)}"),
            ("menu command: median / longest", f"{ms(statistics.median(answered)) if answered else '-'} / "
                                               f"{ms(max(answered)) if answered else '-'}"),
            ("menu command: longest with the viewer open", ms(max(viewer)) if viewer else "-"),
            ("menu command when idle, before the run", ms(idle)),
            ("memory (VmRSS): start / peak / end", f"{mib(start_rss)} / {mib(max(memory.samples))} / "
                                                   f"{mib(end_rss)}"),
            ("exit with 終了, the router streaming", ended),
            ("handlers started inside another (diagnostic log)", f"{len(m.nested_handlers()):,}"),
        ]
    return rows + waiting_commands()


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--minutes", type=float, default=10.0, help="length of the run (default: 10)")
    args = parser.parse_args(argv)
    if args.minutes < 1:
        parser.error("the run needs at least a minute")
    ready_to_run(parser, [rmtest.EXE, WINTOOL, USERPROG, rmtest.ROUTERSIM], "network namespaces")
    try:
        rows = run(args.minutes)
    except KeyboardInterrupt:
        print("Stopped; everything started is removed.", file=sys.stderr)
        return 130
    print(f"{rmtest.EXE}, {datetime.now():%Y-%m-%d %H:%M}\n")
    print("| | figure |")
    print("|---|---|")
    for name, figure in rows:
        print(f"| {name} | {figure} |")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
