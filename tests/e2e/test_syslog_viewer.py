"""The syslog viewer of the real program: the lines received over loopback, as
the settings shape them, and its menu bar."""

import re
import time
import unittest

from rmtest import MonitorTestCase, framed, pixels, send_syslog, wait_until
from rmcommands import viewer_command_ids  # after rmtest, which finds the tools

VIEWER_CLASS = "Tsyslogform"
LINES_CLASS = "RoutavistaLineView"
VIEWER_COMMANDS = viewer_command_ids()
TIME_PREFIX = r"\[\d{4}/\d{2}/\d{2} \d{2}:\d{2}:\d{2}\]"

MENU_BAR = [
    ("0", "", "ﾌｧｲﾙ"),
    ("0", "0", "ログをコピー"),
    ("0", "1", "ログを引用符付きでコピー"),
    ("0", "2", "ログをファイルに保存"),
    ("0", "3", ""),  # separator
    ("0", "4", "終了"),
    ("1", "", "ｵﾌﾟｼｮﾝ"),
    ("1", "0", "ﾌｫﾝﾄ"),
    ("2", "", "ﾍﾙﾌﾟ"),
    ("2", "0", "この項目のﾍﾙﾌﾟ"),
]


def viewer(m):
    """(handle, visible, rect) of the viewer window."""
    rows = [w for w in m.windows() if w[2] == VIEWER_CLASS]
    if len(rows) != 1:
        raise AssertionError(f"{len(rows)} viewer windows")
    return rows[0][0], rows[0][1], rows[0][4]


def lines_view(m):
    """(handle, rect) of the viewer's line view."""
    _, out = m.tool("list", "--all")
    for row in (line.split("\t") for line in out.splitlines()):
        if len(row) >= 8 and row[2] == LINES_CLASS:
            return row[0], tuple(int(c) for c in row[4:8])
    raise AssertionError("the viewer has no line view")


def viewer_lines(m):
    _, text = m.tool("text", lines_view(m)[0])
    return [line for line in re.split(r"\r\n|\r|\n", text) if line] if text else []


def keep_screenshot(m, name):
    """The screen once the viewer's lines are painted on it, dark text on the light window."""
    def dark():
        rgb = pixels(m.screenshot(name), lines_view(m)[1])
        return sum(1 for i in range(0, len(rgb), 3) if sum(rgb[i:i + 3]) < 200)
    wait_until(lambda: dark() > 500, what="the lines painted")


def viewer_command(m, item):
    code, _ = m.tool("command", "--title", "SysLog", "--class", VIEWER_CLASS, "--id", VIEWER_COMMANDS[item])
    if code != 0:
        raise AssertionError(f"could not send {item} to the viewer")


class SyslogViewer(MonitorTestCase):
    def test_lines_before_and_after_opening_appear_in_order_with_time_and_breaks(self):
        with self.monitor() as m:
            proc = self.start(m, SyslogSimple="off")
            before = ["S01: -->: ATD0570123456", "ルータの時刻を合わせました"]
            for text in before:
                send_syslog(m, framed(text))
                time.sleep(0.2)
            # The viewer exists from the start, hidden, and gets the lines there.
            wait_until(lambda: len(viewer_lines(m)) == 4, what="the first lines in the hidden viewer")
            self.assertFalse(viewer(m)[1])

            m.command("ShowSyslog")
            wait_until(lambda: viewer(m)[1], what="the viewer shown")
            after = ["S01: PPP Connect successfully"]
            for text in after:
                send_syslog(m, framed(text))
            wait_until(lambda: len(viewer_lines(m)) == 6, what="the line sent while it is open")
            lines = viewer_lines(m)
            for i, text in enumerate(before + after):
                self.assertRegex(lines[2 * i], rf"^{TIME_PREFIX}<30>\w{{3}} [ \d]\d \d\d:\d\d:\d\d rv4 {re.escape(text)}$")
                self.assertEqual(lines[2 * i + 1], "---")

            handle, _, rect = viewer(m)
            _, out = m.tool("menubar", handle)
            bar = [tuple(line.split("\t")[i] for i in (0, 1, 4)) for line in out.splitlines()]
            self.assertEqual(bar, MENU_BAR)
            # Centred on the 1024 x 768 screen of the box; not clipped.
            self.assertAlmostEqual(rect[0] + rect[2] / 2, 512, delta=2)
            self.assertAlmostEqual(rect[1] + rect[3] / 2, 384, delta=2)
            keep_screenshot(m, "viewer")

            # Closing only hides it; opened again it shows every line.
            viewer_command(m, "Close")
            wait_until(lambda: not viewer(m)[1], what="the viewer hidden")
            m.command("ShowSyslog")
            wait_until(lambda: viewer(m)[1], what="the viewer shown again")
            self.assertEqual(viewer_lines(m), lines)

            m.command("Exit")
            self.assertEqual(m.wait_exit(proc), 0)

    def test_without_time_and_breaks_the_lines_are_as_the_router_sent_them(self):
        with self.monitor() as m:
            proc = self.start(m, SyslogAddTime="off", SyslogLineBreaks="off")
            sent = [f"<30>rv4 line {i}" for i in range(1, 6)]
            for text in sent:
                send_syslog(m, text)
            m.command("ShowSyslog")
            wait_until(lambda: viewer_lines(m) == sent, what="the five lines as sent")
            m.command("Exit")
            self.assertEqual(m.wait_exit(proc), 0)

    def test_at_150_percent_the_window_and_its_text_are_one_and_a_half_times_as_large(self):
        with self.monitor() as m:
            m.box.wine(["reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t", "REG_DWORD",
                        "/d", "144", "/f"])
            proc = self.start(m, SyslogSimple="off")
            send_syslog(m, framed("ルータの時刻を合わせました"))
            send_syslog(m, b"<30>rv4 a\0b\x1b[0m")
            m.command("ShowSyslog")
            wait_until(lambda: viewer(m)[1], what="the viewer shown")
            wait_until(lambda: len(viewer_lines(m)) == 4, what="the lines")
            # Control bytes by their names, which every font draws.
            self.assertRegex(viewer_lines(m)[2], r"<30>rv4 a<NUL>b<ESC>\[0m$")
            handle, _, rect = viewer(m)
            # The client area of 592 x 404 at 144 dots per inch, inside the frame and the menu bar.
            self.assertGreaterEqual(rect[2], 888)
            self.assertGreaterEqual(rect[3], 606)
            self.assertLess(rect[2], 888 + 40)
            keep_screenshot(m, "viewer-150")
            m.command("Exit")
            self.assertEqual(m.wait_exit(proc), 0)


if __name__ == "__main__":
    unittest.main()
