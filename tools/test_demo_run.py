"""The demo run as a new user drives it: run_monitor.py with the real exe,
typed lines through a pipe, Ctrl+C at the end."""

import os
import queue
import signal
import subprocess
import sys
import tempfile
import threading
import time
import unittest
from pathlib import Path

from rmsettings import settings_bytes, settings_values
from rmtables import tables

HERE = Path(__file__).resolve().parent
ROOT = HERE.parent
WIN = Path(os.environ.get("RM_WIN_BUILD", ROOT / "build/win"))
ROUTERSIM = Path(os.environ.get("RM_ROUTERSIM", ROOT / "build/native/tools/routersim/routersim"))
WAIT = 90  # seconds a reply may take on a loaded machine before the test gives up


NOTEPAD = r"C:\windows\notepad.exe"


def launcher_bytes(*entry):
    """RVlaunch.ini as the program writes it, with one entry of six texts."""
    lines = ["RouLaunch Ver2.04", *entry] + [""] * 30
    return "".join(line + "\r\n" for line in lines).encode("cp932")


class DemoRun(unittest.TestCase):
    def setUp(self):
        self.folder = Path(tempfile.mkdtemp(prefix="demo-run-"))
        self.addCleanup(subprocess.run, ["rm", "-rf", str(self.folder)])
        self.lines = queue.Queue()
        self.seen = []

    def start(self):
        self.proc = subprocess.Popen(
            [sys.executable, str(HERE / "run_monitor.py"), str(WIN / "src/win32/RMonitor.exe"),
             "--folder", str(self.folder), "--rmview", str(WIN / "src/win32/RMView.exe"),
             "--routersim", str(ROUTERSIM), "--wintool", str(WIN / "tools/wintool/wintool.exe")],
            stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, encoding="utf-8")
        self.addCleanup(self.stop)
        self.reader = threading.Thread(target=lambda: [self.lines.put(line.rstrip("\n")) for line in self.proc.stdout])
        self.reader.start()

    def stop(self):
        if self.proc.poll() is None:
            self.proc.send_signal(signal.SIGINT)
            time.sleep(1)
            self.proc.send_signal(signal.SIGINT)
            self.proc.wait(timeout=60)
        self.proc.stdin.close()
        self.reader.join()
        self.proc.stdout.close()

    def expect(self, text):
        """The next lines up to one that holds text; fails with what came instead."""
        deadline = time.monotonic() + WAIT
        while time.monotonic() < deadline:
            try:
                line = self.lines.get(timeout=1)
            except queue.Empty:
                continue
            self.seen.append(line)
            if text in line:
                return line
        self.fail(f"no line with {text!r}; the run said:\n" + "\n".join(self.seen[-30:]))

    def type(self, line, reply):
        self.proc.stdin.write(line + "\n")
        self.proc.stdin.flush()
        return self.expect(reply)

    def test_a_new_users_session_from_registering_a_program_to_ctrl_c(self):
        (self.folder / "RMonitor.ini").write_bytes(settings_bytes(RouterAddress="192.0.2.1"))
        launcher = self.folder / "RVlaunch.ini"
        self.start()
        self.expect("Windows that open are told here.")

        # The launcher entry goes in through the settings dialog, as a user would put it.
        self.type("設定", "Picked 設定 in the tray menu.")
        self.assertIn("(pages: 基本設定, ", self.expect("[設定]"))
        self.type("?", "    シリアルポート2も使用する [ ]")
        self.type("シリアルポート2も使用する", "Pressed シリアルポート2も使用する in [設定]. Now on.")
        self.type("ランチャー", "Opened the page ランチャー in [設定].")
        self.type("タイトル=メモ帳", "Set メモ帳 in タイトル in [設定].")
        self.type("編集#1", "Pressed 編集... in [設定]. (It is 編集...#1 of 6 there; ? numbers them.)")
        self.expect("[ソフト設定]")
        self.type("プログラム名=" + NOTEPAD, f"Set {NOTEPAD} in プログラム名（実行ファイル） in [ソフト設定].")
        self.type("接続時に起動=off", "Set off in 接続時に起動 in [ソフト設定].")
        self.type("登録", "Pressed 登録 in [ソフト設定].")
        self.expect("[ソフト設定] closed.")
        self.type("設定", "Pressed 設定 in [設定].")
        self.expect("[設定] closed.")
        pair = next(row["pair"] for row in tables()["settings"] if row["name"] == "UsePort2")
        self.assertEqual(settings_values((self.folder / "RMonitor.ini").read_bytes())[pair], "on")
        self.assertEqual(launcher.read_bytes(), launcher_bytes("メモ帳", NOTEPAD, "", "", "off", "on"))

        # The menus are read anew: the new entry and the second port's items are there.
        self.type("?", "    ポート2接続")
        self.type("メモ帳", "Picked メモ帳 in the tray menu.")

        self.type("SysLogを表示", "Picked SysLogを表示 in the tray menu.")
        self.assertIn("ﾌｫﾝﾄ", self.expect("[SysLog]  (menu:"))
        self.assertIn("For the one in トレイ, type トレイ:終了.", self.type("終了", "Picked 終了 in [SysLog] menu ﾌｧｲﾙ."))
        self.expect("[SysLog] closed.")

        self.type("ﾊﾞｰｼﾞｮﾝ情報", "Picked ﾊﾞｰｼﾞｮﾝ情報 in the tray menu.")
        self.assertIn("Routavista Monitor Ver", self.expect("[バージョン情報]"))
        self.type("ok", "Pressed OK in [バージョン情報].")
        self.expect("[バージョン情報] closed.")

        self.type("履歴をグラフ表示", "Picked 履歴をｸﾞﾗﾌ表示 in the tray menu.")
        self.expect("[接続履歴のグラフ]")

        self.type("ヘルプ", "Picked ﾍﾙﾌﾟ in the tray menu.")
        self.expect("open that in a browser of this machine.")
        self.assertIn("<title>Routavista Monitor ヘルプ</title>",
                      (self.folder / "RMonitorHelp.html").read_text(encoding="utf-8"))

        # Only the exit save writes the launcher file anew now.
        launcher.write_bytes(launcher.read_bytes().replace(b"\r\n", b"\n"))
        self.proc.send_signal(signal.SIGINT)
        self.expect("Ending the monitor as 終了 does")
        self.assertEqual(self.proc.wait(timeout=WAIT), 0)
        self.assertEqual(launcher.read_bytes(), launcher_bytes("メモ帳", NOTEPAD, "", "", "off", "on"))
        boxes = subprocess.run(["ip", "netns", "list"], capture_output=True, text=True).stdout
        self.assertNotIn(f"rmbox-{self.proc.pid}-", boxes)


if __name__ == "__main__":
    unittest.main()
