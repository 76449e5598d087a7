"""履歴をｸﾞﾗﾌ表示 starts RMView.exe from the program folder, which shows the
folder's history."""

import os
import shutil
import unittest
from pathlib import Path

from rmtest import EXE, MonitorTestCase, settings_bytes

# Built beside the monitor: build/win/src/rmview/win32/RMView.exe.
RMVIEW = Path(os.environ.get("RM_RMVIEW", EXE.parents[1] / "rmview/win32/RMView.exe"))

GRAPH_TITLE = "接続履歴のグラフ"
GRAPH_CLASS = "TRMViewForm"


class HistoryGraph(MonitorTestCase):
    def test_the_menu_item_starts_rmview_on_the_folders_history(self):
        with self.monitor() as m:
            shutil.copy2(RMVIEW, m.folder / "RMView.exe")
            (m.folder / "RMonitor.ini").write_bytes(settings_bytes())
            (m.folder / "log").mkdir()
            (m.folder / "log/Rmonitor.csv").write_bytes(
                b"2.04,Port1,2003/01/02,09:04:50,2003/01/02,09:05:00,2003/01/02,10:15:30,   1234\r\n"
                b"2.04,Port2,2003/02/10,23:00:00,2003/02/10,23:00:05,2003/02/11,00:00:05\r\n")
            proc = m.start()
            m.wait_main()
            self.assertFalse([w for w in m.windows() if w[2] == GRAPH_CLASS])

            m.command("RMV")
            code, graph = m.tool("find", "--title", GRAPH_TITLE, "--class", GRAPH_CLASS, "--visible",
                                 "--timeout", 30000)
            self.assertEqual(code, 0, "RMView's window did not open")
            _, children = m.tool("children", graph.split()[0])
            texts = [line.split("\t")[2] for line in children.splitlines()]
            self.assertIn("2003年02月", texts)
            self.assertIn("接続記録 2件　読めない行 0行", texts)
            self.assertIn("2003年2月の合計　Port1 0:00:00 (0回)　Port2 1:00:00 (1回)　計 1:00:00 (1回)", texts)
            m.screenshot("rmview")

            m.tool("close", "--title", GRAPH_TITLE, "--class", GRAPH_CLASS)
            code, _ = m.tool("wait-gone", "--title", GRAPH_TITLE, "--class", GRAPH_CLASS, "--timeout", 20000)
            self.assertEqual(code, 0)
            m.command("Exit1")
            self.assertEqual(m.wait_exit(proc), 0)


if __name__ == "__main__":
    unittest.main()
