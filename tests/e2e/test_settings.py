"""The settings file shapes the running program and is written back at exit."""

import unittest

from rmtest import (WM_RBUTTONDOWN, MonitorTestCase, open_tray_menu, settings_bytes, settings_values,
                    wait_panel)

PREPARED = dict(RouterAddress="127.0.0.1", UsePort2="on", TraySwap="on", Left="320", Top="240",
                NickName="たろうのPC", DialUpWatcherPath=r"C:\ツール\dwctrl32.exe", ConnectTimeout="90",
                RedialCount="3")


class SettingsFile(MonitorTestCase):
    def test_two_port_swapped_settings_show_and_survive_exit(self):
        with self.monitor() as m:
            ini = m.folder / "RMonitor.ini"
            ini.write_bytes(settings_bytes(**PREPARED))
            proc = m.start()
            m.wait_main()
            _, place = wait_panel(m, shown=False)
            self.assertEqual(place[:2], (320, 240))
            # No first-run message with a settings file.
            self.assertNotEqual(m.tool("find", "--class", "#32770", "--visible", "--timeout", 1000)[0], 0)

            # Swapped: the right button opens the connect menu, in its two-port shape.
            captions = open_tray_menu(m, WM_RBUTTONDOWN)
            self.assertEqual(captions[:6], ["ポート1接続", "ポート1切断", "", "ポート2接続", "ポート2切断", ""])

            m.command("Exit")
            self.assertEqual(m.wait_exit(proc), 0)
            self.assertEqual(settings_values(ini.read_bytes()), settings_values(settings_bytes(**PREPARED)))
            self.assertEqual(ini.read_bytes().split(b"\r\n")[0], b"Routavista Monitor Ver2.04")
            self.assertFalse((m.folder / "RMonitor.ini.tmp").exists())


if __name__ == "__main__":
    unittest.main()
