"""The settings dialog opened from the tray menu: what is changed and saved
there is in RMonitor.ini and comes back at the next start; what is left
unsaved leaves the file as it was."""

import unittest
from collections import Counter

from rmtest import WM_RBUTTONDOWN, MonitorTestCase, pixels, settings_bytes, settings_values, wait_until
from rmtables import tables  # after rmtest, which puts tools/ on the path

WM_KEYDOWN = 0x100
VK_RETURN = 0x0D
VK_ESCAPE = 0x1B
VK_DOWN = 0x28
TCM_SETCURFOCUS = 0x1330
TRAY_MESSAGE = 0x8302
FIRST_ICON = 1
TRAY_CALLBACK_CLASS = "RoutavistaTrayCallback"
PAGES = 8

# A contrast theme like Windows' "Night sky": light text on dark windows and buttons.
DARK_COLOURS = {
    "Window": "0 0 0", "WindowText": "255 255 255", "ButtonFace": "0 0 0", "ButtonText": "255 255 255",
    "Hilight": "26 235 255", "HilightText": "0 0 0", "GrayText": "63 242 63",
}


def luminance(rgb):
    return (299 * rgb[0] + 587 * rgb[1] + 114 * rgb[2]) // 1000


def text_pixels(rgb):
    """The pixels of a control's picture that stand out clearly from its
    background, the colour most of them have."""
    colours = [rgb[i:i + 3] for i in range(0, len(rgb), 3)]
    background = luminance(Counter(colours).most_common(1)[0][0])
    return sum(1 for c in colours if abs(luminance(c) - background) > 128)

# Control ids of the dialog (src/core/state/settings_controls.h); those of
# the settings from the program's table.
SETTINGS = {row["name"]: row for row in tables()["settings"]}
ROUTER_ADDRESS, NICK_NAME = SETTINGS["RouterAddress"]["control_id"], SETTINGS["NickName"]["control_id"]
SAVE_BUTTON, CANCEL, TABS, ROUTER_ADDRESS_LABEL = 602, 2, 601, 613
NICKNAME_PAIR, ADDRESS_PAIR = SETTINGS["NickName"]["pair"], SETTINGS["RouterAddress"]["pair"]


