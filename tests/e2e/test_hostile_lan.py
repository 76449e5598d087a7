"""A LAN that floods the program with memos: a thousand of them leave one
notice on screen and the program answering, and a memo line with a NUL in it
still shows what follows. With the senders limited, syslog from another PC
leaves nothing."""

import socket
import unittest

from rmtest import (PC_ADDRESS, PEER_ADDRESS, DailyLines, LanTestCase, framed, inside_namespace, memo_datagrams,
                    receive_until, send_memo, send_paced, wait_until)

MEMO_RECEIVED_ID = 311
NOTICE = "簡易メモのデータが届きました"
MEMOS = 1000


class HostileLan(LanTestCase):

    def received_lines(self, m):
        """The receive window's lines, after the notice is dismissed."""
        self.assertIn(NOTICE, m.press("OK"))
        return m.control("簡易メモ受信", MEMO_RECEIVED_ID)[1].split("\r\n")

    def test_a_thousand_memos_leave_one_notice_and_the_program_answering(self):
        with self.monitor() as m:
            other = self.peer(m)
            proc = self.start(m, NickName="事務所")
            memos = [memo_datagrams([f"memo {i:04d}", "second line"]) for i in range(MEMOS)]
            send_paced(other, (PC_ADDRESS, 4450), [d for memo in memos for d in memo], 2_000)
            # The endpoint handles its datagrams in order: the answer comes after every memo.
            other.sendto(b"RMonitor PC Name", (PC_ADDRESS, 4450))
            receive_until(other, "RMonitor PC Name =事務所")
            # wintool shows the line break as the two characters \r\n.
            self.assertEqual(m.notices(), [f"{NOTICE}\\r\\n{PEER_ADDRESS} から簡易メモ {MEMOS} 件"])
            m.screenshot("one-notice")
            print(f"\nmenu command answered after {m.answer_time() * 1000:.0f} ms with the notice up")

            lines = self.received_lines(m)
            self.assertEqual(m.notices(), [])
            self.assertEqual([line for line in lines if line.startswith("memo ")],
                             [f"memo {i:04d}" for i in range(MEMOS)])
            self.assertEqual(lines.count("second line"), MEMOS)
            self.assertEqual(sum(line.startswith(PEER_ADDRESS + ":(") for line in lines), MEMOS)
            self.finish(m, proc)

    def test_a_nul_in_a_memo_line_hides_nothing_after_it(self):
        with self.monitor() as m:
            other = self.peer(m)
            proc = self.start(m)
            send_memo(other, [b"before\x00after", "next line"])
            # The NUL is shown as a mark of its own.
            self.assertEqual(self.received_lines(m)[3:6], ["before\u2400after", "next line", ""])
            self.finish(m, proc)

    def test_limited_senders_take_syslog_only_from_the_router(self):
        with self.monitor() as m:
            other = self.peer(m)
            proc = self.start(m, RouterSendersOnly="on", SyslogAutoSave="on", SyslogAddTime="off",
                              SyslogLineBreaks="off")
            with inside_namespace(m.router_host):
                router = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
            self.addCleanup(router.close)
            # Peer texts from the router's subnet still come in; and the way
            # from the other PC is known before its syslog goes.
            send_memo(other, ["same subnet"])
            self.assertIn("same subnet", self.received_lines(m))
            daily = DailyLines(m)
            other.sendto(framed("from another PC"), (PC_ADDRESS, 514))
            router.sendto(framed("from the router"), (PC_ADDRESS, 514))
            # The endpoint takes its datagrams in order: once the router's line
            # is written, the other PC's had its turn.
            seen = []
            wait_until(lambda: seen.extend(daily.new()) or any(b"from the router" in line for line in seen),
                       what="the router's line in the daily file")
            self.assertEqual([line for line in seen if b"from another PC" in line], [])
            self.finish(m, proc)


if __name__ == "__main__":
    unittest.main()
