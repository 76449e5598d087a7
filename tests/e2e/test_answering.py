"""Commands that wait for long leave the program answering its menu at once:
a backup transfer paced record by record, and launcher programs that take
8 s to show a window. 終了 ends the program while such a command still waits,
with a call up, after the exit save."""

import shutil
import socket
import unittest

from rmtest import (PC_ADDRESS, ROUTER_ADDRESS, USERPROG, WM_RBUTTONDOWN, LanTestCase, open_tray_menu,
                    receive_until, settings_bytes, wait_panel, wait_until)
from test_launcher import launcher_bytes

RECORD = "2.04,Port1,2003/01/02,09:05:00,2003/01/02,09:05:30,2003/01/02,09:35:00,0312345"
RECORDS = 2_000
SLOW_START = 8


class AnsweringWhileACommandWaits(LanTestCase):
    def transfer(self, m):
        """記録転送 of RECORDS records to a master, under way; returns
        whether it still is, and the file that stays until it has ended."""
        (m.folder / "log").mkdir()
        backup = m.folder / "log" / "RMBackUp.csv"
        backup.write_bytes((RECORD + "\r\n").encode("cp932") * RECORDS)
        master = self.peer(m)
        proc = self.start(m)
        receive_until(master, "RMonitor Master Check")
        master.sendto(b"RMonitor Master Connected", (PC_ADDRESS, 4450))
        wait_until(lambda: "履歴ログの送信" in open_tray_menu(m, WM_RBUTTONDOWN), what="the transfer item")
        m.command("SendHistoryLog")
        m.press("はい")
        receive_until(master, RECORD)

        def under_way():
            """No end among what has come by now."""
            master.setblocking(False)
            try:
                while True:
                    data, _ = master.recvfrom(4096)
                    if data == b"###Log Data Send### End":
                        return False
            except BlockingIOError:
                return True
        return proc, under_way, [backup]

    def slow_programs(self, m):
        """A connect that starts two programs taking SLOW_START s each to
        show a window; returns whether none shows yet."""
        program = m.folder / "userprog.exe"
        shutil.copy2(USERPROG, program)
        (m.folder / "RMonitor.ini").write_bytes(settings_bytes(RouterAddress=ROUTER_ADDRESS))
        (m.folder / "RVlaunch.ini").write_bytes(launcher_bytes([
            [f"遅い{i}", m.windows_path(program), f"--slow-start {SLOW_START} --title 遅い窓{i}", "", "on", "on"]
            for i in (1, 2)]))
        m.start_router()
        proc = m.start()
        m.wait_main()
        m.command("ConnectPort1")
        wait_panel(m, shown=True)
        wait_until((m.folder / "userprog.log").exists, what="the first program to start")
        return proc, lambda: not any(w[3].startswith("遅い窓") and w[1] for w in m.windows()), []

    def test_the_menu_answers_and_the_program_ends_while_a_command_waits(self):
        for name, begin in [("a transfer", self.transfer), ("programs slow to show, a call up", self.slow_programs)]:
            with self.subTest(name), self.monitor() as m:
                proc, still_waiting, kept = begin(m)
                settings = m.folder / "RMonitor.ini"
                before_exit = settings.stat().st_mtime_ns
                m.answer_time()
                self.assertTrue(still_waiting(), "the menu was answered only after the command")
                m.command("Exit")
                self.assertEqual(m.wait_exit(proc), 0)
                self.assertGreater(settings.stat().st_mtime_ns, before_exit, "no exit save")
                self.assertTrue(all(path.exists() for path in kept))

if __name__ == "__main__":
    unittest.main()
