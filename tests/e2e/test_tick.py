"""The 2-second tick on a test LAN: a scheduled connect dials and the panel
counts the connected time, an unanswered connect ends in the time-out
message, and ﾀﾞｳﾝﾛｰﾄﾞ後切断 hangs up once the download windows are gone."""

import re
import shutil
import time
import unittest

from rmtest import (DOWNLOADSTANDIN, MAIN_CLASS, PC_ADDRESS, TITLE, LanTestCase, panel_caption, pixels, wait_counting,
                    wait_panel, wait_until)

PANEL_AT = (400, 300)
ELAPSED = re.compile(r"^\d\d:\d\d:\d\d$")


def seconds_of(caption):
    h, m, s = map(int, caption.split(":"))
    return h * 3600 + m * 60 + s


def wait_panel_seconds(m, handle, seconds):
    """Waits until the panel has counted on by seconds: the ticks that
    watch the downloads ran meanwhile."""
    start = seconds_of(panel_caption(m, handle))
    wait_until(lambda: seconds_of(panel_caption(m, handle)) - start >= seconds, what=f"{seconds} s on the panel")


def red_pixels(rgb):
    return sum(1 for i in range(0, len(rgb), 3) if rgb[i] > 200 and rgb[i + 1] < 80 and rgb[i + 2] < 80)


class Tick(LanTestCase):
    def start(self, m, **settings):
        return super().start(m, Left=str(PANEL_AT[0]), Top=str(PANEL_AT[1]), **settings)

    def connected(self, m):
        m.start_router()
        proc = self.start(m)
        m.command("ConnectPort1")
        handle, rect = wait_panel(m, True)
        wait_counting(m, handle)
        return proc, handle, rect

    def downloads(self, m, *args):
        exe = m.folder / "downloadstandin.exe"
        if not exe.exists():
            shutil.copy2(DOWNLOADSTANDIN, exe)
        return m.box.start([exe, *map(str, args)])

    def closed_by_watch(self, m):
        log = m.folder / "downloadstandin.log"
        return log.read_text(encoding="utf-8").splitlines() if log.exists() else []

    def titles(self, m):
        return {w[3] for w in m.windows()}

    def test_scheduled_connect_dials_and_the_panel_counts_the_connected_time(self):
        with self.monitor() as m:
            m.start_router()
            minute = time.localtime(time.time() + 60)
            proc = self.start(m, AutoConnect="on", ConnectTime=time.strftime("%H:%M", minute))
            m.wait_router_received("ConnectRouterPort", timeout=90)
            handle, _ = wait_panel(m, True)
            first = wait_counting(m, handle)
            wait_panel_seconds(m, handle, 2)
            second = panel_caption(m, handle)
            self.assertRegex(second, ELAPSED)
            self.assertGreaterEqual(seconds_of(second) - seconds_of(first), 2)
            m.screenshot("counting")
            self.assertEqual(len(m.router_received()), 2)  # the clock, then the one connect
            self.finish(m, proc)

    def test_connect_the_router_never_reports_ends_in_the_time_out_message(self):
        with self.monitor() as m:
            # The router dials but its syslog goes to a port nobody reads.
            m.start_router("--syslog-to", PC_ADDRESS, "--syslog-port", 9)
            # The shortest time-out the settings file takes.
            proc = self.start(m, ConnectTimeout="30")
            m.command("ConnectPort1")
            handle, _ = wait_panel(m, True)
            requested = time.monotonic()
            wait_until(lambda: any(w[2] == "#32770" and w[3] == TITLE and w[1] for w in m.windows()), 60,
                       "the time-out box")
            # The reset is on screen before its message: no panel behind the box.
            self.assertFalse(any(w[2] == MAIN_CLASS and w[1] for w in m.windows()))
            text = m.press("OK", timeout=60)
            self.assertGreater(time.monotonic() - requested, 29)
            self.assertIn("接続に失敗したか、syslogが受け取れませんでした。", text)
            self.assertIn("接続されている場合はRoutavistaのsyslog設定を確認してください。", text)
            # Not one datagram reached the syslog port: the firewall is named.
            self.assertIn("Windows ファイアウォール", text)
            wait_panel(m, False)
            self.assertEqual(panel_caption(m, handle), "未接続")
            self.finish(m, proc)

    def test_download_watch_keeps_the_line_while_a_dialog_is_open_and_then_hangs_up(self):
        with self.monitor() as m:
            proc, handle, rect = self.connected(m)
            m.command("DisconnectAfterDownload")
            self.assertIn("対象を見つけられませんでした", m.press("OK"))

            dialog = self.downloads(m, "--dialog", "35% コピーしました", 8)
            wait_until(lambda: "35% コピーしました" in self.titles(m), what="the download dialog")
            m.command("DisconnectAfterDownload")
            wait_until(lambda: red_pixels(pixels(m.screenshot("armed"), rect)) > 0, what="the armed panel's red")
            while "35% コピーしました" in self.titles(m):
                self.assertEqual([r for r in m.router_received() if r[0].startswith("Disconnect")], [])
                time.sleep(0.5)
            dialog.wait(timeout=30)
            m.wait_router_received("DisconnectRouterPort", timeout=15)
            wait_panel(m, False)
            self.finish(m, proc)

    def test_download_watch_waits_for_the_terminals_bye_button(self):
        with self.monitor() as m:
            proc, handle, _ = self.connected(m)
            self.downloads(m, "--terminal", 8)
            wait_until(lambda: "NifTerm - standin" in self.titles(m), what="the terminal")
            m.command("DisconnectAfterDownload")
            wait_panel_seconds(m, handle, 4)
            self.assertEqual([r for r in m.router_received() if r[0].startswith("Disconnect")], [])
            m.wait_router_received("DisconnectRouterPort", timeout=20)
            # The terminal stays open; only its button went.
            self.assertIn("NifTerm - standin", self.titles(m))
            self.finish(m, proc)

    def test_download_window_keeps_save_as_and_loses_its_other_dialogs(self):
        with self.monitor() as m:
            proc, handle, _ = self.connected(m)
            self.downloads(m, "--download", 60)
            wait_until(lambda: {"ファイルのダウンロード", "ﾌｧｲﾙ名を付けて保存", "セキュリティの警告"} <= self.titles(m),
                       what="the download windows")
            m.command("DisconnectAfterDownload")
            wait_until(lambda: "closed\tセキュリティの警告" in self.closed_by_watch(m), what="the stray dialog closed")
            wait_panel_seconds(m, handle, 3)
            self.assertEqual(self.closed_by_watch(m), ["closed\tセキュリティの警告"])
            self.assertIn("ﾌｧｲﾙ名を付けて保存", self.titles(m))
            self.assertEqual([r for r in m.router_received() if r[0].startswith("Disconnect")], [])
            m.tool("close", "--title", "ファイルのダウンロード")
            m.wait_router_received("DisconnectRouterPort", timeout=15)
            self.finish(m, proc)


if __name__ == "__main__":
    unittest.main()
