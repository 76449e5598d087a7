"""The main journey on a test LAN: 接続 makes the simulated router dial, its
syslog brings the panel up, 切断 ends the call and a history record is written."""

import socket
import struct
import unittest

from rmtest import (PC_ADDRESS, ROUTER_ADDRESS, LanTestCase, inside_namespace, wait_counting, wait_panel,
                    wait_until)

ROUTER_OCTETS = "c0000201"  # 192.0.2.1


def panel_visible(m):
    rows = m.main_windows()
    return bool(rows) and rows[0][1]


def command_datagram(kind, code, payload):
    """A command as another PC would send it to the router."""
    return struct.pack("!HHHH8x", kind, 0, code, len(payload)) + payload


class RouterJourney(LanTestCase):

    def test_connect_and_disconnect_from_the_menu(self):
        with self.monitor() as m:
            m.start_router()
            proc = self.start(m)
            m.command("ConnectPort1")
            clock, = m.wait_router_received("SetRouterClock")
            self.assertRegex(clock[1], rf"^00400000410b000a0{{16}}{ROUTER_OCTETS}00[01][0-9a-f](00[0-3][0-9a-f]){{2}}$")
            connect, = m.wait_router_received("ConnectRouterPort")
            self.assertEqual(connect[1], "00020000016a0004" + "0" * 16 + ROUTER_OCTETS)
            handle, _ = wait_panel(m, True)
            wait_counting(m, handle)
            m.screenshot("connected")
            # The router finishes its call before the hang-up.
            m.wait_router_sent("IPCP UP")
            m.command("DisconnectPort1")
            disconnect, = m.wait_router_received("DisconnectRouterPort")
            self.assertEqual(disconnect[1], "0002000001680004" + "0" * 16 + ROUTER_OCTETS)
            history = m.folder / "log" / "Rmonitor.csv"
            wait_until(history.exists, what="the history record")
            self.assertRegex(history.read_bytes().decode("ascii"),
                             r"^2\.04,Port1(,\d{4}/\d\d/\d\d,\d\d:\d\d:\d\d){3},[ 0-9:;<=>?]{7}\r\n$")
            wait_until(lambda: not panel_visible(m), what="the panel to hide")
            self.finish(m, proc)

    def test_multi_account_learns_the_isp_from_the_router(self):
        with self.monitor() as m:
            # Another PC makes the call, so the monitor has to ask the router which ISP it uses.
            m.start_router("--syslog-to", PC_ADDRESS)
            watcher = m.install_standin("dwctrl32.exe")
            proc = self.start(m, MultiAccount="on", UseDialUpWatcher="on",
                              DialUpWatcherPath=m.windows_path(watcher), DialUpWatcherName1="ぷらら",
                              DialUpWatcherName2="OCN", DialUpWatcherName3="ビッグローブ")
            with inside_namespace(m.router_host):
                other_pc = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
            with other_pc:
                other_pc.sendto(command_datagram(0x0004, 0x016E, b"\x00\x02"), (ROUTER_ADDRESS, 4449))
                other_pc.sendto(command_datagram(0x0002, 0x016A, bytes.fromhex(ROUTER_OCTETS)),
                                (ROUTER_ADDRESS, 4449))
            m.wait_router_received("QueryRouterIsp")
            wait_until(lambda: any("ビッグローブ" in line for line in m.standin_log()), what="the ISP3 connection name")
            self.finish(m, proc)

    def test_unanswered_clock_still_sends_the_connect(self):
        with self.monitor() as m:
            m.start_router("--no-answer")
            proc = self.start(m)
            m.command("ConnectPort1")
            self.assertIn("時間設定に失敗しました", m.press("OK", timeout=30))
            m.wait_router_received("ConnectRouterPort")
            self.finish(m, proc)

    def test_busy_line_redials_automatically(self):
        with self.monitor() as m:
            m.start_router("--busy-times", 1)
            proc = self.start(m, RedialCount="3")
            m.command("ConnectPort1")
            m.wait_router_received("ConnectRouterPort", count=2, timeout=45)
            wait_counting(m, wait_panel(m, True)[0])
            self.finish(m, proc)

    def test_utility_mode_starts_the_setup_utility(self):
        with self.monitor() as m:
            m.start_router()
            utility = m.install_standin("DAZera.exe")
            proc = self.start(m, NoUtility="off", UtilityPath=m.windows_path(utility))
            m.command("ConnectPort1")
            wait_until(lambda: m.standin_log(), what="the utility to start")
            name, arguments, folder = m.standin_log()[0].split("\t")
            self.assertEqual((name, arguments), ("DAZera.exe", f"-i {ROUTER_ADDRESS} -con1"))
            self.assertEqual(folder.rstrip("\\").lower(), m.windows_path(m.folder).lower())
            wait_until(lambda: any(w[3] == "DAZERA" for w in m.windows()), what="the utility's window")
            # The next command closes a utility left running.
            m.command("DisconnectPort1")
            wait_until(lambda: any(line.startswith("closed\tDAZERA") for line in m.standin_log()),
                       what="the utility to be closed")
            self.assertEqual(m.router_received(), [])
            self.finish(m, proc)

    def test_settings_window_of_the_utility_blocks_connect_and_disconnect(self):
        with self.monitor() as m:
            settings_window = m.install_standin("DAZera.exe")
            proc = self.start(m, NoUtility="off", UtilityPath=m.windows_path(settings_window))
            holder = m.box.start([settings_window, "--settings"])
            wait_until(lambda: any(w[3] == "Ｒｏｕｔａｖｉｓｔａの設定" for w in m.windows()), what="the settings window")
            m.command("ConnectPort1")
            self.assertIn("Routavistaの設定中は接続できません。", m.press("OK"))
            m.command("DisconnectPort1")
            self.assertIn("Routavistaの設定中は切断できません。", m.press("OK"))
            self.assertFalse(panel_visible(m))
            self.assertEqual([line for line in m.standin_log() if "-i " in line], [])
            m.tool("close", "--title", "Ｒｏｕｔａｖｉｓｔａの設定")
            holder.wait(timeout=30)
            self.finish(m, proc)


if __name__ == "__main__":
    unittest.main()