class SettingsDialog(MonitorTestCase):
    def open_from_tray_menu(self, m):
        """Picks "設定", the first item of the right button's menu."""
        callback = [w[0] for w in m.windows() if w[2] == TRAY_CALLBACK_CLASS][0]
        m.tool("send", callback, TRAY_MESSAGE, FIRST_ICON, WM_RBUTTONDOWN)
        if m.tool("menu", "--timeout", 10000)[0] != 0:
            raise AssertionError("no menu opened")
        main = m.main_windows()[0][0]
        m.tool("post", main, WM_KEYDOWN, VK_DOWN)
        m.tool("post", main, WM_KEYDOWN, VK_RETURN)
        code, out = m.tool("find", "--title", "設定", "--class", "#32770", "--visible", "--timeout", 15000)
        if code != 0:
            raise AssertionError("the settings dialog did not open")
        return out.split()[0]

    def controls(self, m, dialog):
        """Each control's handle and text, by id, on every page."""
        _, out = m.tool("children", dialog)
        rows = [line.split("\t") for line in out.splitlines()]
        return {int(r[4]): (r[0], r[2]) for r in rows if len(r) >= 6}

    def chosen_tab(self, m):
        """Where the chosen tab of the settings dialog is on the screen."""
        _, out = m.tool("shown")
        rows = [line.split("\t") for line in out.splitlines()]
        return next(tuple(int(c) for c in r[5:9]) for r in rows if r[0] == "tab" and "selected" in r[3].split(","))

    def test_values_saved_in_the_dialog_are_back_after_a_restart(self):
        with self.monitor() as m:
            ini = m.folder / "RMonitor.ini"
            ini.write_bytes(settings_bytes(RouterAddress="127.0.0.1"))
            proc = m.start()
            m.wait_main()

            dialog = self.open_from_tray_menu(m)
            controls = self.controls(m, dialog)
            self.assertEqual(controls[ROUTER_ADDRESS][1], "127.0.0.1")
            for page in range(PAGES):
                m.tool("send", controls[TABS][0], TCM_SETCURFOCUS, page)
                m.screenshot(f"page{page + 1}")
            m.tool("send", controls[TABS][0], TCM_SETCURFOCUS, 0)
            m.tool("settext", controls[ROUTER_ADDRESS][0], "127.0.0.2")
            m.tool("settext", controls[NICK_NAME][0], "たろうのPC")
            before = ini.read_bytes()
            m.tool("click", controls[SAVE_BUTTON][0])
            wait_until(lambda: ini.read_bytes() != before, what="the settings file")
            values = settings_values(ini.read_bytes())
            self.assertEqual(values[ADDRESS_PAIR], "127.0.0.2")
            self.assertEqual(values[NICKNAME_PAIR], "たろうのPC")
            self.assertEqual(m.tool("wait-gone", "--title", "設定", "--class", "#32770", "--timeout", 10000)[0], 0)

            m.command("Exit")
            self.assertEqual(m.wait_exit(proc), 0)
            proc = m.start()
            m.wait_main()
            controls = self.controls(m, self.open_from_tray_menu(m))
            self.assertEqual(controls[ROUTER_ADDRESS][1], "127.0.0.2")
            self.assertEqual(controls[NICK_NAME][1], "たろうのPC")
            self.assertEqual(m.tool("close", "--title", "設定", "--class", "#32770")[0], 0)
            m.command("Exit")
            self.assertEqual(m.wait_exit(proc), 0)

    def test_closed_unsaved_the_file_stays_as_it_was(self):
        ways = {"キャンセル": lambda m, c: m.tool("click", c[CANCEL][0]),
                "Esc": lambda m, c: m.tool("post", c[ROUTER_ADDRESS][0], WM_KEYDOWN, VK_ESCAPE)}
        with self.monitor() as m:
            ini = m.folder / "RMonitor.ini"
            ini.write_bytes(settings_bytes(RouterAddress="127.0.0.1"))
            before = ini.read_bytes()
            proc = m.start()
            m.wait_main()
            for way, close in ways.items():
                with self.subTest(way):
                    controls = self.controls(m, self.open_from_tray_menu(m))
                    self.assertEqual(controls[ROUTER_ADDRESS][1], "127.0.0.1")
                    m.tool("settext", controls[ROUTER_ADDRESS][0], "127.0.0.2")
                    m.tool("settext", controls[NICK_NAME][0], "たろうのPC")
                    close(m, controls)
                    self.assertEqual(m.tool("wait-gone", "--title", "設定", "--class", "#32770", "--timeout", 10000)[0],
                                     0)
                    self.assertEqual(ini.read_bytes(), before)
            m.command("Exit")
            self.assertEqual(m.wait_exit(proc), 0)

    def test_labels_stay_readable_under_a_dark_colour_scheme(self):
        for dpi, shot in ((96, "dark-colours"), (144, "dark-colours-150")):
            with self.subTest(dpi=dpi):
                self.check_dark_colour_scheme(dpi, shot)

    def check_dark_colour_scheme(self, dpi, shot):
        with self.monitor(dpi=dpi) as m:
            colours = m.folder / "colours.reg"
            colours.write_text("Windows Registry Editor Version 5.00\r\n\r\n"
                               "[HKEY_CURRENT_USER\\Control Panel\\Colors]\r\n"
                               + "".join(f'"{name}"="{value}"\r\n' for name, value in DARK_COLOURS.items()),
                               encoding="utf-16")
            self.assertEqual(m.box.wine(["reg", "import", m.windows_path(colours)]).returncode, 0)
            (m.folder / "RMonitor.ini").write_bytes(settings_bytes(RouterAddress="127.0.0.1"))
            proc = m.start()
            m.wait_main()

            controls = self.controls(m, self.open_from_tray_menu(m))
            _, out = m.tool("list", "--all")
            rect = next(tuple(int(c) for c in row[4:8]) for row in (line.split("\t") for line in out.splitlines())
                        if row[0] == controls[ROUTER_ADDRESS_LABEL][0])
            # "RoutavistaのIPアドレス": some hundred pixels of text once it is painted.
            wait_until(lambda: text_pixels(pixels(m.screenshot(shot), rect)) > 100,
                       what="the label's text, clearly apart from its background")
            # The chosen tab's caption on every page: the middle of the tab,
            # clear of its edges, holds strokes of the text.
            for page in range(PAGES):
                m.tool("send", controls[TABS][0], TCM_SETCURFOCUS, page)
                x, y, w, h = self.chosen_tab(m)
                wait_until(lambda: text_pixels(pixels(m.screenshot(f"{shot}-page{page + 1}"),
                                                      (x + w // 4, y + h // 4, w // 2, h // 2))) > 10,
                           what=f"the caption of tab {page + 1}, clearly apart from its background")
            self.assertEqual(m.tool("close", "--title", "設定", "--class", "#32770")[0], 0)
            m.command("Exit")
            self.assertEqual(m.wait_exit(proc), 0)

    def test_the_version_window_shows_its_line_whole(self):
        with self.monitor() as m:
            (m.folder / "RMonitor.ini").write_bytes(settings_bytes(RouterAddress="127.0.0.1"))
            proc = m.start()
            m.wait_main()
            m.command("ShowVersion")
            code, out = m.tool("find", "--title", "バージョン情報", "--class", "#32770", "--visible", "--timeout", 15000)
            self.assertEqual(code, 0)
            texts = [text for _, text in self.controls(m, out.split()[0]).values()]
            self.assertIn("Routavista Monitor Ver2.04 ", texts)
            m.screenshot("about")
            m.press("OK", title="バージョン情報")
            m.command("Exit")
            self.assertEqual(m.wait_exit(proc), 0)


if __name__ == "__main__":
    unittest.main()
