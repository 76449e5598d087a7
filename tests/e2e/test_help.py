"""ﾍﾙﾌﾟ opens the program's own Japanese help page in the user's browser,
on Windows 10 even with a WinHelp file beside the program (Windows 10 has
no WinHelp)."""

import os
import re
import unittest
from pathlib import Path
from urllib.parse import unquote, urlparse

from rmtest import MonitorTestCase, settings_bytes, wait_until


class Help(MonitorTestCase):
    def test_help_item_opens_the_own_page_in_the_browser(self):
        with self.monitor() as m:
            # As on every Windows: .html belongs to the browser, here a script
            # that notes what it was asked to open.
            browser = m.folder / "browser.sh"
            opened = m.folder / "browser.log"
            browser.write_text(f'#!/bin/sh\necho "$@" >> "{opened}"\n')
            browser.chmod(0o755)
            # Wine is Windows 7 unless told otherwise.
            for key, value in [(r"HKCR\.html", ["/ve", "/d", "htmlfile"]),
                               (r"HKCU\Software\Wine\WineBrowser", ["/v", "Browsers", "/d", str(browser)]),
                               (r"HKCU\Software\Wine", ["/v", "Version", "/d", "win10"])]:
                self.assertEqual(m.box.wine(["reg", "add", key, "/f"] + value, timeout=60).returncode, 0)
            (m.folder / "RMonitor.ini").write_bytes(settings_bytes(RouterAddress="127.0.0.1"))
            (m.folder / "RMonitor.hlp").write_bytes(b"?_\x03\x00")
            proc = m.start()
            m.wait_main()
            m.command("OpenHelp")
            wait_until(opened.exists, what="the browser")
            target = opened.read_text().split()[0]
            page = Path(unquote(urlparse(target).path) if target.startswith("file:") else target)
            self.assertEqual(page.name, "RMonitorHelp.html")
            html = page.read_text(encoding="utf-8")
            self.assertIn("<title>Routavista Monitor ヘルプ</title>", html)
            self.assertIn("netsh advfirewall firewall add rule", html)
            self.assertIn("profile=private remoteip=localsubnet", html)
            self.assertIn("shell:startup", html)
            for item in ["接続", "ﾀﾞｳﾝﾛｰﾄﾞ後切断", "メモ送信", "SysLogを表示", "履歴ログの送信", "終了"]:
                self.assertIn(f"<dt>{item}", html)
            self.assertFalse([w for w in m.windows() if w[2] == "#32770" and w[1]], "no message box")
            m.command("Exit")
            self.assertEqual(m.wait_exit(proc), 0)


if __name__ == "__main__":
    unittest.main()
