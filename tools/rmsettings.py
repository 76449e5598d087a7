"""RMonitor.ini texts for tests and the demo run: the file the program writes,
with chosen values, from the program's own settings table."""

from rmtables import tables


def _rows():
    return tables()["settings"]


def settings_bytes(**values):
    """The Shift-JIS bytes of an RMonitor.ini as this version writes it;
    keyword arguments name values by the table's names (RouterAddress,
    Left, DialUpWatcherName1, ...)."""
    known = {row["name"] for row in _rows()}
    unknown = set(values) - known
    if unknown:
        raise KeyError(f"no such setting: {sorted(unknown)}")
    lines = [tables()["settings_header"]]
    for row in _rows():
        lines += [row["label"], values.get(row["name"], row["default"])]
    return ("\r\n".join(lines) + "\r\n").encode("cp932")


def settings_values(data):
    """The values of an RMonitor.ini, by pair number."""
    lines = data.decode("cp932").split("\r\n")
    return {row["pair"]: lines[2 * row["pair"]] for row in _rows()}
