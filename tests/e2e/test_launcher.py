"""The launcher on a test LAN: the L items carry the entries' titles and start
their programs; a connect starts the entries marked for it and the disconnect
closes those marked for that."""

import shutil
import unittest

from rmtest import (ROUTER_ADDRESS, USERPROG, WM_RBUTTONDOWN, Monitor, MonitorTestCase, open_tray_menu,
                    settings_bytes, wait_until)


def launcher_bytes(entries):
    """RVlaunch.ini with the given entries (six texts each), the rest empty."""
    lines = ["RouLaunch Ver2.04"]
    for i in range(6):
        lines += entries[i] if i < len(entries) else [""] * 6
    return "".join(line + "\r\n" for line in lines).encode("cp932")


class Launcher(MonitorTestCase):
    def monitor(self):
        return Monitor(self.id().split(".")[-1], lan=True)

    def starts(self, log):
        """Command line and folder of every start, by process id."""
        records = [line.split("\t") for line in log.read_text(encoding="utf-8").splitlines()] if log.exists() else []
        return {r[1]: (r[2], r[3]) for r in records if r[0] == "start"}, [r for r in records if r[0] != "start"]

    def test_items_start_their_program_and_a_connection_starts_and_closes_the_marked_ones(self):
        with self.monitor() as m:
            folder = m.folder / "ツール"
            folder.mkdir()
            program = folder / "userprog.exe"
            shutil.copy2(USERPROG, program)
            path = m.windows_path(program)
            (m.folder / "RMonitor.ini").write_bytes(settings_bytes(RouterAddress=ROUTER_ADDRESS))
            (m.folder / "RVlaunch.ini").write_bytes(launcher_bytes([
                ["メール", path, "--title メールの窓", "", "on", "on"],
                ["時計", path, "--title 時計の窓", "", "on", "off"],
                ["手動", path, "--title 手動の窓 -x 引数", m.windows_path(m.folder), "off", "on"],
            ]))
            log = folder / "userprog.log"
            m.start_router()
            proc = m.start()
            m.wait_main()

            captions = open_tray_menu(m, WM_RBUTTONDOWN)
            self.assertEqual(captions[:4], ["メール", "時計", "手動", ""])

            m.command("Launch3")
            started, _ = wait_until(lambda: self.starts(log)[0] and self.starts(log), what="the L3 program")
            (line, where), = started.values()
            self.assertEqual(line, f'"{path}" --title 手動の窓 -x 引数')
            self.assertEqual(where.rstrip("\\").lower(), m.windows_path(m.folder).lower())
            m.command("Launch3")  # still running: not started again

            m.command("ConnectPort1")
            started, _ = wait_until(lambda: len(self.starts(log)[0]) == 3 and self.starts(log), what="the connect")
            by_title = {line.split("--title ")[1].split()[0]: pid for pid, (line, _) in started.items()}
            self.assertEqual(set(by_title), {"メールの窓", "時計の窓", "手動の窓"})
            self.assertEqual(started[by_title["メールの窓"]][1].lower(), m.windows_path(folder).lower())
            wait_until(lambda: {"メールの窓", "時計の窓"} <= {w[3] for w in m.windows() if w[1]}, what="their windows")
            m.screenshot("connected")

            # The router finishes its call before the hang-up.
            m.wait_router_sent("IPCP UP")
            m.command("DisconnectPort1")
            # Entry 1 first; the program started from its item is closed too.
            _, closes = wait_until(lambda: len(self.starts(log)[1]) == 2 and self.starts(log), what="the disconnect")
            self.assertEqual([(r[0], r[1]) for r in closes],
                             [("closed", by_title["メールの窓"]), ("closed", by_title["手動の窓"])])
            # A later command handled: the disconnect started nothing meanwhile.
            m.answer_time()
            self.assertEqual(len(self.starts(log)[1]), 2)
            visible = {w[3] for w in m.windows() if w[1]}
            self.assertFalse({"メールの窓", "手動の窓"} & visible)
            self.assertIn("時計の窓", visible)
            self.assertEqual(len(self.starts(log)[0]), 3)

            m.command("Exit")
            self.assertEqual(m.wait_exit(proc), 0)

    def test_a_hung_program_does_not_hold_up_the_disconnect(self):
        with self.monitor() as m:
            program = m.folder / "userprog.exe"
            shutil.copy2(USERPROG, program)
            (m.folder / "RMonitor.ini").write_bytes(settings_bytes(RouterAddress=ROUTER_ADDRESS))
            (m.folder / "RVlaunch.ini").write_bytes(launcher_bytes([
                ["固まる", m.windows_path(program), "--hang --title 固まる窓", "", "on", "on"],
            ]))
            log = m.folder / "userprog.log"
            m.start_router()
            proc = m.start()
            m.wait_main()
            m.command("ConnectPort1")
            wait_until(lambda: self.starts(log)[0], what="the program to start")
            m.wait_router_sent("IPCP UP")
            m.command("DisconnectPort1")
            _, closes = wait_until(lambda: self.starts(log)[1] and self.starts(log), what="the close request")
            self.assertEqual(closes[0][0], "hanging")
            # The rest of the disconnect goes on: the record is written, and
            # the monitor still answers its menu.
            history = m.folder / "log" / "Rmonitor.csv"
            wait_until(history.exists, what="the history record")
            m.command("Exit")
            self.assertEqual(m.wait_exit(proc), 0)

    def test_a_program_that_cannot_start_or_is_missing_is_told_once_in_a_notice(self):
        with self.monitor() as m:
            broken = m.folder / "壊れた.exe"
            broken.write_bytes(b"not a program")
            (m.folder / "RMonitor.ini").write_bytes(settings_bytes(RouterAddress=ROUTER_ADDRESS))
            (m.folder / "RVlaunch.ini").write_bytes(launcher_bytes([
                ["壊れた", m.windows_path(broken), "", "", "off", "off"],
                ["消えた", m.windows_path(m.folder / "消えた.exe"), "", "", "off", "off"],
            ]))
            proc = m.start()
            m.wait_main()
            m.command("Launch1")
            m.command("Launch1")  # told once, not twice
            m.command("Launch2")
            wait_until(lambda: any("「消えた」" in t for t in m.notices()), what="the missing program in the notice")
            text = m.press("OK")
            self.assertIn("プログラムを起動できませんでした。", text)
            self.assertIn("「壊れた」", text)
            self.assertIn("Windows で実行できるプログラムではありません。", text)
            self.assertEqual(text.count("「壊れた」"), 1)
            self.assertIn("「消えた」 " + m.windows_path(m.folder / "消えた.exe") + "\r\nファイルが見つかりません。", text)
            # The menu still answers: the notice ran no loop of its own.
            m.command("Exit")
            self.assertEqual(m.wait_exit(proc), 0)


if __name__ == "__main__":
    unittest.main()
