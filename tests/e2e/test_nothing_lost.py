"""Nothing the router sends is lost: a burst that arrives while the program
waits reaches the daily file whole, so does a long flood, during which the
program still answers its menu; a history record that a full disk refuses is
written once there is room again, and a call still up at exit is completed
by its disconnect line after the next start."""

import os
import re
import subprocess
import time
import unittest

from rmtest import DailyLines, MonitorTestCase, framed, in_background, send_paced, send_syslog, wait_until

STAMP = r"\d{4}/\d{2}/\d{2},\d{2}:\d{2}:\d{2}"
FLOOD, FLOOD_RATE = 300_000, 5_000
FLOOD_LINE = re.compile(rb"^\[\d{4}/\d\d/\d\d \d\d:\d\d:\d\d\]<30>\w{3} [ \d]\d \d\d:\d\d:\d\d rv4 flood (\d{6})$")
# Only keeps a broken run from hanging.
DRAIN_LIMIT = 120


def first_difference(got, expected):
    """Where two long sequences first differ, in words; empty when they are equal."""
    for i, (a, b) in enumerate(zip(got, expected)):
        if a != b:
            return f"at {i:,}: {got[i:i + 4]} where {expected[i:i + 4]} belongs"
    if len(got) != len(expected):
        return f"{len(got):,} lines where {len(expected):,} belong"
    return ""


class NothingLost(MonitorTestCase):
    def test_a_burst_during_a_wait_reaches_the_daily_file_whole(self):
        with self.monitor() as m:
            # Dial-Up Watcher is on but not there: the connect line makes the
            # program look for its window for about 2.7 s, holding up its thread.
            proc = self.start(m, SyslogAutoSave="on", SyslogAddTime="off", SyslogLineBreaks="off",
                              UseDialUpWatcher="on", DialUpWatcherPath=r"C:\nowhere\dwctrl32.exe")
            sock = m.box.udp_socket()
            try:
                sock.sendto(framed("S01: Connect successfully"), ("127.0.0.1", 514))
                time.sleep(0.2)
                # 1,000 a second, all within the wait.
                send_paced(sock, ("127.0.0.1", 514), [framed(f"burst {i:04d}") for i in range(1000)], 1000)
            finally:
                sock.close()

            daily = DailyLines(m)
            burst = []

            def take():
                burst.extend(line for line in daily.new() if b"burst " in line)
                return len(burst) >= 1000
            wait_until(take, timeout=60, what="1,000 lines in the daily file")
            self.assertEqual([int(line.rsplit(b" ", 1)[1]) for line in burst], list(range(1000)))
            self.assertIsNone(proc.poll())
            self.finish(m, proc)

    def test_a_long_flood_reaches_the_daily_file_in_order_while_the_menu_answers(self):
        with self.monitor() as m:
            proc = self.start(m, SyslogAutoSave="on", SyslogAddTime="on", SyslogLineBreaks="on")
            daily = DailyLines(m)
            seen = []  # a flood line's number, None for a "---" line, any other line as it is

            def take():
                for line in daily.new():
                    number = FLOOD_LINE.match(line)
                    seen.append(int(number[1]) if number else None if line == b"---" else line)
                return seen

            sock = m.box.udp_socket()
            self.addCleanup(sock.close)
            flood = in_background(send_paced, sock, ("127.0.0.1", 514),
                                  [framed(f"flood {i:06d}") for i in range(FLOOD)], FLOOD_RATE)
            wait_until(take, what="the flood in the daily file")
            took = m.answer_time()
            print(f"\nmenu command answered after {took * 1000:.0f} ms, "
                  f"{'during' if flood.is_alive() else 'after'} the flood")
            flood.join()
            deadline = time.monotonic() + DRAIN_LIMIT
            while len(take()) < 2 * FLOOD and time.monotonic() < deadline:
                time.sleep(0.2)
            self.assertEqual(first_difference(seen, [n for i in range(FLOOD) for n in (i, None)]), "")
            self.assertIsNone(proc.poll())
            self.finish(m, proc)

    def test_a_record_refused_by_a_full_disk_is_written_once_there_is_room(self):
        with self.monitor() as m:
            log = m.folder / "log"
            log.mkdir()
            subprocess.run(["mount", "-t", "tmpfs", "-o", "size=64k", "tmpfs", str(log)], check=True)
            try:
                filler = log / "filler"
                fd = os.open(filler, os.O_WRONLY | os.O_CREAT)
                try:
                    while os.write(fd, b"x" * 512):
                        pass
                except OSError:
                    pass
                finally:
                    os.close(fd)
                proc = self.start(m)
                for line in ["S01: -->: ATD0570123456", "S01: Connect successfully", "S01: Disconnect successfully"]:
                    send_syslog(m, framed(line))
                    time.sleep(0.3)
                text = m.press("OK")
                self.assertIn("Rmonitor.csv", text)
                self.assertFalse((log / "Rmonitor.csv").exists() and (log / "Rmonitor.csv").stat().st_size)

                filler.unlink()
                history = log / "Rmonitor.csv"
                wait_until(lambda: history.exists() and history.stat().st_size > 0, what="the kept record")
                records = history.read_bytes().decode("ascii").split("\r\n")
                self.assertEqual(len(records), 2)  # one record and the final line end
                self.assertRegex(records[0], r"^2\.04,Port1,.*,0123456$")
                wait_until(lambda: (log / "RMBackUp.csv").exists(), what="the kept backup record")
                self.assertEqual((log / "RMBackUp.csv").read_bytes(), history.read_bytes())
                self.assertIsNone(proc.poll())
                self.finish(m, proc)
            finally:
                subprocess.run(["umount", "-l", str(log)], check=False)

    def test_a_call_up_at_exit_is_completed_by_its_disconnect_line_after_the_next_start(self):
        with self.monitor() as m:
            log = m.folder / "log"
            open_call, history = log / "Rmonitor.open.csv", log / "Rmonitor.csv"
            proc = self.start(m)
            for line in ["S01: -->: ATD0570123456", "S01: Connect successfully"]:
                send_syslog(m, framed(line))
            wait_until(open_call.exists, what="the open call's record")
            self.finish(m, proc)
            so_far = open_call.read_bytes().decode("ascii").split("\r\n")[0]
            self.assertRegex(so_far, rf"^2\.04,Port1,{STAMP},{STAMP}$")
            self.assertFalse(history.exists() and history.stat().st_size)

            proc = self.start(m)
            send_syslog(m, framed("S01: Disconnect successfully"))
            wait_until(lambda: history.exists() and history.stat().st_size, what="the completed record")
            self.assertRegex(history.read_bytes().decode("ascii"), rf"^{re.escape(so_far)},{STAMP},0123456\r\n$")
            self.assertFalse(open_call.exists())
            self.finish(m, proc)


if __name__ == "__main__":
    unittest.main()
