"""履歴をｸﾞﾗﾌ表示 starts RMView.exe from the program folder, which shows the
folder's history."""

import os
import shutil
import struct
import unittest
import zlib
from pathlib import Path

from rmtest import EXE, MonitorTestCase, settings_bytes, wait_until

# Built beside the monitor.
RMVIEW = Path(os.environ.get("RM_RMVIEW", EXE.parent / "RMView.exe"))

GRAPH_TITLE = "接続履歴のグラフ"
GRAPH_CLASS = "TRMViewForm"
SAVE_PNG = 101  # ﾌｧｲﾙ - PNG画像として保存...
CLIENT_SIZE = (760, 560)  # at 96 dpi
IEND = b"\x00\x00\x00\x00IEND\xaeB`\x82"


def png_size(data):
    """Width and height of a PNG whose chunks and pixels are all sound."""
    assert data[:8] == b"\x89PNG\r\n\x1a\n", "no PNG signature"
    chunks, at = {}, 8
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        (crc,) = struct.unpack(">I", data[at + 8 + length:at + 12 + length])
        assert zlib.crc32(kind + body) == crc, f"bad CRC in {kind}"
        chunks.setdefault(kind, []).append(body)
        at += 12 + length
    assert b"IEND" in chunks, "no IEND"
    width, height, depth, colour = struct.unpack(">IIBB", chunks[b"IHDR"][0][:10])
    channels = {2: 3, 6: 4}[colour]
    pixels = zlib.decompress(b"".join(chunks[b"IDAT"]))
    assert depth == 8 and len(pixels) == height * (1 + width * channels), "pixel data of another size"
    return width, height


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

            m.command("ShowHistoryGraph")
            code, graph = m.tool("find", "--title", GRAPH_TITLE, "--class", GRAPH_CLASS, "--visible",
                                 "--timeout", 30000)
            self.assertEqual(code, 0, "RMView's window did not open")
            _, children = m.tool("children", graph.split()[0])
            texts = [line.split("\t")[2] for line in children.splitlines()]
            self.assertIn("2003年02月", texts)
            self.assertIn("接続記録 2件　読めない行 0行", texts)
            self.assertIn("2003年2月の合計　Port1 0:00:00 (0回)　Port2 1:00:00 (1回)　計 1:00:00 (1回)", texts)
            m.screenshot("rmview")

            # Saved through the file dialog, as the user does.
            m.tool("command", "--title", GRAPH_TITLE, "--class", GRAPH_CLASS, "--id", SAVE_PNG)
            code, dialog = m.tool("find", "--title", "名前を付けて保存", "--class", "#32770", "--visible",
                                  "--timeout", 20000)
            self.assertEqual(code, 0, "no save dialog")
            _, controls = m.tool("children", dialog.split()[0])
            name_box = [line.split("\t") for line in controls.splitlines() if line.split("\t")[1] == "Edit"][0]
            self.assertEqual(name_box[2], "接続履歴_200302.png")
            picture = m.folder / "graph.png"
            m.tool("settext", name_box[0], m.windows_path(picture))
            m.press("保存(&S)", title="名前を付けて保存")
            wait_until(lambda: picture.exists() and picture.read_bytes().endswith(IEND), 20, "the whole picture")
            self.assertEqual(png_size(picture.read_bytes()), CLIENT_SIZE)

            m.tool("close", "--title", GRAPH_TITLE, "--class", GRAPH_CLASS)
            code, _ = m.tool("wait-gone", "--title", GRAPH_TITLE, "--class", GRAPH_CLASS, "--timeout", 20000)
            self.assertEqual(code, 0)
            m.command("Exit")
            self.assertEqual(m.wait_exit(proc), 0)


    def test_at_150_percent_it_is_scaled_and_kept_on_a_small_screen(self):
        with self.monitor() as m:
            shutil.copy2(RMVIEW, m.folder / "RMView.exe")
            (m.folder / "log").mkdir()
            (m.folder / "log/LogBackUp.csv").write_bytes(
                b"2.04,Port2,2003/02/10,23:00:00,2003/02/10,23:00:05,2003/02/11,00:00:05\r\n")
            m.box.wine(["reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t", "REG_DWORD",
                        "/d", "144", "/f"])
            proc = m.box.start([m.folder / "RMView.exe"], cwd=m.folder)
            code, graph = m.tool("find", "--title", GRAPH_TITLE, "--class", GRAPH_CLASS, "--visible",
                                 "--timeout", 30000)
            self.assertEqual(code, 0, "RMView's window did not open")
            # 760 x 560 at 96 dpi is 1140 x 840 at 144: more than the 1024 x 768 screen.
            rect = [w[4] for w in m.windows() if w[2] == GRAPH_CLASS][0]
            self.assertEqual(rect, (0, 0, 1024, 768))
            _, children = m.tool("children", graph.split()[0])
            texts = [line.split("\t")[2] for line in children.splitlines()]
            self.assertIn("2003年2月の合計　Port1 0:00:00 (0回)　Port2 1:00:00 (1回)　計 1:00:00 (1回)", texts)
            m.screenshot("rmview-150")
            m.tool("close", "--title", GRAPH_TITLE, "--class", GRAPH_CLASS)
            self.assertEqual(m.wait_exit(proc), 0)


if __name__ == "__main__":
    unittest.main()
