"""The layer check on small cores of its own: lan/ is one folder in two layers."""

import tempfile
import unittest
from pathlib import Path

from check_layers import wrong_includes


class LanLayers(unittest.TestCase):

    def check(self, files):
        """The wrong includes of a core made of files (path: included paths)."""
        with tempfile.TemporaryDirectory() as folder:
            core = Path(folder)
            for path, includes in files.items():
                (core / path).parent.mkdir(parents=True, exist_ok=True)
                (core / path).write_text("".join(f'#include "{i}"\n' for i in includes), encoding="utf-8")
            return wrong_includes(core)

    def test_router_and_syslog_reach_the_sending_half_only(self):
        base = {"lan/peer_send.h": [], "lan/sender_filter.h": [], "lan/memos.h": []}
        self.assertEqual(self.check({**base, "router/connect.cpp": ["lan/peer_send.h"],
                                     "syslog/syslog.cpp": ["lan/sender_filter.h"]}), [])
        self.assertEqual(self.check({**base, "router/connect.cpp": ["lan/memos.h"]}),
                         ["router/connect.cpp includes lan/memos.h: lan: receiving is above router"])

    def test_the_sending_half_does_not_include_the_receiving_half(self):
        base = {"lan/peer_send.h": [], "lan/memos.h": [], "syslog/history_file.h": []}
        self.assertEqual(self.check({**base, "lan/peer_receive.cpp": ["lan/peer_send.h", "lan/memos.h",
                                                                      "syslog/history_file.h"]}), [])
        self.assertEqual(self.check({**base, "lan/peer_send.cpp": ["lan/memos.h", "syslog/history_file.h"]}),
                         ["lan/peer_send.cpp includes lan/memos.h: lan: receiving is above lan: sending",
                          "lan/peer_send.cpp includes syslog/history_file.h: syslog is above lan: sending"])


if __name__ == "__main__":
    unittest.main()
