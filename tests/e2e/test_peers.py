"""Copies on the LAN: a master answers the monitor's check and gets its
backup line by line; a memo from another copy is shown; メモ送信 lists the
copies that answer and sends the memo to the one chosen, which may be the
program itself or every copy."""

import unittest

from rmtest import (PC_ADDRESS, WM_RBUTTONDOWN, LanTestCase, open_tray_menu, receive_until, send_memo,
                    wait_until)

RECORDS = ["2.04,Port1,2003/01/02,09:05:00,2003/01/02,09:05:30,2003/01/02,09:35:00,0312345",
           "2.04,Port1,2003/01/03,10:00:00,2003/01/03,10:00:20,2003/01/03,10:10:00,0312345"]
MEMO_TEXT_ID, MEMO_DESTINATION_ID, MEMO_SEND_ID = 301, 303, 304
MEMO_RECEIVED_ID, MEMO_CLOSE_ID = 311, 312
CB_GETCOUNT = 0x146


class Peers(LanTestCase):

    def fill_memo_window(self, m, destination, text):
        """Types the destination and the memo into the open send window;
        returns its 送信 button."""
        box, _ = m.control("簡易メモ送信", MEMO_DESTINATION_ID)
        edit = next(line.split("\t")[0] for line in m.tool("children", box)[1].splitlines())
        m.tool("settext", edit, destination)
        memo, _ = m.control("簡易メモ送信", MEMO_TEXT_ID)
        m.tool("settext", memo, text)
        return m.control("簡易メモ送信", MEMO_SEND_ID)[0]

    def test_master_gets_the_backup_and_the_copy_keeps_what_was_sent(self):
        with self.monitor() as m:
            (m.folder / "log").mkdir()
            backup = m.folder / "log" / "RMBackUp.csv"
            backup.write_bytes("".join(r + "\r\n" for r in RECORDS).encode("cp932"))
            master = self.peer(m)
            proc = self.start(m)
            self.assertEqual(receive_until(master, "RMonitor Master Check"), ["RMonitor Master Check"])
            self.assertNotIn("履歴ログの送信", open_tray_menu(m, WM_RBUTTONDOWN))
            master.sendto(b"RMonitor Master Connected", (PC_ADDRESS, 4450))
            wait_until(lambda: "履歴ログの送信" in open_tray_menu(m, WM_RBUTTONDOWN), what="the transfer item")

            m.command("SendHistoryLog")
            self.assertIn("バックアップされたログファイルの転送を行います。", m.press("はい"))
            self.assertEqual(receive_until(master, "###Log Data Send### End"),
                             ["###Log Data Send### Start", *RECORDS, "###Log Data Send### End"])
            wait_until(lambda: not backup.exists(), what="the backup to go")
            self.assertEqual((m.folder / "log" / "RMBackUpSent.csv").read_bytes(),
                             "".join(r + "\r\n" for r in RECORDS).encode("cp932"))
            wait_until(lambda: "履歴ログの送信" not in open_tray_menu(m, WM_RBUTTONDOWN), what="the item hidden")
            self.finish(m, proc)

    def test_memo_from_another_copy_is_shown_in_the_receive_window(self):
        with self.monitor() as m:
            other = self.peer(m)
            proc = self.start(m)
            m.command("WriteMemo")  # the user writes one meanwhile
            m.control("簡易メモ送信", MEMO_TEXT_ID)
            send_memo(other, ["お昼です", " ", "二行目"])
            self.assertIn("簡易メモのデータが届きました", m.press("OK"))
            _, text = m.control("簡易メモ受信", MEMO_RECEIVED_ID)
            lines = text.split("\r\n")
            self.assertEqual(lines[0], "-" * 29)
            self.assertRegex(lines[1], r"^192\.0\.2\.20:\(\d\d:\d\d:\d\d\)$")
            self.assertEqual(lines[2:7], ["-" * 29, "お昼です", " ", "二行目", ""])
            m.screenshot("memo-received")
            shown = [w[3] for w in m.windows() if w[1]]
            self.assertLess(shown.index("簡易メモ受信"), shown.index("簡易メモ送信"))
            button, _ = m.control("簡易メモ受信", MEMO_CLOSE_ID)
            m.tool("click", button)
            wait_until(lambda: not any(w[3] == "簡易メモ受信" and w[1] for w in m.windows()),
                       what="the receive window to close")
            self.finish(m, proc)

    def test_memo_send_lists_the_copies_and_sends_to_the_one_chosen(self):
        with self.monitor() as m:
            other = self.peer(m)
            proc = self.start(m, NickName="事務所")
            receive_until(other, "RMonitor Master Check")
            m.command("WriteMemo")
            self.assertEqual(receive_until(other, "RMonitor PC Name"), ["RMonitor PC Name"])
            other.sendto("RMonitor PC Name =受付".encode("cp932"), (PC_ADDRESS, 4450))
            # Both copies answered, this one to its own broadcast; the other one is offered.
            wait_until(lambda: m.control("簡易メモ送信", MEMO_DESTINATION_ID)[1] == "受付",
                       what="the other copy as the destination")
            send = self.fill_memo_window(m, "受付", "明日は休みです\r\n\r\nよろしく\r\n")
            m.screenshot("memo-send")
            m.tool("click", send)
            self.assertEqual(receive_until(other, "RMonitor MemoSend End"),
                             ["RMonitor MemoSend Ver1.00", "明日は休みです", " ", "よろしく", "RMonitor MemoSend End"])
            wait_until(lambda: not any(w[3] == "簡易メモ送信" and w[1] for w in m.windows()),
                       what="the send window to close")
            self.finish(m, proc)

    def test_a_memo_to_itself_or_to_all_leaves_the_memo_port_answering(self):
        with self.monitor() as m:
            other = self.peer(m)
            proc = self.start(m, NickName="事務所")
            receive_until(other, "RMonitor Master Check")
            # Its own name is its own address; an empty destination is everyone.
            for destination, label in (("事務所", "itself"), ("", "all")):
                with self.subTest(to=label):
                    m.command("WriteMemo")
                    # Listed, but not offered: the box stays empty, with its hint.
                    wait_until(lambda: m.tool("send", m.control("簡易メモ送信", MEMO_DESTINATION_ID)[0],
                                              CB_GETCOUNT)[1].strip() == "1", what="its own name in the list")
                    self.assertEqual(m.control("簡易メモ送信", MEMO_DESTINATION_ID)[1], "")
                    m.tool("click", self.fill_memo_window(m, destination, f"to {label}"))
                    self.assertIn("簡易メモのデータが届きました", m.press("OK"))
                    self.assertIn(f"to {label}\r\n", m.control("簡易メモ受信", MEMO_RECEIVED_ID)[1])
                    if not destination:
                        self.assertIn(f"to {label}", receive_until(other, "RMonitor MemoSend End"))

                    other.sendto(b"RMonitor PC Name", (PC_ADDRESS, 4450))
                    receive_until(other, "RMonitor PC Name =事務所")
                    send_memo(other, [f"answer after {label}"])
                    self.assertIn("簡易メモのデータが届きました", m.press("OK"))
                    self.assertIn(f"answer after {label}\r\n", m.control("簡易メモ受信", MEMO_RECEIVED_ID)[1])
            self.finish(m, proc)


if __name__ == "__main__":
    unittest.main()
