"""A DLL under a system DLL's name in the program folder is never loaded:
the program takes winmm from System32 when it plays a sound."""

import os
import shutil
import struct
import unittest
from pathlib import Path

from rmtest import ROOT, MonitorTestCase, send_syslog, wait_panel

PLANTED_WINMM = Path(os.environ.get("RM_PLANTED_WINMM", ROOT / "build/win/tests/win32/planted/winmm.dll"))
CONNECT = "<30>S01: PPP Connect successfully"


def silence_wave(samples=800):
    """A tenth of a second of silence, 8 kHz, 8 bits, mono."""
    data = b"\x80" * samples
    fmt = struct.pack("<HHIIHH", 1, 1, 8000, 8000, 1, 8)
    body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt + b"data" + struct.pack("<I", len(data)) + data
    return b"RIFF" + struct.pack("<I", len(body)) + body


class DllPlanting(MonitorTestCase):
    def test_a_winmm_dll_in_the_program_folder_is_not_loaded(self):
        with self.monitor() as m:
            shutil.copy2(PLANTED_WINMM, m.folder / "winmm.dll")
            # Wine prefers its own DLLs; Windows takes one from the program
            # folder first, which this makes Wine do too.
            self.assertEqual(m.box.wine(["reg", "add", r"HKCU\Software\Wine\DllOverrides", "/f", "/v", "winmm",
                                         "/d", "native,builtin"], timeout=60).returncode, 0)
            (m.folder / "on.wav").write_bytes(silence_wave())
            proc = self.start(m, ConnectSound=m.windows_path(m.folder / "on.wav"))
            send_syslog(m, CONNECT)
            # The connect handler has played the sound before the panel shows.
            wait_panel(m, shown=True)
            self.assertFalse((m.folder / "planted.txt").exists(), "the planted winmm.dll was loaded")
            self.finish(m, proc)


if __name__ == "__main__":
    unittest.main()
