"""Syslog lines over loopback switch the panel and the tray icon between idle and connected."""

import unittest

from rmtest import (WM_LBUTTONDOWN, WM_RBUTTONDOWN, MonitorTestCase, open_tray_menu, panel_caption, pixels, send_syslog,
                    settings_values, tray_icon_rect, wait_counting, wait_panel, wait_until)

PANEL_AT = (400, 300)
CONNECT = "<30>S01: PPP Connect successfully"
DISCONNECT = "<30>S01: PPP Disconnect successfully"



def overlaps(a, b):
    return a[0] < b[0] + b[2] and b[0] < a[0] + a[2] and a[1] < b[1] + b[3] and b[1] < a[1] + a[3]


def shows_icon(shot, picture):
    """Whether every pixel that the icon covers in its own picture is back. Wine's
    tray does not clear what shows through the transparent pixels of a new icon,
    so those may still show the one before."""
    background = picture[:3]  # the icon is centred; its window's corner is bare
    return all(shot[i:i + 3] == picture[i:i + 3] for i in range(0, len(picture), 3)
               if picture[i:i + 3] != background)


class StatusDisplay(MonitorTestCase):
    def start(self, m, **values):
        proc = super().start(m, Left=str(PANEL_AT[0]), Top=str(PANEL_AT[1]), **values)
        wait_panel(m, shown=False)
        return proc

    def test_connect_line_shows_the_panel_and_disconnect_line_hides_it(self):
        with self.monitor() as m:
            proc = self.start(m)
            icon = tray_icon_rect(m)
            idle_icon = pixels(m.screenshot("tray-idle"), icon)

            send_syslog(m, CONNECT)
            panel, rect = wait_panel(m, shown=True)
            self.assertEqual(rect[:2], PANEL_AT)
            self.assertFalse(overlaps(rect, icon))
            # The first tick shows the time online.
            self.assertRegex(wait_counting(m, panel), r"^00:00:0\d$")
            wait_until(lambda: pixels(m.screenshot("connected"), icon) != idle_icon, what="the connected icon")

            send_syslog(m, DISCONNECT)
            panel, _ = wait_panel(m, shown=False)
            self.assertEqual(panel_caption(m, panel), "未接続")
            wait_until(lambda: shows_icon(pixels(m.screenshot("idle-again"), icon), idle_icon), what="the program icon")

            m.command("Exit")
            self.assertEqual(m.wait_exit(proc), 0)

    def test_reset_command_hides_the_panel(self):
        with self.monitor() as m:
            proc = self.start(m)
            send_syslog(m, CONNECT)
            wait_panel(m, shown=True)
            m.command("Reset")
            panel, _ = wait_panel(m, shown=False)
            self.assertEqual(panel_caption(m, panel), "未接続")
            m.command("Exit")
            self.assertEqual(m.wait_exit(proc), 0)

    def test_a_panel_stored_where_no_monitor_is_shows_at_the_edge_of_the_screen(self):
        # Stored on a monitor left of and above this one (a laptop since undocked).
        with self.monitor() as m:
            proc = MonitorTestCase.start(self, m, Left="-5000", Top="-5000")
            send_syslog(m, CONNECT)
            panel, rect = wait_panel(m, shown=True)
            self.assertEqual(rect[:2], (0, 0))
            self.assertRegex(wait_counting(m, panel), r"^00:00:0\d$")
            self.finish(m, proc)
            # The place stays in the settings for when that monitor is back.
            self.assertEqual(settings_values((m.folder / "RMonitor.ini").read_bytes())[4], "-5000")

    def test_swapped_tray_buttons_open_each_others_menu(self):
        with self.monitor() as m:
            proc = self.start(m, TraySwap="on")
            left = open_tray_menu(m, WM_LBUTTONDOWN)
            # No launcher entry: no separator above 設定 either.
            self.assertEqual(left[0], "設定")
            self.assertIn("終了", left)
            self.assertNotIn("リセット", left)
            right = open_tray_menu(m, WM_RBUTTONDOWN)
            self.assertEqual(right[:2], ["接続", "切断"])
            self.assertIn("リセット", right)

            m.command("Exit")
            self.assertEqual(m.wait_exit(proc), 0)


if __name__ == "__main__":
    unittest.main()
