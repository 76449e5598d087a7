"""The real program starts as one copy, binds its ports, announces itself and ends on 終了."""

import socket
import unittest

from rmtest import MonitorTestCase, balloons, settings_bytes, wait_until

FIRST_RUN = "現在、初期値で起動しています。"


class StartUp(MonitorTestCase):
    def test_first_start_second_copy_and_exit(self):
        with self.monitor() as m:
            first = m.start()
            text = m.press("OK")
            self.assertIn(FIRST_RUN, text)
            self.assertIn("保証外の意味が理解できない方は設定を変更してください。", text)
            self.assertIn("→「設定」→「基本設定」のページ", text)
            m.wait_main()
            self.assertTrue((m.folder / "log").is_dir())
            self.assertTrue((m.folder / "syslog").is_dir())
            self.assertEqual({514, 4449, 4450} & m.bound_udp_ports(), {514, 4449, 4450})
            # Idle: the panel stays hidden.
            self.assertEqual([w[1] for w in m.main_windows()], [False])
            m.screenshot("idle")

            second = m.start()
            self.assertEqual(m.wait_exit(second, timeout=30), 0)
            self.assertEqual(len(m.main_windows()), 1)
            self.assertIsNone(first.poll())
            # The running copy says why nothing else happened.
            wait_until(lambda: "すでに起動しています" in balloons(m), what="the balloon of the running copy")

            # The about window: one at a time, closed with OK.
            m.command("ShowVersion")
            code, about = m.tool("find", "--title", "バージョン情報", "--class", "#32770", "--timeout", 20000)
            self.assertEqual(code, 0)
            _, controls = m.tool("children", about)
            texts = [line.split("\t")[2] for line in controls.splitlines()]
            self.assertIn("Routavista Monitor Ver2.04 ", texts)
            m.press("OK", title="バージョン情報")
            m.command("ShowSyslog")
            self.assertTrue(any(w[3] == "SysLog" and w[1] for w in m.windows()))

            m.command("Exit")
            self.assertEqual(m.wait_exit(first), 0)
            self.assertFalse(m.main_windows())
            self.assertTrue((m.folder / "RMonitor.ini").exists())

    def test_announces_itself_to_the_router_subnet(self):
        with self.monitor() as m:
            (m.folder / "RMonitor.ini").write_bytes(settings_bytes(RouterAddress="127.0.0.1"))
            capture = m.capture_udp(4450)
            proc = m.start()
            seen = capture.datagrams(wait=30, until=lambda s: len(s) >= 1)
            capture.close()
            self.assertEqual(seen[:1], [("127.0.0.255", b"RMonitor Master Check")])
            m.wait_main()
            m.command("Exit")
            m.wait_exit(proc)

    def test_a_port_held_by_another_program_is_told_once(self):
        with self.monitor() as m:
            (m.folder / "RMonitor.ini").write_bytes(settings_bytes(RouterAddress="127.0.0.1"))
            with m.box.inside():
                holder = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
            holder.bind(("0.0.0.0", 514))
            try:
                proc = m.start()
                text = m.press("OK")
                self.assertIn("UDPポート514を使用できません。", text)
                # The program goes on with the other ports and no second box.
                m.wait_main()
                # A later command handled: a second box would be up by now.
                m.answer_time()
                code, _ = m.tool("find", "--title", "Routavista Monitor", "--class", "#32770")
                self.assertNotEqual(code, 0)
                self.assertEqual({4449, 4450} & m.bound_udp_ports(), {4449, 4450})
                self.assertIsNone(proc.poll())
                m.command("Exit")
                self.assertEqual(m.wait_exit(proc), 0)
            finally:
                holder.close()


if __name__ == "__main__":
    unittest.main()
