"""The real program turns a router's syslog, received over loopback, into a history record."""

import re
import time
import unittest

from rmtest import DailyLines, MonitorTestCase, framed, send_syslog, settings_bytes, wait_until

STAMP = r"\d{4}/\d{2}/\d{2},\d{2}:\d{2}:\d{2}"

CALL = [
    "S01: -->: ATD0570123456",
    "S01: <--: CONNECT 64000",
    "S01: Connect successfully",
    "S01: IPCP UP. My IP=203.0.113.45, Peer IP=203.0.113.1",
    "S01: Disconnect successfully",
]


class SyslogInterpretation(MonitorTestCase):
    def test_a_call_becomes_one_history_record(self):
        with self.monitor() as m:
            (m.folder / "RMonitor.ini").write_bytes(settings_bytes(RouterAddress="127.0.0.1"))
            proc = m.start()
            m.wait_main()
            # Noise first: neither may change anything.
            send_syslog(m, b"\x00\xff\x01garbage without phrases")
            # An over-long line would otherwise start a port-2 record.
            send_syslog(m, framed("S02: Connect successfully " + "x" * 200))
            for line in CALL:
                send_syslog(m, framed(line))
                time.sleep(0.3)

            history = m.folder / "log" / "Rmonitor.csv"
            wait_until(history.exists, what="the history record")
            data = history.read_bytes()
            self.assertRegex(data.decode("ascii"), rf"^2\.04,Port1,{STAMP},{STAMP},{STAMP},0123456\r\n$")
            start, connect, end = re.findall(STAMP, data.decode("ascii"))
            self.assertLessEqual(start, connect)
            self.assertLessEqual(connect, end)
            # Not the master and no master known: the backup file gets the same record.
            self.assertEqual((m.folder / "log" / "RMBackUp.csv").read_bytes(), data)
            self.assertIsNone(proc.poll())
            m.command("Exit")
            self.assertEqual(m.wait_exit(proc), 0)

    def test_a_long_line_reaches_the_daily_file_cut_with_a_mark(self):
        with self.monitor() as m:
            proc = self.start(m, SyslogAutoSave="on", SyslogAddTime="off", SyslogLineBreaks="off")
            long, longer = framed("S02: Connect successfully " + "x" * 400), framed("y" * 1500)
            daily, lines = DailyLines(m), []
            send_syslog(m, long)
            send_syslog(m, longer)
            wait_until(lambda: lines.extend(daily.new()) or len(lines) >= 2, what="both lines in the daily file")
            self.assertEqual(lines, [long, longer[:1024] + f"…（以下 {len(longer) - 1024} バイト省略）".encode("cp932")])
            self.finish(m, proc)


if __name__ == "__main__":
    unittest.main()
