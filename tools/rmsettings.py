"""RMonitor.ini texts for tests and the demo run: the file the program writes,
with chosen values."""

# The values of a fresh program, by pair number.
DEFAULTS = {
    1: r"C:\Program Files\Qorvalabs\Routavista\DAZera.exe", 2: "192.168.0.1", 3: "", 4: "0", 5: "0",
    6: "off", 7: "00:00", 8: "off", 9: "00:00", 10: "60", 11: "off", 12: "on", 13: "on", 14: "off",
    15: "off", 16: "", 17: "", 18: "", 19: "", 20: "", 21: "on", 22: "on", 23: "off", 24: "30", 25: "",
    26: "on", 27: "off", 28: "", 29: "off", 30: "", 31: "255", 32: "ISP1", 33: "ISP2", 34: "ISP3",
}

# The pairs by meaning, for readable tests.
NAMES = {
    "UtilityPath": 1, "RouterAddress": 2, "Left": 4, "Top": 5, "AutoConnect": 6, "ConnectTime": 7,
    "AutoDisconnect": 8, "DisconnectTime": 9, "ConnectTimeout": 10, "UsePort2": 11, "SyslogSimple": 12,
    "SyslogAddTime": 13, "SyslogAutoSave": 14, "UseDialUpWatcher": 15, "DialUpWatcherPath": 16,
    "DialUpWatcherName1": 17, "DialUpWatcherName2": 18, "DialUpWatcherName3": 28,
    "ConnectSound": 19, "DisconnectSound": 20, "SyslogEnabled": 21, "SyslogLineBreaks": 22, "TraySwap": 23,
    "NoUtility": 26, "MultiAccount": 27, "MasterMode": 29, "NickName": 30, "RedialCount": 31,
    "IspName1": 32, "IspName2": 33, "IspName3": 34,
}


def settings_bytes(**values):
    """The Shift-JIS bytes of an RMonitor.ini of version 2.04; keyword
    arguments name values by NAMES."""
    pairs = dict(DEFAULTS)
    for name, value in values.items():
        pairs[NAMES[name]] = value
    lines = ["Routavista Monitor Ver2.04"]
    for pair in range(1, 35):
        lines += [f"[{pair}]", pairs[pair]]
    return ("\r\n".join(lines) + "\r\n").encode("cp932")


def settings_values(data):
    """The 34 values of an RMonitor.ini, by pair number."""
    lines = data.decode("cp932").split("\r\n")
    return {pair: lines[2 * pair] for pair in range(1, 35)}
