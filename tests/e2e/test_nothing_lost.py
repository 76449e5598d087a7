"""Nothing the router sends is lost: a burst that arrives while the program
waits reaches the daily file whole, and a history record that a full disk
refuses is written once there is room again."""

import os
import subprocess
import time
import unittest

from rmtest import DailyLines, MonitorTestCase, framed, send_paced, send_syslog, wait_until


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


if __name__ == "__main__":
    unittest.main()
