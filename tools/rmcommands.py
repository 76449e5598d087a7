"""The program's menu commands as a window helper can send them: command ids
and the captions the menus show at start, from the program's own menu table."""

from rmtables import tables


def command_ids():
    """Item name (ConnectPort1, Exit, ...) -> WM_COMMAND id."""
    return {row["name"]: row["command"] for row in tables()["menu"]}


def captions():
    """Caption at start -> item name, separators left out."""
    return {row["caption"]: row["name"] for row in tables()["menu"] if row["caption"] != "-"}


def viewer_command_ids():
    """Item name of the syslog viewer's menu bar (CopyLog, SaveLog, ...) -> WM_COMMAND id."""
    return {row["name"]: row["command"] for row in tables()["viewer_menu"]}

